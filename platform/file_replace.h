// Writing a whole file so that an existing one is never lost: the bytes go to a temporary file
// beside the target, which is flushed and then put in the target's place in one step.
#pragma once

#include <string>
#include <string_view>

namespace spurlese {

// How a replacing write ended. kNothingWritten: the temporary file or the target could not be
// written, the old file is as it was. kWriteFailed: writing failed, the incomplete temporary file
// was deleted and the old file is as it was. kHalfReplaced: Windows failed halfway through the
// replace and neither file could be put back in the target's place within a few seconds: nothing
// has the target's name, but nothing is lost either: `kept` tells where the two files are.
enum class WriteOutcome { kWritten, kNothingWritten, kWriteFailed, kHalfReplaced };

// After kHalfReplaced: the new bytes and the old file, each under a name beside the target that
// no later save and no clearing of leftovers touches ("Spurlese_Hits (neu).txt", "... (alt)
// .txt"), or, where even that rename failed, under TemporaryNameFor and BackupNameFor.
struct KeptFiles {
    std::u16string newFile, oldFile;
};

// How it went: the outcome, why it failed in the system's words (taken at the step that failed,
// before any other call could change it), and after kHalfReplaced where the two files are.
struct WriteResult {
    WriteOutcome outcome = WriteOutcome::kNothingWritten;
    std::u16string reason;
    KeptFiles kept;
};

WriteResult WriteFileReplacing(std::u16string_view path, std::string_view bytes);

// The names beside the target that a save uses on the way: ~spurlese<process id>.tmp for the new
// bytes, ~spurlese<process id>.bak for the old file.
// Slots other than 0 name further temporary files of this process in the same folder, for a
// writer that has more than one file under way.
std::u16string TemporaryNameFor(std::u16string_view path, unsigned slot = 0);
std::u16string BackupNameFor(std::u16string_view path);

// Deletes the temporary files of those names in the folder ("" for the working directory) that
// processes no longer running left behind: a save cut off when the program was ended. Nothing
// else is touched: no other name, no folder, nothing of a process that still runs, and no backup
// (".bak"), which may be the one copy of an old file.
void RemoveLeftoverFiles(std::u16string_view folder);

}  // namespace spurlese

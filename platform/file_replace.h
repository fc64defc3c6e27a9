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
// has the target's name, but nothing is lost either: the new bytes are in TemporaryNameFor(path),
// the old file is BackupNameFor(path).
enum class WriteOutcome { kWritten, kNothingWritten, kWriteFailed, kHalfReplaced };
WriteOutcome WriteFileReplacing(std::u16string_view path, std::string_view bytes);

// The names beside the target that a save uses on the way: ~spurlese<process id>.tmp for the new
// bytes, ~spurlese<process id>.bak for the old file.
// Slots other than 0 name further temporary files of this process in the same folder, for a
// writer that has more than one file under way.
std::u16string TemporaryNameFor(std::u16string_view path, unsigned slot = 0);
std::u16string BackupNameFor(std::u16string_view path);

// Deletes the files of those names in the folder ("" for the working directory) that processes
// no longer running left behind: a save cut off when the program was ended. Nothing else is
// touched: no other name, no folder, nothing of a process that still runs.
void RemoveLeftoverFiles(std::u16string_view folder);

}  // namespace spurlese

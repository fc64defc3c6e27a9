// Saving a file the user names in the save dialog: every save of the program goes this way, with
// its own dialog title, proposed name and file type, the safe replace of platform/file_replace.h,
// and one way of telling the user how it went.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_replace.h"
#include "platform/platform.h"

namespace spurlese {

// Whether a file of the chosen name is replaced only after the user agreed, as Windows' own save
// dialogs ask, or silently (the hit list, whose replace is safe and always was silent).
enum class ReplaceRule { kAsk, kSilently };

struct SaveDialog {
    std::u16string_view title;
    std::u16string_view proposedName;
    std::u16string_view filter;  // descriptions and patterns, separated by "|"
    int filterIndex = 1;
    ReplaceRule replace = ReplaceRule::kAsk;
};

// The save dialog; a file that is already there is replaced only when the user says yes, and a
// no brings the dialog back, as in Windows' own.
platform::DialogResult ChooseFileToSave(const SaveDialog& dialog);

struct SaveResult {
    platform::DialogOutcome dialog = platform::DialogOutcome::kCancelled;
    std::u16string path;    // the chosen file
    std::u16string reason;  // why the dialog failed, in the system's words
    // WriteFileReplacing's result; kNothingWritten also when nothing was tried.
    WriteResult written;
};

// Asks for the file, then makes its bytes (false: they cannot be made, and nothing is written)
// and writes them safely.
SaveResult SaveThroughDialog(const SaveDialog& dialog,
                             const std::function<bool(std::string* bytes)>& makeBytes);

// "Success" for a saved file; for a failure a message that says what went wrong and that an
// existing file is unchanged; nothing for a cancel.
void TellSaveResult(const SaveResult& result, std::u16string_view title);

}  // namespace spurlese

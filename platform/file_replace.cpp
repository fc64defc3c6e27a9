#include "platform/file_replace.h"

#include <algorithm>
#include <functional>
#include <string>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

// Virus scanners, indexers and backup tools often hold a file for a moment just after it was
// written; a step that fails then is tried again, for about a second in all, before the save
// fails.
constexpr int kPatienceMilliseconds = 1000;

bool TryForAWhile(const std::function<bool()>& step) {
    int waited = 0;
    for (int pause = 10;; pause *= 2) {
        if (step()) return true;
        if (waited >= kPatienceMilliseconds) return false;
        const int now = std::min(pause, kPatienceMilliseconds - waited);
        platform::PauseMilliseconds(now);
        waited += now;
    }
}

}  // namespace

std::u16string TemporaryNameFor(std::u16string_view path) {
    // Beside the target, so that the replace is a rename within one folder; unique per process,
    // so that two running programs never write the same temporary file.
    return std::u16string(FolderPart(path)) + u"~spurlese" + Decimal(platform::CurrentProcessId()) +
           u".tmp";
}

int WriteFileReplacing(std::u16string_view path, std::string_view bytes) {
    // Fail early for a target held open by another program or read-only, before anything is
    // written. Only an existing file may be let go in a moment; a missing folder stays missing.
    const auto writable = [&] { return platform::WritableFile(path); };
    if (!(platform::FileSize(path) >= 0 ? TryForAWhile(writable) : writable())) return -1;
    const std::u16string temporary = TemporaryNameFor(path);
    platform::OwnedFile file(platform::CreateFileForWriting(temporary));
    if (!file) return -1;
    const bool written =
        platform::WriteToFile(file.Get(), bytes) && platform::FlushFile(file.Get());
    // A full disk may show itself only when the last buffered data goes out at the close.
    const bool closed = platform::CloseFile(file.Take());
    if (!written || !closed) {
        platform::DeleteFilePath(temporary);
        return -2;
    }
    if (!TryForAWhile([&] { return platform::MoveFileReplacing(temporary, path); })) {
        platform::DeleteFilePath(temporary);
        return -1;
    }
    return 1;
}

}  // namespace spurlese

#include "settings/file_replace.h"

#include "platform/platform.h"

std::u16string TemporaryNameFor(std::u16string_view path) {
    std::u16string temporary(path);
    temporary.append(u".spurlese-tmp");
    return temporary;
}

int WriteFileReplacing(std::u16string_view path, std::string_view bytes) {
    // Fail early for a target held open by another program or read-only, before anything is
    // written.
    if (!platform::WritableFile(path)) return -1;
    const std::u16string temporary = TemporaryNameFor(path);
    const platform::FileHandle file = platform::CreateFileForWriting(temporary);
    if (file == 0) return -1;
    const bool written = platform::WriteToFile(file, bytes) && platform::FlushFile(file);
    // A full disk may show itself only when the last buffered data goes out at the close.
    const bool closed = platform::CloseFile(file);
    if (!written || !closed) {
        platform::DeleteFilePath(temporary);
        return -2;
    }
    if (!platform::MoveFileReplacing(temporary, path)) {
        platform::DeleteFilePath(temporary);
        return -1;
    }
    return 1;
}

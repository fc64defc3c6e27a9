// Writing a whole file so that an existing one is never lost: the bytes go to a temporary file
// beside the target, which is flushed and then put in the target's place in one step.
#pragma once

#include <string>
#include <string_view>

namespace spurlese {

// 1: written. -1: nothing written (the temporary file or the target could not be written, the
// old file is as it was). -2: writing failed, the incomplete temporary file was deleted and the
// old file is as it was.
int WriteFileReplacing(std::u16string_view path, std::string_view bytes);

// The temporary file's name for a target.
std::u16string TemporaryNameFor(std::u16string_view path);

}  // namespace spurlese

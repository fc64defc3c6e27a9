#include <cstdio>

#include "platform/platform.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace testsupport {

void ResetWithExtractor(ExtractorKind kind) {
    ResetForTest();
    MakeTestFolder(u"D:\\Work");
    SetWorkingDirectory(u"D:\\Work\\");
    InstallExtractor(u"D:\\Work\\", kind);
}

std::string FileBytes(std::u16string_view path) {
    std::string bytes;
    return platform::ReadFileBytes(path, &bytes) ? bytes : "<none>";
}

std::string Show(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out.push_back(static_cast<char>(unit));
        } else {
            char buffer[16];
            std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(unit));
            out += buffer;
        }
    }
    return out;
}

}  // namespace testsupport

}  // namespace spurlese

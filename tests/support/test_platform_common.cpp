#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
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

namespace {

void ListTree(const std::u16string& folder, const std::u16string& below,
              std::vector<std::u16string>* lines) {
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"*")) {
        if (entry.name == u"." || entry.name == u"..") continue;
        if (entry.isDirectory) {
            lines->push_back(below + entry.name + u"\\");
            ListTree(folder + u"\\" + entry.name, below + entry.name + u"\\", lines);
        } else {
            lines->push_back(below + entry.name + u" " + Decimal(entry.size) + u" " +
                             Decimal(entry.lastWrite));
        }
    }
}

}  // namespace

std::u16string TreeOf(std::u16string_view folder) {
    std::vector<std::u16string> lines;
    ListTree(std::u16string(WithoutFinalBackslash(folder)), u"", &lines);
    std::sort(lines.begin(), lines.end());
    std::u16string tree;
    for (const std::u16string& line : lines) tree += line + u"\n";
    return tree;
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

// libFuzzer target: arbitrary bytes as a settings file, through open, select, read, write and
// close on the headless platform; then the written file is opened and written once more, and
// the second write must equal the first (with "=" separating keys and values). The first byte picks
// the options, the second how the rest splits into the file and a value to write.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "settings/settings_file.h"

using namespace spurlese;

namespace {

constexpr char16_t kFile[] = u"D:\\Fuzz\\Spurlese.ini";

int64_t OptionsOf(uint8_t bits) {
    int64_t options = 0;
    if (bits & 1) options |= kCompactLines;
    if (bits & 2) options |= kNoByteOrderMark;
    if (bits & 4) options |= kLineEndCr;
    if (bits & 8) options |= kLineEndLf;
    if (bits & 16) options |= kLineEndCrLf;
    if (bits & 32) options |= kColonSeparator;
    return options;
}

std::string Written() {
    std::string bytes;
    platform::ReadFileBytes(kFile, &bytes);
    return bytes;
}

// A value the format can hold: one line.
std::u16string OneLine(std::string_view bytes) {
    std::u16string value = platform::Utf8ToUtf16(bytes);
    for (char16_t& unit : value) {
        if (unit == u'\r' || unit == u'\n') unit = u' ';
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int64_t options = OptionsOf(data[0]);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const size_t cut = rest.size() * data[1] / 256;
    const std::string_view file = rest.substr(0, cut);
    const std::string_view value = rest.substr(cut);

    headless::ResetPlatform();
    headless::MakeFile(kFile, file);
    SettingsFile document = OpenSettingsFile(kFile, options);
    if (!document) std::abort();  // the file exists and is readable
    SelectGroup(document.get(), u"General");
    const std::u16string before = ReadValue(document.get(), u"MainWindowPosition", u"-");
    WriteValue(document.get(), u"MainWindowPosition", OneLine(value));
    if (ReadValue(document.get(), u"mainwindowposition", u"-") != OneLine(value) &&
        (options & kCompactLines)) {
        std::abort();  // a compact value reads back as written
    }
    SelectGroup(document.get(), u"");
    ReadValue(document.get(), u"x", u"");
    CloseSettingsFile(std::move(document));
    const std::string first = Written();

    document = OpenSettingsFile(kFile, options);
    if (!document) std::abort();
    document->options |= kModified;
    CloseSettingsFile(std::move(document));
    // Writing is idempotent with "=" as the separator. With ":" it cannot be: a line read with
    // "=" is written with ":" in its place, and since "=" wins over ":" when a line is read, a
    // line holding both splits elsewhere the next time. That is the format's rule.
    if (!(options & kColonSeparator) && Written() != first) std::abort();
    (void)before;
    return 0;
}

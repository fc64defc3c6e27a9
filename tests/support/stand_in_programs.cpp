#include "tests/support/stand_in_programs.h"

#include <cstdlib>

#include "platform/platform.h"
#include "tools/string_extractor.h"

namespace spurlese {

namespace testsupport {

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
    std::vector<std::u16string> args;
    size_t i = 0;
    // The program name: up to the next blank, or between double quotes, taken literally.
    std::u16string first;
    if (i < line.size() && line[i] == u'"') {
        const size_t close = line.find(u'"', 1);
        first = line.substr(
            1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
        i = close == std::u16string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t') first.push_back(line[i++]);
    }
    args.push_back(first);
    for (;;) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i >= line.size()) break;
        std::u16string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == u'"') {
                arg.append(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    arg.push_back(u'"');
                } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                    arg.push_back(u'"');  // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, u'\\');
                if (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
                    arg.push_back(line[i++]);
                }
            }
        }
        args.push_back(arg);
    }
    return args;
}

namespace {

// The file and the minimum length of a strings64-style command line.
bool ExtractorArguments(const std::vector<std::u16string>& args, std::u16string* file,
                        uint64_t* minLength) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == u"-n" && i + 1 < args.size()) {
            const std::string digits = platform::Utf16ToUtf8(args[++i]);
            *minLength = std::strtoull(digits.c_str(), nullptr, 10);
        } else if (!args[i].empty() && args[i][0] != u'-') {
            *file = args[i];
        }
    }
    return !file->empty();
}

}  // namespace

headless::ProgramBehaviour StringsProgram() {
    return [](std::u16string_view commandLine, std::string* output) {
        const std::vector<std::u16string> args = SplitCommandLine(commandLine);
        std::u16string file;
        uint64_t minLength = 3;
        std::string bytes;
        if (!ExtractorArguments(args, &file, &minLength)) return 2;
        if (!platform::ReadFileBytes(file, &bytes)) return 1;
        *output = extractor::ExtractStrings(bytes, minLength);
        return 0;
    };
}

headless::ProgramBehaviour CatProgram() {
    return [](std::u16string_view commandLine, std::string* output) {
        const std::vector<std::u16string> args = SplitCommandLine(commandLine);
        return !args.empty() && platform::ReadFileBytes(args.back(), output) ? 0 : 1;
    };
}

}  // namespace testsupport

}  // namespace spurlese

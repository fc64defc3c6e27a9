// spurlese_strings: prints the text strings of a file, one per line, with the command line of
// Sysinternals strings64.exe that Spurlese uses:  -nobanner -n <min length> "<file>"
// Copied as strings64.exe into Spurlese's working directory it takes that tool's place.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/string_extractor.h"

using namespace spurlese;

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/win32/long_path.h"
using Arg = wchar_t;
#define ARG(text) L##text
#define MAIN wmain
int ArgEquals(const Arg* a, const Arg* b) {
    return wcscmp(a, b) == 0;
}
FILE* OpenForReading(const Arg* path) {
    return _wfopen(longpath::LongPathForm(path).c_str(), L"rb");
}
void PrintPath(const Arg* path) {
    std::fwprintf(stderr, L"%ls", path);
}
#else
using Arg = char;
#define ARG(text) text
#define MAIN main
int ArgEquals(const Arg* a, const Arg* b) {
    return std::strcmp(a, b) == 0;
}
FILE* OpenForReading(const Arg* path) {
    return std::fopen(path, "rb");
}
void PrintPath(const Arg* path) {
    std::fprintf(stderr, "%s", path);
}
#endif

namespace {

constexpr int kUsageError = 2;
constexpr int kFileError = 1;

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "spurlese_strings: %s\n"
                 "usage: spurlese_strings [-nobanner] [-n <min length>] <file>\n"
                 "Prints every run of at least <min length> (default 3) printable characters of\n"
                 "the file, one per line, as UTF-8.\n",
                 problem);
    return kUsageError;
}

// A positive decimal number, nothing else.
bool ParseLength(const Arg* text, uint64_t* value) {
    if (*text == 0) return false;
    uint64_t n = 0;
    for (; *text; ++text) {
        if (*text < ARG('0') || *text > ARG('9')) return false;
        n = n * 10 + static_cast<uint64_t>(*text - ARG('0'));
        if (n > 1000000000) return false;
    }
    *value = n;
    return n > 0;
}

int FileError(const Arg* path, const char* what) {
    std::fprintf(stderr, "spurlese_strings: cannot %s '", what);
    PrintPath(path);
    std::fprintf(stderr, "': %s\n", std::strerror(errno));
    return kFileError;
}

}  // namespace

int MAIN(int argc, Arg** argv) {
    uint64_t minLength = 3;
    const Arg* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (ArgEquals(argv[i], ARG("-nobanner"))) continue;
        if (ArgEquals(argv[i], ARG("-n"))) {
            if (i + 1 >= argc || !ParseLength(argv[++i], &minLength)) {
                return Usage("-n needs a positive number");
            }
        } else if (argv[i][0] == ARG('-')) {
            return Usage("unknown option");
        } else if (path) {
            return Usage("only one file at a time");
        } else {
            path = argv[i];
        }
    }
    if (!path) return Usage("no file given");

    FILE* file = OpenForReading(path);
    if (!file) return FileError(path, "open");
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends, bytes as they are
#endif
    static char buffer[1 << 20];
    std::string out;
    out.reserve(1 << 17);
    extractor::Extractor x;
    extractor::ExtractorStart(&x, minLength, &out);
    bool first = true;
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof(buffer), file);
        if (got == 0 && std::ferror(file)) {
            const int failed = FileError(path, "read");
            std::fclose(file);
            if (first) return failed;
            std::fwrite(out.data(), 1, out.size(), stdout);
            return failed;
        }
        first = false;
        if (got == 0) break;
        extractor::ExtractorFeed(&x, buffer, got);
        if (out.size() >= (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fclose(file);
    extractor::ExtractorFinish(&x);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : kFileError;
}

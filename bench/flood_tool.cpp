// Stands in for an extractor that floods its output, for bench/run: with the strings64.exe
// command line, it reads from the project file how many megabytes of "x" to print, in lines of
// which length (0: no line feed at all), and the path to print on its own line after them.
//     project file:  <megabytes> <line length>\n<path>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    FILE* file = _wfopen(argv[argc - 1], L"rb");
    if (!file) return 1;
    long megabytes = 0, lineLength = 0;
    char path[4096] = {};
    const bool read = std::fscanf(file, "%ld %ld\n%4095[^\n]", &megabytes, &lineLength, path) == 3;
    std::fclose(file);
    if (!read) return 2;
    _setmode(_fileno(stdout), _O_BINARY);
    std::string block(1 << 20, 'x');
    if (lineLength > 0) {
        for (size_t at = static_cast<size_t>(lineLength); at < block.size(); at += lineLength + 1)
            block[at] = '\n';
    }
    for (long k = 0; k < megabytes; ++k) std::fwrite(block.data(), 1, block.size(), stdout);
    std::printf("\n%s\n", path);
    return 0;
}

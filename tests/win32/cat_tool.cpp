// Stands in for strings64.exe in the runner tests: prints the bytes of the file named last on
// its command line exactly as they are, so a test decides what the extractor "prints".
#include <fcntl.h>
#include <io.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    FILE* file = _wfopen(argv[argc - 1], L"rb");
    if (!file) return 1;
    _setmode(_fileno(stdout), _O_BINARY);
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        std::fwrite(buffer, 1, got, stdout);
    std::fclose(file);
    return 0;
}

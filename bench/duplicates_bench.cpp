// The duplicates search on a real tree under Wine: the archive's walk, then FindDuplicates, as
// "Doppelte Dateien speichern…" runs them. Prints the time of each, the groups found and the
// peak working set per file of the tree. bench/run compares the time with jdupes and rdfind on
// the same tree. Then, for where Wine's floor lies, a bare loop over the same files on one thread:
// CreateFileW, ReadFile of the first 64 KiB, CloseHandle.
//     duplicates_bench.exe <tree>
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

#include "archive/archive_index.h"
#include "duplicates/duplicate_files.h"

using namespace spurlese;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: duplicates_bench <tree>\n");
        return 2;
    }
    const std::u16string tree(reinterpret_cast<const char16_t*>(argv[1]), std::wcslen(argv[1]));
    const auto start = std::chrono::steady_clock::now();
    const archive::ArchiveIndex index = archive::WalkArchive(tree, {});
    const auto walked = std::chrono::steady_clock::now();
    const duplicates::DuplicateSearch search = duplicates::FindDuplicates(index, {});
    const auto end = std::chrono::steady_clock::now();
    size_t inGroups = 0;
    for (const duplicates::DuplicateGroup& group : search.groups)
        inGroups += group.files.size();  // files, not names
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf(
        "ours %.3f s (walk %.3f s, search %.3f s); files %zu, groups %zu with %zu files, "
        "unreadable %zu; peak working set %.1f MB, %.0f bytes per file\n",
        std::chrono::duration<double>(end - start).count(),
        std::chrono::duration<double>(walked - start).count(),
        std::chrono::duration<double>(end - walked).count(), index.files.size(),
        search.groups.size(), inGroups, search.unreadable.size(),
        memory.PeakWorkingSetSize / 1048576.0,
        index.files.empty() ? 0.0 : double(memory.PeakWorkingSetSize) / index.files.size());
    std::string buffer(64 << 10, '\0');
    const auto bare = std::chrono::steady_clock::now();
    for (const archive::ArchiveFile& file : index.files) {
        const std::u16string path = index.Path(file);
        HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        if (handle == INVALID_HANDLE_VALUE) continue;
        ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
        CloseHandle(handle);
    }
    std::printf("bare open, read 64 KiB, close of every file on one thread: %.3f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - bare).count());
    return 0;
}

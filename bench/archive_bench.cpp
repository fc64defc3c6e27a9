// The archive index under Wine against the floor for its job: one walk of a tree with
// FindFirstFileExW (basic information, large fetch) and FindNextFileW that only counts.
//
//   archive_bench.exe index|bare ROOT
//
// "index" builds the program's archive index of ROOT and prints its time, the files and folders
// it met, and how much the peak working set grew per media file; "bare" walks the same tree and
// prints its time. One kind per process, so that each starts from the same memory.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "scan/hit_filter.h"

using namespace spurlese;

namespace {

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    return GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory))
               ? static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0)
               : 0.0;
}

// The floor: every folder listed once, nothing kept but two counts. Links are not followed,
// as the index does not follow them.
void BareWalk(const std::wstring& root, uint64_t* files, uint64_t* folders) {
    std::vector<std::wstring> pending{L"\\\\?\\" + root};
    WIN32_FIND_DATAW found;
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        ++*folders;
        HANDLE listing =
            FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (listing == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ++*files;
            } else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                       wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
                pending.push_back(folder + L"\\" + found.cFileName);
            }
        } while (FindNextFileW(listing, &found));
        FindClose(listing);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: archive_bench index|bare ROOT\n");
        return 2;
    }
    const std::wstring kind = argv[1], root = argv[2];
    const double before = PeakMegabytes();
    const auto start = std::chrono::steady_clock::now();
    uint64_t files = 0, folders = 0, media = 0;
    if (kind == L"index") {
        const std::u16string base(root.begin(), root.end());
        const archive::ArchiveIndex index = archive::WalkArchive(base, {});
        files = index.filesWalked;
        folders = index.foldersWalked;
        media = index.files.size();
    } else {
        BareWalk(root, &files, &folders);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double grown = PeakMegabytes() - before;
    std::printf("%s %.3f s: %llu files in %llu folders", kind == L"index" ? "index" : "bare walk",
                seconds, static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(folders));
    if (kind == L"index") {
        std::printf(", %llu media files, peak working set grew %.1f MB, %.0f bytes per file",
                    static_cast<unsigned long long>(media), grown,
                    media ? grown * 1024 * 1024 / static_cast<double>(media) : 0.0);
    }
    std::printf("\n");
    return files > 0 ? 0 : 1;
}

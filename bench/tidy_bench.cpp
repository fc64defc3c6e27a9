// Setting a whole tree aside under Wine, as "Nicht verwendete Dateien beiseitelegen…" does after
// its walk, against a bare loop of MoveFileExW over the same files to the same names. Each run
// moves every file of the tree into the aside folder (timed) and back (not timed), so that the
// next run finds the tree as it was. Prints the time, the files moved and, for ours, the peak
// working set per file (the walk's index, the list of files and the list written ahead).
//     tidy_bench.exe <tree> <aside folder> ours|bare
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "tidy/set_aside.h"

using namespace spurlese;

namespace {

const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Moves every file back to where it was and removes the folders the moves made.
void PutEverythingBack(const std::vector<tidy::AsideFile>& files, const std::u16string& aside) {
    std::vector<std::u16string> folders;
    for (const tidy::AsideFile& file : files) {
        MoveFileExW(W(aside + file.relative), W(file.path), 0);
        const std::u16string folder =
            (aside + file.relative).substr(0, (aside + file.relative).rfind(u'\\'));
        if (folders.empty() || folders.back() != folder) folders.push_back(folder);
    }
    DeleteFileW(W(aside + std::u16string(tidy::kJournalName)));
    std::sort(folders.begin(), folders.end(),
              [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
    for (std::u16string folder : folders) {
        while (folder.size() > aside.size() && RemoveDirectoryW(W(folder)))
            folder.resize(folder.rfind(u'\\'));
    }
    RemoveDirectoryW(W(aside));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tidy_bench <tree> <aside folder> ours|bare\n");
        return 2;
    }
    const auto text = [](const wchar_t* arg) {
        return std::u16string(reinterpret_cast<const char16_t*>(arg), std::wcslen(arg));
    };
    const std::u16string tree = text(argv[1]), aside = text(argv[2]) + u"\\";
    const bool ours = std::wstring(argv[3]) == L"ours";
    const archive::ArchiveIndex index = archive::WalkArchive(tree, {});
    std::vector<tidy::AsideFile> files;
    files.reserve(index.files.size());
    const size_t baseLength = tree.size() + 1;
    for (const archive::ArchiveFile& file : index.files) {
        std::u16string path = index.Path(file);
        std::u16string relative = path.substr(baseLength);
        files.push_back({std::move(path), std::move(relative), file.size, file.lastWrite, {}});
    }
    int64_t moved = 0;
    const auto start = std::chrono::steady_clock::now();
    if (ours) {
        moved = tidy::SetAside(files, aside.substr(0, aside.size() - 1), {}).moved;
    } else {
        std::u16string made;
        for (const tidy::AsideFile& file : files) {
            const std::u16string target = aside + file.relative;
            const std::u16string folder = target.substr(0, target.rfind(u'\\'));
            if (folder != made) {
                // The folders down to this one, as any loop that keeps the tree must make them.
                for (size_t cut = aside.size() - 1; cut != std::u16string::npos;
                     cut = folder.find(u'\\', cut + 1))
                    CreateDirectoryW(W(folder.substr(0, cut)), nullptr);
                CreateDirectoryW(W(folder), nullptr);
                made = folder;
            }
            moved += MoveFileExW(W(file.path), W(target), 0) ? 1 : 0;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("%s %.3f s; files %zu, moved %lld; peak working set %.1f MB, %.0f bytes per file\n",
                ours ? "ours" : "bare", seconds, files.size(), static_cast<long long>(moved),
                memory.PeakWorkingSetSize / 1048576.0,
                files.empty() ? 0.0 : double(memory.PeakWorkingSetSize) / files.size());
    PutEverythingBack(files, aside);
    return 0;
}

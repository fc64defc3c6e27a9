// The overview's thumbnails under Wine, as the program makes them: every *.JPG of a folder on the
// worker threads (one per processor), into another folder. Prints the time, how many became
// pictures, and the peak working set.
//
//   thumbnail_bench.exe PICTURES OUT
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "overview/thumbnail_maker.h"
#include "platform/owners.h"
#include "platform/platform.h"

using namespace spurlese;

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::u16string folder = reinterpret_cast<const char16_t*>(argv[1]);
    const std::u16string out = reinterpret_cast<const char16_t*>(argv[2]);
    std::vector<std::u16string> files;
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"*.JPG")) {
        if (!entry.isDirectory) files.push_back(folder + u"\\" + entry.name);
    }
    platform::CreateFolder(out);
    std::vector<overview::Thumbnail> made(files.size());
    const std::u16string into = out + u"\\";
    const auto start = std::chrono::steady_clock::now();
    const platform::WorkHandle work =
        platform::StartWork(files.size(), platform::ProcessorCount(), [&](size_t k) {
            made[k] = overview::MakeThumbnail(files[k], into);
        });
    size_t done = 0;
    while (!platform::WaitWork(work, 50, &done)) {
    }
    platform::FinishWork(work, false);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    size_t pictures = 0;
    for (const overview::Thumbnail& thumbnail : made)
        pictures += thumbnail.kind == overview::ThumbnailKind::kPicture ? 1 : 0;
    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("thumbnails of %zu files in %.3f s, %zu pictures, peak working set %.1f MB\n",
                files.size(), seconds, pictures, memory.PeakWorkingSetSize / 1048576.0);
    return pictures == files.size() ? 0 : 1;
}

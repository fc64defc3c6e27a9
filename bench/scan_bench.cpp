// Times a whole scan ("Filter anwenden") against the unavoidable part of it: running the
// extractor alone over the same project files, its output read and dropped. Windows build,
// run under Wine by bench/run with the corpus's archive as drive D:. Use one round: the program
// scans once per run, and under Wine emptying a rich edit control that holds thousands of
// lines takes minutes, which a second scan would measure.
//     scan_bench.exe <project folder> <base path> <min length> <rounds>
// Prints both times (best of the rounds, measured alternately in one run) and their ratio.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scan/extractor_runner.h"
#include "scan/scan_driver.h"
#include "settings/app_settings.h"
#include "ui/controls.h"
#include "ui/main_window.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::u16string U16(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

std::vector<std::u16string> ProjectFiles(const std::u16string& folder) {
    std::vector<std::u16string> files;
    const platform::ListingHandle listing = platform::OpenListing(folder, u"*.mph");
    platform::ListingEntry entry;
    while (listing && platform::NextListingEntry(listing, &entry)) {
        if (!entry.isDirectory) files.push_back(folder + u"\\" + entry.name);
    }
    platform::CloseListing(listing);
    return files;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: scan_bench <project folder> <base path> <min length> <rounds>\n");
        return 2;
    }
    const std::u16string folder = U16(argv[1]);
    const std::u16string basePath = U16(argv[2]);
    const int64_t minLength = std::wcstoll(argv[3], nullptr, 10);
    const int rounds = static_cast<int>(std::wcstol(argv[4], nullptr, 10));
    if (!OpenMainWindow()) return 1;
    platform::SetCaption(ctl::ProjectDirButton, folder);
    platform::SetCaption(ctl::BasePathButton, basePath);
    appSettings.basePath = basePath;
    appSettings.minStringLength = minLength;
    // As in the program: the results page is what shows while the scan runs.
    platform::ShowControl(ctl::SettingsPage, false);
    platform::ShowControl(ctl::ResultsPage, true);

    const std::vector<std::u16string> files = ProjectFiles(folder);
    const std::u16string program = platform::CurrentDirectory() + u"strings64.exe";
    double bestExtractor = 1e9, bestScan = 1e9;
    size_t lines = 0, hits = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        lines = 0;
        for (const auto& file : files) {
            CollectProgramOutput(program, ExtractorCommandLine(program, minLength, file),
                                 [&lines](std::u16string_view) { ++lines; });
        }
        const double extractor = Seconds(start);

        start = std::chrono::steady_clock::now();
        RunScan();
        const double scan = Seconds(start);
        std::printf("round %d: extractor alone %.3f s, whole scan %.3f s\n", round + 1, extractor,
                    scan);
        std::fflush(stdout);
        bestExtractor = std::min(bestExtractor, extractor);
        bestScan = std::min(bestScan, scan);
        const std::u16string shown = platform::GetText(ctl::HitsText);
        hits = shown.empty() ? 0 : 1;
        for (char16_t c : shown) hits += c == u'\n';
    }
    std::printf("project files: %zu, extractor lines: %zu, hits shown: %zu\n", files.size(), lines,
                hits);
    std::printf("extractor alone: %.3f s, whole scan: %.3f s, ratio scan/extractor: %.3f\n",
                bestExtractor, bestScan, bestScan / bestExtractor);
    platform::CloseWindow(platform::kMainWindow);
    return 0;
}

// Times a whole scan ("Filter anwenden"), or the unavoidable part of it: running the extractor
// alone over the same project files, its output read and dropped, one file after the other
// ("extractor") or with the extractors started ahead as the scan starts them
// ("extractor-ahead"). Windows build, run under Wine by bench/run with the corpus's archive as
// drive D:, one measurement per process; bench/run alternates them and takes the best of each.
// Each run also prints the process's peak working set.
// "scan-parts" says where the scan's own thread spends its time: the scan run once more with no
// display to show in, the extractors' output read and dropped as the scan reads it, and the walk
// of the archive, each on this thread's processor time. "quiet" is the scan with nothing shown.
// "extractor-ahead-held" and "quiet-held" are those two while the process holds as much memory as
// the displays do at the end of a scan: under Wine every process start forks the program, and
// what a fork costs grows with the memory the program holds.
//     scan_bench.exe <project folder> <base path> <min length>
//                    extractor|extractor-ahead|scan|quiet|scan-parts [hits file]
//                    extractor-ahead-held|quiet-held <MB>
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "archive/candidates.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "program/program.h"
#include "scan/extractor_runner.h"
#include "scan/hit_filter.h"
#include "scan/scan_driver.h"
#include "settings/app_settings.h"
#include "ui/controls.h"
#include "ui/main_window.h"

using namespace spurlese;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::u16string U16(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

// CPU seconds this thread has used: steadier than the wall clock on a busy machine.
double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto count = [](FILETIME t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return count(kernel) + count(user);
}

size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    return GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory))
               ? memory.WorkingSetSize
               : 0;
}

std::vector<std::u16string> ProjectFiles(const std::u16string& folder) {
    std::vector<std::u16string> files;
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"*.mph")) {
        if (!entry.isDirectory) files.push_back(folder + u"\\" + entry.name);
    }
    return files;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: scan_bench <project folder> <base path> <min length> "
                     "extractor|extractor-ahead|scan [hits file]\n");
        return 2;
    }
    const std::u16string folder = U16(argv[1]);
    const std::u16string basePath = U16(argv[2]);
    const int64_t minLength = std::wcstoll(argv[3], nullptr, 10);
    const std::u16string what = U16(argv[4]);
    auto openWindow = [&] {
        if (!OpenMainWindow()) return false;
        platform::SetCaption(ctl::ProjectDirButton, folder);
        platform::SetCaption(ctl::BasePathButton, basePath);
        appSettings.basePath = basePath;
        appSettings.minStringLength = minLength;
        // As in the program: the results page is what shows while the scan runs.
        platform::ShowControl(ctl::SettingsPage, false);
        platform::ShowControl(ctl::ResultsPage, true);
        return true;
    };

    const std::vector<std::u16string> files = ProjectFiles(folder);
    const std::u16string program = platform::CurrentDirectory() + u"strings64.exe";
    size_t lines = 0, hits = 0, infoLines = 0;
    double threadSeconds = 0;
    auto extractorAlone = [&] {
        const auto start = std::chrono::steady_clock::now();
        lines = 0;
        for (const auto& file : files) {
            CollectProgramOutput(program, ExtractorCommandLine(program, minLength, file),
                                 [&lines](std::u16string_view) { ++lines; });
        }
        return Seconds(start);
    };
    auto extractorsAhead = [&] {
        const auto start = std::chrono::steady_clock::now();
        lines = 0;
        RunExtractorsInTurn(files, minLength, [&lines](size_t, ExtractorRun* run) {
            if (run->process)
                ReadProcessLines(std::move(run->process),
                                 [&lines](std::u16string_view) { ++lines; });
        });
        return Seconds(start);
    };
    auto wholeScan = [&] {
        platform::CloseWindow(platform::kMainWindow);
        if (!openWindow()) return -1.0;
        const auto start = std::chrono::steady_clock::now();
        const double cpu = ThreadSeconds();
        ResultsPage page;
        ScanOnResultsPage(&page, ReadScanInputs());
        threadSeconds = ThreadSeconds() - cpu;
        return Seconds(start);
    };
    if (what == u"extractor-ahead-held" || what == u"quiet-held") {
        // As much memory as the displays hold at the end of a scan (argument 5, in MB), written
        // to once and held while the extractors start.
        const size_t size = static_cast<size_t>(argc > 5 ? std::wcstoll(argv[5], nullptr, 10) : 0)
                            << 20;
        char* held = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        for (size_t at = 0; held && at < size; at += 4096) held[at] = 1;
        if (what == u"extractor-ahead-held") {
            std::printf("extractor ahead holding %zu MB %.3f s\n", size >> 20, extractorsAhead());
            return 0;
        }
    }
    if (what == u"quiet" || what == u"quiet-held") {
        // The scan with nothing shown: what the displays add is the rest of the whole scan.
        if (!openWindow()) return 1;
        ScanReport quiet;
        quiet.busy = [] {
            while (platform::DropPendingEvent()) {
            }
            return true;
        };
        const auto start = std::chrono::steady_clock::now();
        const double cpu = ThreadSeconds();
        RunScan(ReadScanInputs(), quiet);
        std::printf("scan without displays%s %.3f s; its own thread %.3f s of processor time\n",
                    what == u"quiet" ? "" : " holding that memory", Seconds(start),
                    ThreadSeconds() - cpu);
        return 0;
    }
    if (what == u"scan-parts") {
        if (!openWindow()) return 1;
        double cpu = ThreadSeconds();
        ResultsPage page;
        ScanOnResultsPage(&page, ReadScanInputs());
        const double whole = ThreadSeconds() - cpu;
        cpu = ThreadSeconds();
        ScanReport quiet;  // no line is shown anywhere; the window's events are dropped
        quiet.busy = [] {
            while (platform::DropPendingEvent()) {
            }
            return true;
        };
        const std::vector<std::u16string> missing = RunScan(ReadScanInputs(), quiet)->missing;
        const double withoutDisplays = ThreadSeconds() - cpu;
        cpu = ThreadSeconds();
        extractorsAhead();
        const double reading = ThreadSeconds() - cpu;
        cpu = ThreadSeconds();
        const archive::ArchiveIndex index = archive::WalkArchive(basePath, {});
        const double walk = ThreadSeconds() - cpu;
        cpu = ThreadSeconds();
        archive::FindCandidates(index, missing);
        const double candidates = ThreadSeconds() - cpu;
        // The lines alone through the filter, as one scan's: what each line and hit costs.
        std::vector<std::vector<std::u16string>> output(files.size());
        RunExtractorsInTurn(files, minLength, [&output](size_t k, ExtractorRun* run) {
            if (run->process)
                ReadProcessLines(std::move(run->process), [&output, k](std::u16string_view line) {
                    output[k].emplace_back(line);
                });
        });
        ScanWork work(ReadScanInputs(), quiet);
        cpu = ThreadSeconds();
        for (size_t k = 0; k < files.size(); ++k) {
            const LineContext context = MakeLineContext(&work, files[k]);
            for (const std::u16string& line : output[k]) FilterOutputLine(line, context);
        }
        const double filter = ThreadSeconds() - cpu;
        std::printf(
            "scan parts: the scan's own thread %.3f s; showing its lines %.3f s; beyond them "
            "%.3f s, measured with the displays' memory held (after each fork its pages fault in "
            "again): reading the extractors' output %.3f s; filtering the lines, resolving and "
            "keeping the hits %.3f s; the missing files' likely new places %.3f s; the rest "
            "(polling the extractors, keeping the window alive, the end's report of shared and "
            "missing files) %.3f s; and on a worker from the first missing file on, not on this "
            "thread: the archive's walk %.3f s\n",
            whole, whole - withoutDisplays, withoutDisplays, reading, filter, candidates,
            withoutDisplays - reading - filter - candidates, walk);
        platform::CloseWindow(platform::kMainWindow);
        return 0;
    }
    double seconds = 0, displaySeconds = 0;
    size_t displayBytes = 0;
    if (what == u"extractor") {
        seconds = extractorAlone();
    } else if (what == u"extractor-ahead") {
        seconds = extractorsAhead();
    } else {
        seconds = wholeScan();
        if (seconds < 0) return 1;
        const std::u16string shown = platform::GetText(ctl::HitsText);
        if (argc > 5) {
            // The hits as shown, for checking them against the corpus's list.
            FILE* file = _wfopen(argv[5], L"wb");
            if (file) {
                const std::string bytes = platform::Utf16ToUtf8(shown);
                std::fwrite(bytes.data(), 1, bytes.size(), file);
                std::fclose(file);
            }
        }
        hits = shown.empty() ? 0 : 1;
        for (char16_t c : shown) hits += c == u'\n';
        const std::u16string info = platform::GetText(ctl::InfoText);
        infoLines = info.empty() ? 0 : 1;
        for (char16_t c : info) infoLines += c == u'\n';
        // The part no scan can avoid either: the same text put into empty displays of a new
        // window the cheapest way there is, each display's text at once.
        platform::CloseWindow(platform::kMainWindow);
        if (!openWindow()) return 1;
        const size_t before = WorkingSet();
        const auto start = std::chrono::steady_clock::now();
        platform::AppendLine(ctl::HitsText, shown);
        platform::AppendLine(ctl::InfoText, info);
        displaySeconds = Seconds(start);
        displayBytes = WorkingSet() - before;
    }
    std::printf(
        "%s %.3f s; project files: %zu, extractor lines: %zu, hits shown: %zu, "
        "information lines: %zu\n",
        what == u"scan"        ? "whole scan"
        : what == u"extractor" ? "extractor alone"
                               : "extractor ahead",
        seconds, files.size(), lines, hits, infoLines);
    if (what == u"scan") {
        std::printf("displays alone %.3f s, holding %.1f MB\n", displaySeconds,
                    displayBytes / 1048576.0);
        std::printf("the scan's own thread %.3f s of processor time\n", threadSeconds);
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory))) {
        std::printf("peak working set %.1f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    }
    platform::CloseWindow(platform::kMainWindow);
    return 0;
}

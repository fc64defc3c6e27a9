// Runs the text extractor (strings64.exe in the working directory) on one project file and
// hands every line it prints to the hit filter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/owners.h"
#include "platform/platform.h"
#include "scan/line_splitter.h"
#include "scan/scan_work.h"

namespace spurlese {

inline constexpr std::u16string_view kExtractorName = u"strings64.exe";

// "<program>" -nobanner -n <min length> "<project file>"
std::u16string ExtractorCommandLine(std::u16string_view program, int64_t minLength,
                                    std::u16string_view projectFile);

// Starts the program, reads its standard output as it comes and hands on every line. False
// when it could not be started.
bool CollectProgramOutput(std::u16string_view program, std::u16string_view commandLine,
                          const LineSink& onLine);

// How a process ended: its exit code (-1 when it cannot be told) and what it wrote to its
// standard error (the first bytes).
struct ProcessEnd {
    int64_t exitCode = -1;
    std::string errors;
};

// Told while a process's pipe is empty, at most every 100 ms: how long it has printed nothing.
using WaitingSink =
    std::function<void(platform::ProcessHandle process, int64_t silentMilliseconds)>;

// Reads a started process's standard output to its end, line by line, and releases it.
ProcessEnd ReadProcessLines(platform::OwnedProcess process, const LineSink& onLine,
                            const WaitingSink& waiting = {});

// A scan of one project file with the work's inputs: starts the extractor and filters its output
// (see FinishExtractor).
void RunExtractor(ScanWork* work, std::u16string_view projectFile);

// RunExtractor in two halves, so that a scan can start the extractors for the next project files
// while it filters the output of this one: starting a process is the slow part, and mostly
// waiting.
struct ExtractorRun {
    std::u16string projectFile;
    std::u16string program;
    platform::OwnedProcess process;  // none: not started
};
ExtractorRun StartExtractor(std::u16string_view projectFile, int64_t minLength);
// Shows the project header in "Treffer" when the inputs ask for it, then hands every output line
// to the hit filter (which shows and records the hits). Logs "Error starting '<program>'" for an
// extractor that did not start, "Error reading '<project file>'" for one that ended with an error;
// what it wrote to its standard error is kept in the work, for the end of the scan. While the
// extractor prints nothing the window is kept alive (the report's `busy`); after 15 s of silence,
// and every 30 s after, "Informationen" names it with its project file and how long it has
// waited, and a window it opened (a licence question) is brought to the front.
void FinishExtractor(ExtractorRun* run, ScanWork* work);

// Hands the extractor run of every file to `onRun`, in the files' order, while the extractors of
// the next ExtractorsAhead() files are already asked to start: two for each processor (measured
// under Wine on two cores, where starts are made while the scan goes on: 100 files took a quarter
// less time with four ahead than with two). `onRun` finishes the run.
size_t ExtractorsAhead();
void RunExtractorsInTurn(const std::vector<std::u16string>& files, int64_t minLength,
                         const std::function<void(size_t index, ExtractorRun* run)>& onRun);

}  // namespace spurlese

#include "scan/extractor_runner.h"

#include <algorithm>
#include <deque>
#include <string>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/hit_filter.h"

namespace spurlese {

namespace {

constexpr int kPollMilliseconds = 10;
constexpr int64_t kReadBlock = 64 * 1024;
constexpr int64_t kWaitingInterval = 100;  // milliseconds between calls of a WaitingSink
constexpr int64_t kFrontAfter = 2000;      // silence before its windows are brought to the front
constexpr int64_t kSilenceSaid = 15000;    // silence before it is named in "Informationen"
constexpr int64_t kSilenceSaidAgain = 30000;

}  // namespace

std::u16string ExtractorCommandLine(std::u16string_view program, int64_t minLength,
                                    std::u16string_view projectFile) {
    return u"\"" + std::u16string(program) + u"\" -nobanner -n " + Decimal(minLength) + u" \"" +
           std::u16string(projectFile) + u"\"";
}

bool CollectProgramOutput(std::u16string_view program, std::u16string_view commandLine,
                          const LineSink& onLine) {
    platform::OwnedProcess process(
        platform::StartProcess(program, commandLine, platform::CurrentDirectory()));
    if (!process || !platform::ProcessStarted(process.Get())) return false;
    ReadProcessLines(std::move(process), onLine);
    return true;
}

ProcessEnd ReadProcessLines(platform::OwnedProcess owned, const LineSink& onLine,
                            const WaitingSink& waiting) {
    const platform::ProcessHandle process = owned.Get();
    LineSplitter splitter;
    std::string block(kReadBlock, '\0');
    int64_t lastOutput = platform::MonotonicMilliseconds();
    int64_t lastWaiting = lastOutput;
    for (;;) {
        // Read what is there in blocks; pause only while the pipe is empty.
        // No more than the pipe holds: a read of more may wait for the rest (Wine's does).
        if (const int64_t available = platform::ProcessOutputAvailable(process); available > 0) {
            const int64_t got =
                platform::ReadProcessOutput(process, block.data(), std::min(available, kReadBlock));
            if (got > 0) {
                SplitLines(&splitter, std::string_view(block.data(), static_cast<size_t>(got)),
                           onLine);
                lastOutput = platform::MonotonicMilliseconds();
                continue;
            }
        }
        if (!platform::ProcessRunning(process)) {
            // Ended: its end of the pipe is closed, so reading to the end of the output no longer
            // waits, and nothing depends on how soon the pipe reports what is left in it.
            for (;;) {
                const int64_t got = platform::ReadProcessOutput(process, block.data(), kReadBlock);
                if (got <= 0) break;
                SplitLines(&splitter, std::string_view(block.data(), static_cast<size_t>(got)),
                           onLine);
            }
            break;
        }
        platform::PauseMilliseconds(kPollMilliseconds);
        const int64_t now = platform::MonotonicMilliseconds();
        if (waiting && now - lastWaiting >= kWaitingInterval) {
            lastWaiting = now;
            waiting(process, now - lastOutput);
        }
    }
    FinishLines(&splitter, onLine);
    return {platform::ProcessExitCode(process), platform::ProcessErrorOutput(process)};
}

ExtractorRun StartExtractor(std::u16string_view projectFile, int64_t minLength) {
    ExtractorRun run;
    run.projectFile = projectFile;
    run.program = platform::CurrentDirectory() + std::u16string(kExtractorName);
    run.process = platform::OwnedProcess(platform::StartProcess(
        run.program, ExtractorCommandLine(run.program, minLength, projectFile),
        platform::CurrentDirectory()));
    return run;
}

void FinishExtractor(ExtractorRun* run, ScanWork* work) {
    const LineContext context = MakeLineContext(work, run->projectFile);
    if (work->record.inputs.prefixProject) AddProjectHeader(work->report, run->projectFile);
    if (!run->process || !platform::ProcessStarted(run->process.Get())) {
        // Said, not silent: a missing or broken extractor would otherwise look like no hits.
        work->report.Info(u"Error starting '" + run->program + u"'");
        work->record.unread.push_back(
            {run->projectFile, UnreadProject::Why::kNotStarted, run->program});
        return;
    }
    bool broughtToFront = false;
    int64_t nextSaid = kSilenceSaid;
    const auto waiting = [&](platform::ProcessHandle process, int64_t silent) {
        work->report.Busy();  // the window repaints and answers the system meanwhile
        if (silent < kFrontAfter) {
            nextSaid = kSilenceSaid;
            broughtToFront = false;
            return;
        }
        if (!broughtToFront) broughtToFront = platform::BringProcessWindowsToFront(process);
        if (silent < nextSaid) return;
        work->report.Info(u"Keine Ausgabe von '" + run->program + u"' seit " +
                          Decimal(silent / 1000) + u" s, es liest '" + run->projectFile + u"'");
        nextSaid += kSilenceSaidAgain;
    };
    bool printed = false;
    const ProcessEnd end = ReadProcessLines(
        std::move(run->process),
        [&context, &printed](std::u16string_view line) {
            printed = true;
            FilterOutputLine(line, context);
        },
        waiting);
    // Said, not silent: a project file the extractor could not read (held open by the slideshow
    // program, say) would otherwise look like a project that uses nothing. The record keeps it,
    // so that no list of what the shows use is made as if it had been read.
    if (end.exitCode != 0) {
        work->report.Info(u"Error reading '" + run->projectFile + u"'");
        work->record.unread.push_back({run->projectFile, UnreadProject::Why::kNotRead,
                                       u"Exit-Code " + Decimal(end.exitCode)});
    }
    if (!end.errors.empty()) {
        work->AddExtractorMessage(run->program, end.errors);
        // A message and not a line besides: the extractor refused the file (a licence it wants
        // accepted first), even when it says so with exit code 0.
        if (end.exitCode == 0 && !printed) {
            work->record.unread.push_back(
                {run->projectFile, UnreadProject::Why::kRefused, FirstMessageLine(end.errors)});
        } else if (std::u16string first = FirstMessageLine(end.errors);
                   end.exitCode != 0 && !first.empty()) {
            work->record.unread.back().detail = std::move(first);  // its own words say more
        }
    }
}

size_t ExtractorsAhead() {
    return static_cast<size_t>(std::clamp(2 * platform::ProcessorCount(), 2, 32));
}

void RunExtractorsInTurn(const std::vector<std::u16string>& files, int64_t minLength,
                         const std::function<void(size_t index, ExtractorRun* run)>& onRun) {
    std::deque<ExtractorRun> started;
    size_t nextToStart = 0;
    const size_t ahead = ExtractorsAhead();
    for (size_t k = 0; k < files.size(); ++k) {
        while (nextToStart < files.size() && nextToStart <= k + ahead) {
            started.push_back(StartExtractor(files[nextToStart++], minLength));
        }
        ExtractorRun run = std::move(started.front());
        started.pop_front();
        onRun(k, &run);
    }
}

void RunExtractor(ScanWork* work, std::u16string_view projectFile) {
    ExtractorRun run = StartExtractor(projectFile, work->record.inputs.minLength);
    FinishExtractor(&run, work);
}

}  // namespace spurlese

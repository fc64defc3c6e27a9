#include "scan/extractor_runner.h"

#include <string>

#include "platform/platform.h"
#include "scan/hit_filter.h"
#include "scan/info_log.h"
#include "settings/app_settings.h"
#include "ui/controls.h"

namespace {

constexpr int kPollMilliseconds = 10;
constexpr int64_t kReadBlock = 64 * 1024;

std::u16string Decimal(int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string ExtractorCommandLine(std::u16string_view program, int64_t minLength,
                                    std::u16string_view projectFile) {
    return u"\"" + std::u16string(program) + u"\" -nobanner -n " + Decimal(minLength) + u" \"" +
           std::u16string(projectFile) + u"\"";
}

bool CollectProgramOutput(std::u16string_view program, std::u16string_view commandLine,
                          const LineSink& onLine) {
    const platform::ProcessHandle process =
        platform::StartProcess(program, commandLine, platform::CurrentDirectory());
    if (process == 0) return false;
    LineSplitter splitter;
    std::string block(kReadBlock, '\0');
    for (;;) {
        // Read what is there in blocks; pause only while the pipe is empty.
        if (platform::ProcessOutputAvailable(process) > 0) {
            const int64_t got = platform::ReadProcessOutput(process, block.data(), kReadBlock);
            if (got > 0) {
                SplitLines(&splitter, std::string_view(block.data(), static_cast<size_t>(got)),
                           onLine);
                continue;
            }
        }
        if (!platform::ProcessRunning(process)) {
            // Whatever arrived between the last look and the end still counts.
            if (platform::ProcessOutputAvailable(process) > 0) continue;
            break;
        }
        platform::PauseMilliseconds(kPollMilliseconds);
    }
    FinishLines(&splitter, onLine);
    platform::CloseProcess(process);
    return true;
}

void RunExtractor(std::u16string_view projectFile, int64_t minLength,
                  std::u16string_view basePath) {
    appSettings.currentProjectFile = projectFile;
    const BasePrefix prefix = MakeBasePrefix(basePath);
    if (platform::GetState(ctl::PrefixProjectBox) == 1) AddProjectHeader(projectFile);

    const std::u16string program = platform::CurrentDirectory() + std::u16string(kExtractorName);
    const bool started = CollectProgramOutput(
        program, ExtractorCommandLine(program, minLength, projectFile),
        [&prefix](std::u16string_view line) { FilterOutputLine(line, prefix); });
    if (!started) AddInfoLine(u"Error starting '" + program + u"'");
}

// libFuzzer target: arbitrary extractor output through the line path, from the pipe's bytes to
// the hit filter, on the headless platform with a small archive in place. The first byte picks
// the size of the pieces the pipe hands out, the second the options, one of which keeps lines of
// 1 to 32 units only, so that short outputs reach the cut (lines of the real 32,767 are too slow to
// fuzz; tests/contract/extractor_runner_test.cpp has them). The lines handed on must be those of a
// plain reading of the whole output: split at LF, CRs dropped, decoded, cut at the longest line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "program/program.h"
#include "results_page/results_page.h"
#include "scan/hit_filter.h"
#include "scan/line_splitter.h"
#include "settings/app_settings.h"
#include "ui/controls.h"
#include "ui/main_window.h"

using namespace spurlese;

namespace {

void PrepareArchive() {
    headless::ResetPlatform();
    ResetProgramLists();
    headless::MakeFile(u"D:\\Archiv\\a.jpg");
    headless::MakeFile(u"D:\\Archiv\\Urlaub 2019\\IMG_0815.JPG");
    headless::MakeFile(u"D:\\Archiv\\J\u00FCrgen\\b.jpg.mp4");
    headless::MakeFolder(u"D:\\Archiv\\pics.jpg");
    headless::MakeFile(u"D:\\Archiv\\Gesperrt\\c.mov");
    headless::SetUnlistable(u"D:\\Archiv\\Gesperrt");
    OpenMainWindow();
    appSettings.basePath = u"D:\\Archiv";
}

// The lines of the whole output, each read whole and then cut.
std::vector<std::u16string> PlainLines(std::string_view bytes, size_t longest) {
    std::vector<std::u16string> lines;
    for (size_t from = 0; from <= bytes.size();) {
        const size_t lf = std::min(bytes.find('\n', from), bytes.size());
        std::string line(bytes.substr(from, lf - from));
        std::erase(line, '\r');
        std::u16string text = platform::Utf8ToUtf16(line);
        if (text.size() > longest) {
            const bool halfPair = text[longest - 1] >= 0xD800 && text[longest - 1] <= 0xDBFF;
            text.resize(longest - (halfPair ? 1 : 0));
        }
        if (lf < bytes.size() || !line.empty()) lines.push_back(text);
        from = lf + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    PrepareArchive();
    const size_t piece = 1 + data[0] % 64;
    ScanInputs inputs;
    inputs.basePath = (data[1] & 2) ? u"D:\\Archiv\\" : u"D:\\Archiv";
    inputs.stripBase = (data[1] & 1) != 0;
    BusyRequests requests;
    ResultsPage page;
    const ScanReport report = page.ScanReportFor(BusyWork::kScan, &requests);
    ScanWork work(inputs, report);
    const LineContext context = MakeLineContext(&work, u"C:\\P\\x.mph");
    LineSplitter splitter;
    if (data[1] & 4) splitter.longestLine = 1 + (data[1] >> 3);
    std::vector<std::u16string> handedOn;
    const LineSink filter = [&](std::u16string_view line) {
        handedOn.emplace_back(line);
        FilterOutputLine(line, context);
    };
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    for (size_t at = 0; at < bytes.size(); at += piece) {
        SplitLines(&splitter, bytes.substr(at, piece), filter);
    }
    FinishLines(&splitter, filter);
    if (handedOn != PlainLines(bytes, splitter.longestLine)) __builtin_trap();
    // Whatever came through, every shown hit must name a file that exists.
    const std::u16string hits = platform::GetText(ctl::HitsText);
    if ((data[1] & 1) == 0 && !hits.empty()) {
        size_t from = 0;
        for (;;) {
            const size_t cut = hits.find(u"\r\n", from);
            const std::u16string line = hits.substr(from, cut - from);
            if (platform::FileSize(line) < 0) __builtin_trap();
            if (cut == std::u16string::npos) break;
            from = cut + 2;
        }
    }
    platform::CloseWindow(platform::kMainWindow);
    return 0;
}

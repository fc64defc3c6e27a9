// How the hit filter's time grows with the number of distinct hits: the same kind of output
// with N and with 2N distinct hits (each named twice, plus lines outside the base path), on the
// headless platform so that only the filter's own work is timed. Prints the times and the ratio;
// doubling the hits should about double the time.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "program/program.h"
#include "results_page/results_page.h"
#include "scan/hit_filter.h"
#include "settings/app_settings.h"
#include "ui/main_window.h"

using namespace spurlese;

namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Seconds for filtering the output that names `distinct` files in folders of 100.
double FilterSeconds(int distinct) {
    headless::ResetPlatform();
    ResetProgramLists();
    OpenMainWindow();
    appSettings.basePath = u"D:\\Familienbilder";
    std::vector<std::u16string> lines;
    for (int n = 0; n < distinct; ++n) {
        const std::string folder = "D:\\Familienbilder\\Ordner " + std::to_string(n / 100);
        const std::string name = "IMG_" + std::to_string(n) + ".JPG";
        headless::MakeFile(Ascii(folder + "\\" + name));
        lines.push_back(Ascii(folder + "\\" + name));
        lines.push_back(Ascii(folder + "/" + name + "\""));
        lines.push_back(Ascii("C:\\Windows\\Temp\\x" + std::to_string(n) + ".tmp"));
    }
    ScanInputs inputs;
    inputs.basePath = appSettings.basePath;
    BusyRequests requests;
    ResultsPage page;
    const ScanReport report = page.ScanReportFor(BusyWork::kScan, &requests);
    const auto start = std::chrono::steady_clock::now();
    ScanWork work(inputs, report);
    const LineContext context = MakeLineContext(&work, u"D:\\P\\p.mph");
    for (const auto& line : lines) FilterOutputLine(line, context);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    platform::CloseWindow(platform::kMainWindow);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int distinct = argc > 1 ? std::atoi(argv[1]) : 20000;
    double single = 1e9, twice = 1e9;
    for (int round = 0; round < 5; ++round) {
        single = std::min(single, FilterSeconds(distinct));
        twice = std::min(twice, FilterSeconds(2 * distinct));
    }
    std::printf("filter: %d distinct hits %.3f s, %d distinct hits %.3f s, ratio %.2f\n", distinct,
                single, 2 * distinct, twice, twice / single);
    return 0;
}

#pragma once

#include <memory>
#include <optional>

#include "program/program.h"
#include "results_page/results_page.h"
#include "scan/extractor_runner.h"
#include "scan/hit_filter.h"
#include "scan/scan_driver.h"
#include "settings/app_settings.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

// A window, the base path D:\Archiv, and the working directory D:\Work\ for the extractor.
// Lines are filtered as one scan's, shown on the results page.
class ScanTest : public WorkFolderTest {
protected:
    void SetUp() override {
        WorkFolderTest::SetUp();
        // The archive is there, even when empty: one that is not is said after "Done".
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Archiv"));
        UseBasePath(u"D:\\Archiv");
        appSettings.minStringLength = 8;
    }
    // The scan the lines so far belong to, begun with the window's inputs as they are now.
    ScanWork& Work() {
        if (!work_) work_ = std::make_unique<ScanWork>(ReadScanInputs(), report_);
        return *work_;
    }
    const ScanRecord& Record() { return Work().record; }
    // A whole scan, as "Filter anwenden" runs it.
    std::optional<ScanRecord> Scan() { return ScanOnResultsPage(&page_, ReadScanInputs()); }
    void UseBasePath(std::u16string_view basePath) {
        appSettings.basePath = basePath;
        platform::SetCaption(ctl::BasePathButton, basePath);
    }
    void UseProjectDirectory(std::u16string_view directory) {
        appSettings.projectDirectory = directory;
        platform::SetCaption(ctl::ProjectDirButton, directory);
    }
    // A line of the project file `projectFile`, as a scan with control 11 as `stripBase` reads it.
    void Filter(std::u16string_view line) {
        LineContext context = MakeLineContext(&Work(), projectFile);
        context.stripBase = stripBase;
        FilterOutputLine(line, context);
    }
    std::u16string projectFile = u"D:\\P\\p.mph";
    bool stripBase = false;
    static std::u16string Hits() { return platform::GetText(ctl::HitsText); }
    BusyRequests requests_;
    ResultsPage page_;
    ScanReport report_ = page_.ScanReportFor(BusyWork::kScan, &requests_);
    std::unique_ptr<ScanWork> work_;
    // "Informationen", the time of the archive's walk left out: "Archiv durchsucht: ..., _ s".
    static std::u16string Log() {
        std::u16string log = platform::GetText(ctl::InfoText);
        const size_t walk = log.find(u"Archiv durchsucht: ");
        const size_t time = log.find(u" s", walk);
        const size_t comma = log.rfind(u", ", time);
        if (walk != std::u16string::npos && time != std::u16string::npos)
            log.replace(comma + 2, time - comma - 2, u"_");
        return log;
    }
};

}  // namespace spurlese

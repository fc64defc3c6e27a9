// What the scan does that only the in-memory platform can watch: every progress value set,
// the exact command line started, listings counted, listing order under control.
#include "platform/headless/headless.h"
#include "platform/text_helpers.h"
#include "results_page/results_page.h"
#include "tests/support/scan_fixture.h"
#include "tests/support/stand_in_programs.h"

namespace spurlese {

namespace {

using testsupport::ExtractorKind;
using testsupport::InstallExtractor;
using testsupport::MakeTestFile;

class HeadlessScanTest : public ScanTest {
protected:
    void SetUp() override {
        ScanTest::SetUp();
        ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
        UseProjectDirectory(u"D:\\Projekte");
    }
    // Whatever a scan started or opened, it let go of.
    void TearDown() override { EXPECT_EQ(0u, headless::OpenHandles()); }
};

TEST_F(HeadlessScanTest, ProgressValuesForThreeFiles) {
    for (const char16_t* name :
         {u"D:\\Projekte\\a.mph", u"D:\\Projekte\\b.mph", u"D:\\Projekte\\c.mph"}) {
        ASSERT_TRUE(MakeTestFile(name));
    }
    const size_t before = headless::StateHistory(ctl::ScanProgress).size();
    Scan();
    const auto history = headless::StateHistory(ctl::ScanProgress);
    EXPECT_EQ(
        (std::vector<int64_t>{0, 1, 2, 3}),
        std::vector<int64_t>(history.begin() + static_cast<ptrdiff_t>(before), history.end()));
    EXPECT_EQ(3, platform::GetMaximum(ctl::ScanProgress));
}

// With extractors that take a second each, "Informationen" shows every file's
// "Filtering" line before the next extractor is started, as the progress bar moves.
TEST_F(HeadlessScanTest, InformationKeepsPaceWithTheProgressBar) {
    std::vector<size_t> filteringShown;  // as each extractor starts
    bool openingShown = false;
    ASSERT_TRUE(headless::InstallProgram(
        u"D:\\Work\\strings64.exe", [&](std::u16string_view, std::string*) {
            const std::u16string log = Log();
            if (filteringShown.empty()) openingShown = log.starts_with(u"Es wird gesucht");
            size_t count = 0;
            for (size_t at = 0; (at = log.find(u"Filtering", at)) != std::u16string::npos; ++at)
                ++count;
            filteringShown.push_back(count);
            platform::PauseMilliseconds(1000);
            return 0;
        }));
    const size_t ahead = ExtractorsAhead();
    std::vector<size_t> expected;
    for (size_t k = 0; k < ahead + 3; ++k) {
        ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\p" + Decimal(static_cast<int64_t>(k)) + u".mph"));
        // The first extractors start before any file is filtered.
        expected.push_back(k <= ahead ? 0 : k - ahead);
    }
    Scan();
    EXPECT_TRUE(openingShown);
    EXPECT_EQ(expected, filteringShown);
}

TEST_F(HeadlessScanTest, LogOrderOfTwoFilesWithAnUnlistableFolder) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Gesperrt\\x.jpg"));
    headless::SetUnlistable(u"D:\\Archiv\\Gesperrt");
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\eins.mph", "D:\\Archiv\\Gesperrt\\x.jpg\n"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\zwei.mph", "D:\\Archiv\\Gesperrt\\x.jpg\n"));
    Scan();
    EXPECT_U16_EQ(
        u"Es wird gesucht unter 'D:\\Projekte' nach treffern in 'D:\\Archiv'\r\n"
        u"Filtering 'D:\\Projekte\\eins.mph'\r\n"
        u"Error examining the path 'D:\\Archiv\\Gesperrt'\r\n"
        u"Filtering 'D:\\Projekte\\zwei.mph'\r\n"
        u"Error examining the path 'D:\\Archiv\\Gesperrt'\r\n"
        u"Done\r\n"
        // Found by its size in both projects: each project that names it is recorded.
        u"D:\\Archiv\\Gesperrt\\x.jpg\r\n"
        u"   D:\\Projekte\\eins.mph\r\n"
        u"   D:\\Projekte\\zwei.mph",
        Log())
        << "every candidate in the folder asks again";
    EXPECT_U16_EQ(u"", Hits());
}

TEST_F(HeadlessScanTest, TheExtractorIsStartedFromTheWorkingDirectory) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\Mein Urlaub.mph"));
    appSettings.minStringLength = 33;
    Scan();
    ASSERT_EQ(1u, headless::StartedProcesses().size());
    const auto& started = headless::StartedProcesses()[0];
    EXPECT_U16_EQ(u"D:\\Work\\strings64.exe", started.program);
    EXPECT_U16_EQ(u"\"D:\\Work\\strings64.exe\" -nobanner -n 33 \"D:\\Projekte\\Mein Urlaub.mph\"",
                  started.commandLine);
    EXPECT_U16_EQ(u"D:\\Work\\", started.workingDirectory);
    EXPECT_EQ((std::vector<std::u16string>{u"D:\\Work\\strings64.exe", u"-nobanner", u"-n", u"33",
                                           u"D:\\Projekte\\Mein Urlaub.mph"}),
              testsupport::SplitCommandLine(started.commandLine));
}

TEST_F(HeadlessScanTest, LinesSurviveAPipeThatHandsOutSingleBytes) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\b.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\p.mph", "D:\\Archiv\\a.jpg\r\nD:\\Archiv\\b.jpg"));
    headless::SetPipeChunk(1);
    Scan();
    EXPECT_U16_EQ(u"D:\\Archiv\\a.jpg\r\nD:\\Archiv\\b.jpg", Hits());
    // At most one 10 ms pause while the pipe is empty: the scan may put lines into the displays
    // instead.
    EXPECT_LE(headless::PausedMilliseconds(), 10);
}

TEST_F(HeadlessScanTest, SameHitsFromTheScanAsFromItsLinesFilteredOneByOne) {
    std::string output;
    for (int folder = 0; folder < 20; ++folder) {
        for (int file = 0; file < 10; ++file) {
            const std::string path =
                "D:\\Archiv\\F" + std::to_string(folder) + "\\IMG_" + std::to_string(file) + ".JPG";
            const std::u16string wide(path.begin(), path.end());
            if (file % 3 != 0) {
                ASSERT_TRUE(MakeTestFile(wide));
            }
            output += path + "\n" + path + "\n";
        }
    }
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\p.mph", output));
    Scan();
    const std::u16string scanned = Hits();

    page_.ClearHits();
    work_.reset();
    projectFile = u"D:\\Projekte\\p.mph";
    size_t from = 0;
    for (size_t lf; (lf = output.find('\n', from)) != std::string::npos; from = lf + 1) {
        const std::string line = output.substr(from, lf - from);
        Filter(std::u16string(line.begin(), line.end()));
    }
    EXPECT_U16_EQ(Hits(), scanned);
    EXPECT_EQ(std::u16string::npos, scanned.find(u"img_0.jpg"));
}

TEST(SplitCommandLineTest, WindowsRules) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ((V{u"C:\\a b\\x.exe", u"-n", u"8", u"D:\\p q.mph"}),
              testsupport::SplitCommandLine(u"\"C:\\a b\\x.exe\" -n 8 \"D:\\p q.mph\""));
    EXPECT_EQ((V{u"x", u"a\"b", u"c\\\\d", u"e\\"}),
              testsupport::SplitCommandLine(u"x a\\\"b c\\\\d \"e\\\\\""));
}

}  // namespace

}  // namespace spurlese

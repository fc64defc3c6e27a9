#include "results_page/results_page.h"

#include <string>
#include <vector>

#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

class InfoLogTest : public WindowTest {
protected:
    ResultsPage page;
};

TEST_F(InfoLogTest, EachDisplayGetsOnlyItsOwnLines) {
    EXPECT_TRUE(page.Info(u"Es wird gesucht unter 'C:\\P' nach treffern in 'D:\\B'"));
    EXPECT_TRUE(page.Hit(u"D:\\B\\a.jpg"));
    EXPECT_TRUE(page.Info(u"Done"));
    EXPECT_U16_EQ(u"Es wird gesucht unter 'C:\\P' nach treffern in 'D:\\B'\r\nDone",
                  platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"D:\\B\\a.jpg", platform::GetText(ctl::HitsText));
}

TEST_F(InfoLogTest, LinesAreWrittenAsGiven) {
    page.Info(u"Error examining the path 'D:\\Tom's Fotos'");
    page.Info(u"");
    page.Info(u"  leading and trailing  ");
    EXPECT_U16_EQ(u"Error examining the path 'D:\\Tom's Fotos'\r\n\r\n  leading and trailing  ",
                  platform::GetText(ctl::InfoText));
}

TEST_F(InfoLogTest, LinesAreDroppedWhileTheWindowDoesNotExist) {
    platform::CloseWindow(platform::kMainWindow);
    EXPECT_FALSE(page.Info(u"lost"));
    EXPECT_FALSE(page.Hit(u"lost"));
    ASSERT_TRUE(OpenMainWindow());
    EXPECT_U16_EQ(u"", platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"", platform::GetText(ctl::HitsText));
}

TEST_F(InfoLogTest, TheViewFollowsEveryNewLine) {
    for (int i = 0; i < 150; ++i) {
        page.Hit(u"D:\\Familienbilder Stand Juni 2022\\Urlaub\\IMG_0001.JPG");
        if (i % 50 == 49) {
            EXPECT_TRUE(testsupport::InsertionPointInView(ctl::HitsText)) << i;
        }
    }
    for (int i = 0; i < 150; ++i) page.Info(u"Filtering 'x.mph'");
    EXPECT_TRUE(testsupport::InsertionPointInView(ctl::InfoText));
}

}  // namespace

namespace {

// Gathered lines must leave the display as line-by-line appends would, empty lines included.
TEST_F(InfoLogTest, GatheredLinesEndUpAsIfAddedOneByOne) {
    const std::vector<std::vector<std::u16string>> sequences = {{u"a"},
                                                                {u"", u"x"},
                                                                {u"a", u""},
                                                                {u"", u""},
                                                                {u"a", u"", u"b"},
                                                                {u"", u"", u"c", u""},
                                                                {u"J\u00FCrgen", u"it's"}};
    for (const char16_t* before : {u"", u"pre"}) {
        for (const auto& lines : sequences) {
            platform::CloseWindow(platform::kMainWindow);  // a new, empty log
            ASSERT_TRUE(OpenMainWindow());
            std::u16string expected;
            auto add = [&expected](std::u16string_view line) {
                expected +=
                    expected.empty() ? std::u16string(line) : u"\r\n" + std::u16string(line);
            };
            if (*before) {
                page.Info(before);
                add(before);
            }
            page.BeginWork();
            for (const auto& line : lines) {
                page.Info(line);
                add(line);
            }
            page.EndWork();
            EXPECT_U16_EQ(expected, platform::GetText(ctl::InfoText))
                << testsupport::Show(before) << " + " << lines.size() << " lines";
            EXPECT_EQ(static_cast<int64_t>(expected.size()), platform::TextLength(ctl::InfoText));
        }
    }
    EXPECT_TRUE(testsupport::InsertionPointInView(ctl::InfoText));
}

}  // namespace

}  // namespace spurlese

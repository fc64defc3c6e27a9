#include "results_page/info_log.h"

#include <string>
#include <vector>

#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

using InfoLogTest = WindowTest;

TEST_F(InfoLogTest, EachDisplayGetsOnlyItsOwnLines) {
    EXPECT_TRUE(AddInfoLine(u"Es wird gesucht unter 'C:\\P' nach treffern in 'D:\\B'"));
    EXPECT_TRUE(AddHitLine(u"D:\\B\\a.jpg"));
    EXPECT_TRUE(AddInfoLine(u"Done"));
    EXPECT_U16_EQ(u"Es wird gesucht unter 'C:\\P' nach treffern in 'D:\\B'\r\nDone",
                  platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"D:\\B\\a.jpg", platform::GetText(ctl::HitsText));
}

TEST_F(InfoLogTest, LinesAreWrittenAsGiven) {
    AddInfoLine(u"Error examining the path 'D:\\Tom's Fotos'");
    AddInfoLine(u"");
    AddInfoLine(u"  leading and trailing  ");
    EXPECT_U16_EQ(u"Error examining the path 'D:\\Tom's Fotos'\r\n\r\n  leading and trailing  ",
                  platform::GetText(ctl::InfoText));
}

TEST_F(InfoLogTest, LinesAreDroppedWhileTheWindowDoesNotExist) {
    platform::CloseWindow(platform::kMainWindow);
    EXPECT_FALSE(AddInfoLine(u"lost"));
    EXPECT_FALSE(AddHitLine(u"lost"));
    ASSERT_TRUE(OpenMainWindow());
    EXPECT_U16_EQ(u"", platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"", platform::GetText(ctl::HitsText));
}

TEST_F(InfoLogTest, TheViewFollowsEveryNewLine) {
    for (int i = 0; i < 150; ++i) {
        AddHitLine(u"D:\\Familienbilder Stand Juni 2022\\Urlaub\\IMG_0001.JPG");
        if (i % 50 == 49) {
            EXPECT_TRUE(testsupport::InsertionPointInView(ctl::HitsText)) << i;
        }
    }
    for (int i = 0; i < 150; ++i) AddInfoLine(u"Filtering 'x.mph'");
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
                AddInfoLine(before);
                add(before);
            }
            BeginDisplayBatch();
            for (const auto& line : lines) {
                AddInfoLine(line);
                add(line);
            }
            EndDisplayBatch();
            EXPECT_U16_EQ(expected, platform::GetText(ctl::InfoText))
                << testsupport::Show(before) << " + " << lines.size() << " lines";
            EXPECT_EQ(static_cast<int64_t>(expected.size()), platform::TextLength(ctl::InfoText));
        }
    }
    EXPECT_TRUE(testsupport::InsertionPointInView(ctl::InfoText));
}

}  // namespace

}  // namespace spurlese

#include "scan/info_log.h"

#include "tests/support/window_fixture.h"
#include "ui/controls.h"

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

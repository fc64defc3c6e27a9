// The main window as built: fonts, tooltips, minimum size, the page table and the value label.
#include <string>

#include "app/startup_checks.h"
#include "settings/app_settings.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/page_table.h"

namespace spurlese {

namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, ControlsWearTheFontsOfTheTable) {
    struct Row {
        int control;
        int points;  // 0: the default GUI font
    } rows[] = {
        {ctl::SettingsFrame, 10},     {ctl::ProjectDirLabel, 14},   {ctl::ProjectDirButton, 12},
        {ctl::MinLengthSlider, 0},    {ctl::MinLengthValue, 14},    {ctl::PrefixProjectBox, 12},
        {ctl::ApplyFilterButton, 14}, {ctl::InfoFrame, 0},          {ctl::InfoText, 0},
        {ctl::HitsFrame, 10},         {ctl::SaveResultsButton, 12}, {ctl::ResultsHelpButton, 0},
    };
    for (const Row& row : rows) {
        const platform::FontInfo font = platform::GetControlFont(row.control);
        EXPECT_EQ(row.points, font.points) << "control " << row.control;
        EXPECT_U16_EQ(row.points ? u"Segoe UI" : u"", font.face) << "control " << row.control;
    }
}

TEST_F(MainWindowTest, TooltipsOfTheTableAndReplacement) {
    EXPECT_U16_EQ(u"Verzeichnis der MPH Dateien", platform::GetTooltip(ctl::ProjectDirButton));
    EXPECT_U16_EQ(u"Basis Pfad des Familienarchives", platform::GetTooltip(ctl::BasePathButton));
    EXPECT_U16_EQ(u"Manual", platform::GetTooltip(ctl::SettingsHelpButton));
    EXPECT_U16_EQ(u"Manual", platform::GetTooltip(ctl::ResultsHelpButton));
    EXPECT_U16_EQ(u"", platform::GetTooltip(ctl::ApplyFilterButton));

    // A second text replaces the first.
    platform::SetTooltip(ctl::BasePathButton, u"Bilder und Filme");
    EXPECT_U16_EQ(u"Bilder und Filme", platform::GetTooltip(ctl::BasePathButton));
}

TEST_F(MainWindowTest, WindowIsCreatedAtItsMinimumSize) {
    int width = 0, height = 0;
    ASSERT_TRUE(platform::GetClientSize(platform::kMainWindow, &width, &height));
    EXPECT_EQ(568, width);
    EXPECT_EQ(400, height);
    // A smaller placement is held at the minimum, as a dragged border is.
    platform::PlaceWindow(platform::kMainWindow, 10, 10, 300, 200);
    platform::GetClientSize(platform::kMainWindow, &width, &height);
    EXPECT_EQ(568, width);
    EXPECT_EQ(400, height);
}

class PageTableTest : public WorkFolderTest {
protected:
    void SetUp() override {
        WorkFolderTest::SetUp();
        AddStartupPageRows();
    }
};

TEST_F(PageTableTest, HelpButtonsFollowTheHelpFile) {
    EXPECT_EQ(12, ActivatePage(kSettingsPage));
    EXPECT_FALSE(platform::IsControlVisible(ctl::SettingsHelpButton));
    EXPECT_TRUE(platform::IsControlVisible(ctl::ApplyFilterButton));

    // The file is asked about at each activation.
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\Spurlese.chm", "ITSF"));
    EXPECT_EQ(13, ActivatePage(kSettingsPage));
    EXPECT_TRUE(platform::IsControlVisible(ctl::SettingsHelpButton));
    EXPECT_TRUE(platform::IsControlEnabled(ctl::SettingsHelpButton));

    EXPECT_EQ(8, ActivatePage(kResultsPage));
    EXPECT_TRUE(platform::IsControlVisible(ctl::ResultsHelpButton));
    for (int c = ctl::SettingsPage; c <= ctl::ApplyFilterButton; ++c) {
        EXPECT_FALSE(platform::IsControlVisible(c)) << c;
        EXPECT_FALSE(platform::IsControlEnabled(c)) << c;
    }
    EXPECT_FALSE(platform::IsControlVisible(ctl::SettingsHelpButton));
    for (int c = ctl::ResultsPage; c <= ctl::SaveResultsButton; ++c) {
        EXPECT_TRUE(platform::IsControlVisible(c)) << c;
        EXPECT_TRUE(platform::IsControlEnabled(c)) << c;
    }
}

TEST_F(PageTableTest, FolderNamedLikeTheHelpFileDoesNotCount) {
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work\\Spurlese.chm"));
    EXPECT_EQ(7, ActivatePage(kResultsPage));
    EXPECT_FALSE(platform::IsControlVisible(ctl::ResultsHelpButton));
}

TEST_F(PageTableTest, RowFilesByControl) {
    EXPECT_U16_EQ(u"Spurlese.chm", PageRowFile(ctl::ResultsHelpButton));
    EXPECT_U16_EQ(u"Spurlese.chm", PageRowFile(ctl::SettingsHelpButton));
    EXPECT_U16_EQ(u"", PageRowFile(ctl::ProjectDirButton));
    EXPECT_U16_EQ(u"", PageRowFile(ctl::SettingsFrame));  // no row
    EXPECT_U16_EQ(u"", PageRowFile(99));
}

TEST_F(MainWindowTest, ValueLabelShowsTheSliderPosition) {
    platform::SetMinimum(ctl::MinLengthSlider, 8);
    platform::SetMaximum(ctl::MinLengthSlider, 40);
    for (int64_t position : {8, 33, 40}) {
        platform::SetState(ctl::MinLengthSlider, position);
        ShowMinLength();
        EXPECT_U16_EQ(position == 8    ? u"8"
                      : position == 33 ? u"33"
                                       : u"40",
                      platform::GetCaption(ctl::MinLengthValue));
    }
}

}  // namespace

}  // namespace spurlese

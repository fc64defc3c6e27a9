// The main window as built: fonts, tooltips, minimum size, the page table and the value label.
#include <span>
#include <string>

#include "program/startup_checks.h"
#include "settings/app_settings.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/page_table.h"

namespace spurlese {

namespace {

using MainWindowTest = WindowTest;

// Each row's font and tooltip reach its control; a control whose row gives none has none.
TEST_F(MainWindowTest, ControlsWearTheFontAndTooltipOfTheirRow) {
    int count = 0;
    const ControlRow* rows = MainWindowControls(&count);
    ASSERT_EQ(ctl::kCount, count);
    for (const ControlRow& row : std::span(rows, static_cast<size_t>(count))) {
        const int n = row.spec.number;
        const platform::FontInfo font = platform::GetControlFont(n);
        EXPECT_EQ(row.fontPoints, font.points) << "control " << n;
        EXPECT_U16_EQ(row.fontPoints ? u"Segoe UI" : u"", font.face) << "control " << n;
        EXPECT_U16_EQ(row.tooltip ? row.tooltip : u"", platform::GetTooltip(n)) << "control " << n;
    }
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

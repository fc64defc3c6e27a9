// The control model as the logic sees it. Runs unchanged against the in-memory model and against
// real Win32 controls under Wine, so the two cannot drift apart.
#include <string>

#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

using platform::GetState;

using ControlModelTest = WindowTest;

TEST_F(ControlModelTest, AllControlsExistWithTheirStartStates) {
    for (int n = 1; n <= ctl::kCount; ++n) EXPECT_TRUE(platform::ControlExists(n)) << n;
    EXPECT_FALSE(platform::ControlExists(0));
    EXPECT_FALSE(platform::ControlExists(23));

    EXPECT_U16_EQ(u"Einstellungen", platform::GetCaption(ctl::SettingsFrame));
    EXPECT_U16_EQ(u"Filter anwenden", platform::GetCaption(ctl::ApplyFilterButton));
    EXPECT_U16_EQ(u"Ergebnis speichern", platform::GetCaption(ctl::SaveResultsButton));
    EXPECT_U16_EQ(u"", platform::GetCaption(ctl::ProjectDirButton));
    EXPECT_U16_EQ(u"", platform::GetCaption(ctl::BasePathButton));

    EXPECT_EQ(0, platform::GetMinimum(ctl::MinLengthSlider));
    EXPECT_EQ(10, platform::GetMaximum(ctl::MinLengthSlider));
    EXPECT_EQ(0, GetState(ctl::MinLengthSlider));
    EXPECT_EQ(0, platform::GetMinimum(ctl::ScanProgress));
    EXPECT_EQ(100, platform::GetMaximum(ctl::ScanProgress));
    EXPECT_EQ(0, GetState(ctl::ScanProgress));
    for (int box : {ctl::MustContainBaseBox, ctl::StripBaseBox, ctl::PrefixProjectBox}) {
        EXPECT_EQ(0, GetState(box)) << box;
    }
    EXPECT_U16_EQ(u"", platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"", platform::GetText(ctl::HitsText));
}

TEST_F(ControlModelTest, SettingsPageShownAndResultsPageHiddenAtStart) {
    for (int n = ctl::SettingsPage; n <= ctl::ApplyFilterButton; ++n) {
        EXPECT_TRUE(platform::IsControlVisible(n)) << n;
        EXPECT_TRUE(platform::IsControlEnabled(n)) << n;
    }
    EXPECT_TRUE(platform::IsControlVisible(ctl::SettingsHelpButton));
    for (int n = ctl::ResultsPage; n <= ctl::ResultsHelpButton; ++n) {
        EXPECT_FALSE(platform::IsControlVisible(n)) << n;
    }
}

TEST_F(ControlModelTest, SliderPositionIsPulledIntoItsRange) {
    struct Row {
        const char* name;
        int64_t set, expected;
    } rows[] = {
        {"inside", 33, 33},
        {"above", 50, 40},
        {"below", 3, 8},
        {"at minimum", 8, 8},
        {"at maximum", 40, 40},
        {"negative", -5, 8},
        {"beyond 32 bits", int64_t{1} << 40, 40},
    };
    platform::SetMinimum(ctl::MinLengthSlider, 8);
    platform::SetMaximum(ctl::MinLengthSlider, 40);
    for (const Row& row : rows) {
        platform::SetState(ctl::MinLengthSlider, row.set);
        EXPECT_EQ(row.expected, GetState(ctl::MinLengthSlider)) << row.name;
        EXPECT_EQ(8, platform::GetMinimum(ctl::MinLengthSlider)) << row.name;
        EXPECT_EQ(40, platform::GetMaximum(ctl::MinLengthSlider)) << row.name;
    }
}

TEST_F(ControlModelTest, SliderPositionFollowsARangeEndThatPassesIt) {
    platform::SetMinimum(ctl::MinLengthSlider, 8);
    platform::SetMaximum(ctl::MinLengthSlider, 40);
    platform::SetState(ctl::MinLengthSlider, 20);
    platform::SetMinimum(ctl::MinLengthSlider, 33);
    EXPECT_EQ(33, GetState(ctl::MinLengthSlider));
    platform::SetMinimum(ctl::MinLengthSlider, 8);
    EXPECT_EQ(33, GetState(ctl::MinLengthSlider));
    platform::SetMaximum(ctl::MinLengthSlider, 25);
    EXPECT_EQ(25, GetState(ctl::MinLengthSlider));
}

TEST_F(ControlModelTest, ProgressValueOutsideTheRangeShowsTheNearestEnd) {
    platform::SetMinimum(ctl::ScanProgress, 0);
    platform::SetMaximum(ctl::ScanProgress, 3);
    platform::SetState(ctl::ScanProgress, 2);
    EXPECT_EQ(2, GetState(ctl::ScanProgress));
    platform::SetState(ctl::ScanProgress, 5);
    EXPECT_EQ(3, GetState(ctl::ScanProgress)) << "a value above the maximum shows a full bar";
    platform::SetState(ctl::ScanProgress, -1);
    EXPECT_EQ(0, GetState(ctl::ScanProgress));

    // An empty scan sets the range 0..0; the bar then stays at 0.
    platform::SetMaximum(ctl::ScanProgress, 0);
    platform::SetState(ctl::ScanProgress, 0);
    EXPECT_EQ(0, platform::GetMaximum(ctl::ScanProgress));
    EXPECT_EQ(0, GetState(ctl::ScanProgress));
}

TEST_F(ControlModelTest, AppendedLinesReadBackSeparatedByCrLf) {
    platform::AppendLine(ctl::InfoText, u"a");
    platform::AppendLine(ctl::InfoText, u"b");
    EXPECT_U16_EQ(u"a\r\nb", platform::GetText(ctl::InfoText));

    platform::ClearText(ctl::InfoText);
    EXPECT_U16_EQ(u"", platform::GetText(ctl::InfoText));
    platform::AppendLine(ctl::InfoText, u"only");
    EXPECT_U16_EQ(u"only", platform::GetText(ctl::InfoText)) << "no line break before the first";

    platform::AppendLine(ctl::InfoText, u"");
    EXPECT_U16_EQ(u"only\r\n", platform::GetText(ctl::InfoText)) << "an empty line is a line";
    platform::AppendLine(ctl::InfoText, u"c");
    EXPECT_U16_EQ(u"only\r\n\r\nc", platform::GetText(ctl::InfoText));
    EXPECT_U16_EQ(u"", platform::GetText(ctl::HitsText)) << "the other display is untouched";
}

TEST_F(ControlModelTest, TextDisplayKeepsUmlautsApostrophesAndLineBreaksInside) {
    platform::AppendLine(ctl::HitsText, u"D:\\Geburtstag J\u00FCrgen\\IMG_0001.JPG");
    platform::AppendLine(ctl::HitsText, u"it's \u00C4\u00D6\u00DC\u00DF \u20AC \U0001F600");
    platform::AppendLine(ctl::HitsText, u"x\ny");
    EXPECT_U16_EQ(
        u"D:\\Geburtstag J\u00FCrgen\\IMG_0001.JPG\r\nit's \u00C4\u00D6\u00DC\u00DF \u20AC "
        u"\U0001F600\r\nx\r\ny",
        platform::GetText(ctl::HitsText));
}

TEST_F(ControlModelTest, TextDisplayHasNoLengthLimit) {
    // Far beyond the 32 767 characters a rich edit control takes by default.
    const std::u16string line(1000, u'x');
    std::u16string expected;
    for (int i = 0; i < 100; ++i) {
        platform::AppendLine(ctl::HitsText, line);
        if (i > 0) expected += u"\r\n";
        expected += line;
    }
    EXPECT_EQ(expected.size(), platform::GetText(ctl::HitsText).size());
    EXPECT_TRUE(platform::GetText(ctl::HitsText) == expected);
}

TEST_F(ControlModelTest, ScrollingBringsTheNewestLineIntoView) {
    for (int i = 0; i < 200; ++i) {
        platform::AppendLine(ctl::InfoText, u"line " + std::u16string(1, u'0' + i % 10));
    }
    platform::ScrollToInsertionPoint(ctl::InfoText);
    EXPECT_TRUE(testsupport::InsertionPointInView(ctl::InfoText));
}

TEST_F(ControlModelTest, CaptionsRoundTripExactly) {
    const std::u16string captions[] = {
        u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\",
        u"D:\\Familienbilder Stand Juni 2022", u"Tom & Jerry", u"\u00C4rger mit \u00DC", u""};
    for (const auto& caption : captions) {
        platform::SetCaption(ctl::ProjectDirButton, caption);
        EXPECT_U16_EQ(caption, platform::GetCaption(ctl::ProjectDirButton));
    }
}

TEST_F(ControlModelTest, ContainerStateIsPassedOnToItsChildren) {
    platform::EnableControl(ctl::SettingsPage, false);
    EXPECT_FALSE(platform::IsControlEnabled(ctl::ApplyFilterButton));
    platform::EnableControl(ctl::SettingsPage, true);
    EXPECT_TRUE(platform::IsControlEnabled(ctl::ApplyFilterButton));

    platform::EnableControl(ctl::ApplyFilterButton, false);
    EXPECT_FALSE(platform::IsControlEnabled(ctl::ApplyFilterButton));
    EXPECT_TRUE(platform::IsControlEnabled(ctl::SettingsPage))
        << "a child never disables its parent";
    platform::EnableControl(ctl::ApplyFilterButton, true);

    platform::ShowControl(ctl::SettingsPage, false);
    EXPECT_FALSE(platform::IsControlVisible(ctl::ProjectDirButton));
    platform::ShowControl(ctl::ResultsPage, true);
    EXPECT_TRUE(platform::IsControlVisible(ctl::HitsText));
    platform::ShowControl(ctl::HitsText, false);
    EXPECT_FALSE(platform::IsControlVisible(ctl::HitsText));
    EXPECT_TRUE(platform::IsControlVisible(ctl::InfoText));
}

TEST_F(ControlModelTest, OperationsOnUnknownControlsDoNothing) {
    for (int n : {0, 23, 64, 65, -1}) {
        platform::SetCaption(n, u"x");
        platform::SetState(n, 5);
        platform::AppendLine(n, u"x");
        platform::EnableControl(n, false);
        EXPECT_U16_EQ(u"", platform::GetCaption(n));
        EXPECT_EQ(0, GetState(n));
        EXPECT_U16_EQ(u"", platform::GetText(n));
        EXPECT_FALSE(platform::IsControlEnabled(n));
        EXPECT_FALSE(platform::IsControlVisible(n));
    }
    // Text operations on a control that is no text display change nothing either.
    platform::AppendLine(ctl::ApplyFilterButton, u"x");
    EXPECT_U16_EQ(u"Filter anwenden", platform::GetCaption(ctl::ApplyFilterButton));
}

TEST_F(ControlModelTest, ControlsEndWithTheWindow) {
    platform::CloseWindow(platform::kMainWindow);
    EXPECT_FALSE(platform::WindowExists(platform::kMainWindow));
    for (int n = 1; n <= ctl::kCount; ++n) EXPECT_FALSE(platform::ControlExists(n)) << n;
    platform::ControlSpec label;
    label.number = 30;
    EXPECT_FALSE(platform::CreateControl(label)) << "no window, no control";
    ASSERT_TRUE(OpenMainWindow()) << "the window can be opened again";
    EXPECT_FALSE(OpenMainWindow()) << "but only once at a time";
}

}  // namespace

}  // namespace spurlese

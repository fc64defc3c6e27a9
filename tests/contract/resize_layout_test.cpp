// Controls follow the window's client size: the geometry for any size, computed from the
// creation geometry, with "Filter anwenden" centred.
#include "ui/main_window.h"
#include "ui/resize_layout.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

class ResizeLayoutTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        platform::BindEvent(platform::kSizeChanged, OnSizeChangedRelayout);
        platform::BindEvent(platform::kSizeChanged, OnSizeChangedCentre);
    }
    static void Resize(int width, int height) {
        platform::PlaceWindow(platform::kMainWindow, 20, 20, width, height);
    }
    // Every anchored control against its row of the layout table for the client size W x H.
    static void ExpectLayout(int W, int H) {
        struct Row {
            int control, x, y, width, height;
        } rows[] = {
            {ctl::SettingsPage, 0, 0, W + 32, H + 430},
            {ctl::SettingsFrame, 5, 5, W - 13, 245},
            {ctl::ProjectDirButton, 185, 35, W - 198, 30},
            {ctl::BasePathButton, 185, 75, W - 198, 30},
            {ctl::MinLengthSlider, 185, 115, W - 238, 30},
            {ctl::MinLengthValue, W - 53, 115, 40, 30},
            {ctl::ApplyFilterButton, (W - 160) / 2, 290, 160, 30},
            {ctl::ResultsPage, 0, 0, W + 32, H + 115},
            {ctl::InfoFrame, 5, 5, W - 13, 190},
            {ctl::InfoText, 10, 25, W - 23, 165},
            {ctl::ScanProgress, 10, 200, W - 23, 15},
            {ctl::HitsFrame, 5, 225, W - 13, H - 230},
            {ctl::HitsText, 10, 245, W - 23, H - 310},
            {ctl::SaveResultsButton, 10, H - 40, 150 + kSplitArrowWidth, 30},
            {ctl::ResultsHelpButton, W - 63, H - 60, 50, 50},
            {ctl::SettingsHelpButton, W - 58, H - 55, 50, 50},
            // Not anchored: the creation geometry whatever the size.
            {ctl::ProjectDirLabel, 15, 35, 150, 30},
            {ctl::PrefixProjectBox, 185, 210, 370, 30},
        };
        for (const Row& row : rows) {
            const platform::Rect at = platform::GetControlRect(row.control);
            EXPECT_EQ(row.x, at.x) << "control " << row.control << " at " << W << "x" << H;
            EXPECT_EQ(row.y, at.y) << "control " << row.control << " at " << W << "x" << H;
            EXPECT_EQ(row.width, at.width) << "control " << row.control << " at " << W << "x" << H;
            EXPECT_EQ(row.height, at.height)
                << "control " << row.control << " at " << W << "x" << H;
        }
    }
};

TEST_F(ResizeLayoutTest, GeometryFollowsTheClientSize) {
    Resize(668, 450);  // 100 wider, 50 higher
    ExpectLayout(668, 450);
    EXPECT_EQ(615, platform::GetControlRect(ctl::MinLengthValue).x);
    EXPECT_EQ(254, platform::GetControlRect(ctl::ApplyFilterButton).x);

    Resize(569, 400);  // odd: the centring drops the remainder
    ExpectLayout(569, 400);
    EXPECT_EQ(204, platform::GetControlRect(ctl::ApplyFilterButton).x);

    Resize(900, 700);
    Resize(568, 400);  // back to the minimum: the creation geometry, but centred
    ExpectLayout(568, 400);
}

TEST_F(ResizeLayoutTest, RegisteringAgainReplacesTheRecordInPlace) {
    // Moved by hand, then registered again: the new reference is the geometry of now.
    platform::MoveControl(ctl::SaveResultsButton, 30, 300, 120, 30);
    RegisterAnchor(platform::kMainWindow, ctl::SaveResultsButton, kYFollows);
    Resize(600, 420);
    const platform::Rect at = platform::GetControlRect(ctl::SaveResultsButton);
    EXPECT_EQ(30, at.x);
    EXPECT_EQ(320, at.y);
    EXPECT_EQ(120, at.width);
}

// A control out of its place stays there for a window that is not the main window, and goes
// back for the main window.
TEST_F(ResizeLayoutTest, UnknownWindowOnlyRepaints) {
    const platform::Rect placed = platform::GetControlRect(ctl::HitsText);
    platform::MoveControl(ctl::HitsText, placed.x, placed.y, placed.width - 40, placed.height - 20);
    RelayoutWindow(0x7777);
    RelayoutWindow(0);
    EXPECT_EQ(placed.width - 40, platform::GetControlRect(ctl::HitsText).width);
    RelayoutWindow(platform::WindowNativeHandle(platform::kMainWindow));
    EXPECT_EQ(placed.width, platform::GetControlRect(ctl::HitsText).width);
}

}  // namespace

}  // namespace spurlese

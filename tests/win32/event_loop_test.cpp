// The event loop's Win32 side, message by message: what the user's clicks and keys become, the
// dialog keyboard (Tab, Shift+Tab, Space, arrows, Alt+F4), and what a scan's pumping drops.
#ifndef UNICODE
#define UNICODE
#endif
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include "app/startup_checks.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/page_table.h"

namespace {

using platform::win32::ControlHandle;
using platform::win32::MainWindowHandle;

class EventLoopTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        platform::SetMinimum(ctl::MinLengthSlider, 8);
        platform::SetMaximum(ctl::MinLengthSlider, 40);
        platform::SetState(ctl::MinLengthSlider, 33);
        AddStartupPageRows();
        ActivatePage(kSettingsPage);
        SetForegroundWindow(MainWindowHandle());
        // The size changes of creating and showing the window are not what is tested here.
        while (platform::DropPendingEvent()) {
        }
    }
    // Posts the keystroke to the focused control, then a close request, and waits: the events
    // the keystroke raised come first.
    static platform::Event KeyThenWait(WPARAM key, bool shift = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND target = GetFocus();
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 1 | (3u << 30));
        PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
        // The first event the keystroke raised (a key release may add more), or the close.
        platform::Event first, event;
        do {
            platform::WaitEvent(&event);
            if (first.number == 0) first = event;
        } while (event.number != platform::kCloseRequest);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return first;
    }
};

TEST_F(EventLoopTest, ClicksBecomeControlEventsWithTheControlsNumber) {
    for (int control : {ctl::ApplyFilterButton, ctl::ProjectDirButton, ctl::StripBaseBox}) {
        PostMessageW(ControlHandle(control), BM_CLICK, 0, 0);
        platform::Event event;
        platform::WaitEvent(&event);
        EXPECT_EQ(platform::kControlEvent, event.number) << control;
        EXPECT_EQ(control, event.control);
        EXPECT_EQ(platform::kMainWindow, event.window);
    }
    EXPECT_EQ(1, platform::GetState(ctl::StripBaseBox));
}

TEST_F(EventLoopTest, CloseBoxAndAltF4AreCloseRequests) {
    PostMessageW(MainWindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    platform::Event event;
    platform::WaitEvent(&event);
    EXPECT_EQ(platform::kCloseRequest, event.number);
    EXPECT_TRUE(platform::WindowExists(platform::kMainWindow));  // the program decides

    PostMessageW(MainWindowHandle(), WM_SYSKEYDOWN, VK_F4, 1 | (1u << 29));
    platform::WaitEvent(&event);
    EXPECT_EQ(platform::kCloseRequest, event.number);
    EXPECT_EQ(platform::kMainWindow, event.window);
}

TEST_F(EventLoopTest, TabMovesThroughTheShownPage) {
    SetFocus(ControlHandle(ctl::ProjectDirButton));
    KeyThenWait(VK_TAB);
    EXPECT_EQ(ControlHandle(ctl::BasePathButton), GetFocus());
    KeyThenWait(VK_TAB);
    EXPECT_EQ(ControlHandle(ctl::MinLengthSlider), GetFocus());
    KeyThenWait(VK_TAB, true);
    EXPECT_EQ(ControlHandle(ctl::BasePathButton), GetFocus());
    // From the last control of the page (no help file: the help button is hidden) back to the
    // first; the hidden results page is skipped.
    SetFocus(ControlHandle(ctl::ApplyFilterButton));
    KeyThenWait(VK_TAB);
    EXPECT_EQ(ControlHandle(ctl::ProjectDirButton), GetFocus());
}

TEST_F(EventLoopTest, SpaceTogglesACheckBoxAndArrowsMoveTheSlider) {
    SetFocus(ControlHandle(ctl::MustContainBaseBox));
    platform::Event event = KeyThenWait(VK_SPACE);
    EXPECT_EQ(platform::kControlEvent, event.number);
    EXPECT_EQ(ctl::MustContainBaseBox, event.control);
    EXPECT_EQ(1, platform::GetState(ctl::MustContainBaseBox));

    SetFocus(ControlHandle(ctl::MinLengthSlider));
    event = KeyThenWait(VK_RIGHT);
    EXPECT_EQ(platform::kControlEvent, event.number);
    EXPECT_EQ(ctl::MinLengthSlider, event.control);
    EXPECT_EQ(34, platform::GetState(ctl::MinLengthSlider));
    KeyThenWait(VK_LEFT);
    KeyThenWait(VK_LEFT);
    EXPECT_EQ(32, platform::GetState(ctl::MinLengthSlider));
}

TEST_F(EventLoopTest, PumpingDropsClicksAndCloseRequestsButNotSizing) {
    static int sizeCallbacks = 0;
    sizeCallbacks = 0;
    platform::BindEvent(platform::kSizeChanged, [](const platform::Event&) { ++sizeCallbacks; });
    PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
    PostMessageW(ControlHandle(ctl::ApplyFilterButton), BM_CLICK, 0, 0);
    platform::PlaceWindow(platform::kMainWindow, 30, 30, 700, 500);
    EXPECT_GE(sizeCallbacks, 1);  // ran at once, inside the size handling
    while (platform::DropPendingEvent()) {
    }
    // Nothing is left: the next event is the one raised now.
    PostMessageW(ControlHandle(ctl::StripBaseBox), BM_CLICK, 0, 0);
    platform::Event event;
    platform::WaitEvent(&event);
    EXPECT_EQ(platform::kControlEvent, event.number);
    EXPECT_EQ(ctl::StripBaseBox, event.control);
}

}  // namespace

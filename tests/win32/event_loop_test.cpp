// The event loop's Win32 side, message by message: what the user's clicks and keys become, the
// dialog keyboard (Tab, Shift+Tab, Space, arrows, Alt+F4), and what a scan's pumping drops.
#ifndef UNICODE
#define UNICODE
#endif
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program/startup_checks.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/page_table.h"

namespace spurlese {

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
    // The events the program gets, in order, up to and including the next close request;
    // compared whole with the expected sequence, as Wine's tests compare message sequences.
    static std::vector<std::string> EventsUntilClose() {
        std::vector<std::string> seen;
        platform::Event event;
        do {
            platform::WaitEvent(&event);
            seen.push_back(Describe(event));
        } while (event.number != platform::kCloseRequest);
        return seen;
    }
    static std::string Describe(const platform::Event& event) {
        const std::string window = event.window == platform::kMainWindow ? "" : " (other window)";
        switch (event.number) {
            case platform::kControlEvent:
                return "control " + std::to_string(event.control) + window;
            case platform::kCloseRequest:
                return "close" + window;
            case platform::kItemsDropped:
                return "drop" + window;
            case platform::kMenuCommand:
                return "menu " + std::to_string(event.control) + ": " +
                       std::to_string(event.command) + " on line " + std::to_string(event.line);
            case platform::kLineActivated:
                return "line " + std::to_string(event.line) + " of " +
                       std::to_string(event.control);
            default:
                return "event " + std::to_string(static_cast<int>(event.number)) + window;
        }
    }
    // Posts the keystroke to the focused control, then a close request; the events the
    // keystroke raised, then the close.
    static std::vector<std::string> Keystroke(WPARAM key, bool shift = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND target = GetFocus();
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 1 | (3u << 30));
        PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
        const std::vector<std::string> seen = EventsUntilClose();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return seen;
    }
};

using Sequence = std::vector<std::string>;

TEST_F(EventLoopTest, ClicksBecomeControlEventsWithTheControlsNumber) {
    for (int control : {ctl::ApplyFilterButton, ctl::ProjectDirButton, ctl::StripBaseBox})
        PostMessageW(ControlHandle(control), BM_CLICK, 0, 0);
    PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((Sequence{"control 13", "control 4", "control 11", "close"}), EventsUntilClose());
    EXPECT_EQ(1, platform::GetState(ctl::StripBaseBox));
}

TEST_F(EventLoopTest, CloseBoxAndAltF4AreCloseRequests) {
    PostMessageW(MainWindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ((Sequence{"close"}), EventsUntilClose());
    EXPECT_TRUE(platform::WindowExists(platform::kMainWindow));  // the program decides
    PostMessageW(MainWindowHandle(), WM_SYSKEYDOWN, VK_F4, 1 | (1u << 29));
    EXPECT_EQ((Sequence{"close"}), EventsUntilClose());
}

TEST_F(EventLoopTest, TabMovesThroughTheShownPage) {
    SetFocus(ControlHandle(ctl::ProjectDirButton));
    EXPECT_EQ((Sequence{"close"}), Keystroke(VK_TAB)) << "moving the focus raises no event";
    EXPECT_EQ(ControlHandle(ctl::BasePathButton), GetFocus());
    Keystroke(VK_TAB);
    EXPECT_EQ(ControlHandle(ctl::MinLengthSlider), GetFocus());
    Keystroke(VK_TAB, true);
    EXPECT_EQ(ControlHandle(ctl::BasePathButton), GetFocus());
    // From the last control of the page (no help file: the help button is hidden) back to the
    // first; the hidden results page is skipped.
    SetFocus(ControlHandle(ctl::ApplyFilterButton));
    Keystroke(VK_TAB);
    EXPECT_EQ(ControlHandle(ctl::ProjectDirButton), GetFocus());
}

TEST_F(EventLoopTest, SpaceTogglesACheckBoxAndArrowsMoveTheSlider) {
    SetFocus(ControlHandle(ctl::MustContainBaseBox));
    EXPECT_EQ((Sequence{"control 10", "close"}), Keystroke(VK_SPACE));
    EXPECT_EQ(1, platform::GetState(ctl::MustContainBaseBox));

    SetFocus(ControlHandle(ctl::MinLengthSlider));
    // The press moves the thumb, the release ends the move (TB_ENDTRACK): both reach the program.
    EXPECT_EQ((Sequence{"control 8", "control 8", "close"}), Keystroke(VK_RIGHT));
    EXPECT_EQ(34, platform::GetState(ctl::MinLengthSlider));
    Keystroke(VK_LEFT);
    Keystroke(VK_LEFT);
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
    // Nothing is left: the next events are the ones raised now.
    PostMessageW(ControlHandle(ctl::StripBaseBox), BM_CLICK, 0, 0);
    PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((Sequence{"control 11", "close"}), EventsUntilClose());
}

// Logging off: Windows asks first (yes, always), then ends the session; the placement must be
// saved inside that message, since the process may end as soon as it returns.
TEST_F(EventLoopTest, SessionEndRunsTheBoundCallbacksAtOnceThenAsksToClose) {
    static int ending = 0;
    ending = 0;
    platform::BindEvent(platform::kSessionEnding, [](const platform::Event&) { ++ending; });
    EXPECT_EQ(TRUE, SendMessageW(MainWindowHandle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(MainWindowHandle(), WM_ENDSESSION, FALSE, 0);  // another program said no
    EXPECT_EQ(0, ending);
    SendMessageW(MainWindowHandle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(1, ending);
    EXPECT_EQ((Sequence{"close"}), EventsUntilClose());
}

// Moved to a display of twice the scale: every control stands where a start at 200 % puts it,
// in device pixels twice today's, with fonts made for 192 DPI, and the 96-DPI units stay as they
// were.
TEST_F(EventLoopTest, DpiChangeLaysTheWindowOutAtTheNewScale) {
    constexpr int kLast = ctl::ResultsHelpButton;
    RECT before[kLast + 1] = {};
    LOGFONTW fontBefore[kLast + 1] = {};
    platform::Rect unitsBefore[kLast + 1];
    for (int control = 1; control <= kLast; ++control) {
        HWND hwnd = ControlHandle(control);
        GetWindowRect(hwnd, &before[control]);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&before[control]), 2);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(LOGFONTW),
                   &fontBefore[control]);
        unitsBefore[control] = platform::GetControlRect(control);
    }
    RECT frame = {};
    GetWindowRect(MainWindowHandle(), &frame);
    RECT client = {};
    GetClientRect(MainWindowHandle(), &client);
    // What Windows suggests: the frame around twice the client area.
    RECT suggested = {frame.left, frame.top, frame.left + 2 * client.right,
                      frame.top + 2 * client.bottom};
    AdjustWindowRectEx(&suggested, GetWindowLongW(MainWindowHandle(), GWL_STYLE), FALSE,
                       GetWindowLongW(MainWindowHandle(), GWL_EXSTYLE));
    OffsetRect(&suggested, frame.left - suggested.left, frame.top - suggested.top);
    SendMessageW(MainWindowHandle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    for (int control = 1; control <= kLast; ++control) {
        HWND hwnd = ControlHandle(control);
        RECT after = {};
        GetWindowRect(hwnd, &after);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&after), 2);
        EXPECT_EQ(2 * before[control].left, after.left) << "control " << control;
        EXPECT_EQ(2 * before[control].top, after.top) << "control " << control;
        EXPECT_EQ(2 * (before[control].right - before[control].left), after.right - after.left)
            << "control " << control;
        EXPECT_EQ(2 * (before[control].bottom - before[control].top), after.bottom - after.top)
            << "control " << control;
        const platform::Rect units = platform::GetControlRect(control);
        EXPECT_EQ(unitsBefore[control].x, units.x) << "control " << control;
        EXPECT_EQ(unitsBefore[control].width, units.width) << "control " << control;
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        const int points = platform::GetControlFont(control).points;
        if (platform::GetControlFont(control).face.empty()) {  // the default GUI font
            EXPECT_EQ(2 * fontBefore[control].lfHeight, font.lfHeight) << "control " << control;
            continue;
        }
        EXPECT_EQ(-MulDiv(points, 192, 72), font.lfHeight) << "control " << control;
        EXPECT_EQ(-MulDiv(points, 96, 72), fontBefore[control].lfHeight) << "control " << control;
    }
    int width = 0, height = 0;
    platform::GetClientSize(platform::kMainWindow, &width, &height);
    EXPECT_EQ(client.right, width) << "the client area keeps its size in 96-DPI units";
}

// Escape closes nothing: it is a request to cancel, which only a running copy answers.
TEST_F(EventLoopTest, EnterPressesTheFocusedButtonEscapeOnlyRequestsACancel) {
    SetFocus(ControlHandle(ctl::ApplyFilterButton));
    EXPECT_EQ((Sequence{"control 13", "close"}), Keystroke(VK_RETURN));
    SetFocus(ControlHandle(ctl::StripBaseBox));
    EXPECT_EQ((Sequence{"close"}), Keystroke(VK_RETURN)) << "no event, no toggle";
    EXPECT_EQ(0, platform::GetState(ctl::StripBaseBox));
    EXPECT_EQ((Sequence{"event 13124", "close"}), Keystroke(VK_ESCAPE));
    EXPECT_TRUE(platform::WindowExists(platform::kMainWindow));
}

// Leaving the window (another program, a message box, the folder picker) and coming back puts
// the focus where it was; with nowhere to go back to, on the first tab stop.
TEST_F(EventLoopTest, FocusComesBackWhereItWas) {
    SendMessageW(MainWindowHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(ControlHandle(ctl::ProjectDirButton), GetFocus());
    SetFocus(ControlHandle(ctl::StripBaseBox));
    SendMessageW(MainWindowHandle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(MainWindowHandle());  // as Windows leaves it after a dialog closes
    EXPECT_EQ(ControlHandle(ctl::StripBaseBox), GetFocus());
    SetFocus(ControlHandle(ctl::ApplyFilterButton));
    SendMessageW(MainWindowHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(ControlHandle(ctl::StripBaseBox), GetFocus());
}

// A scan that ends while the user works in another program moves the focus all the same: the
// control the program gives it while the window is inactive has it when the user comes back.
TEST_F(EventLoopTest, FocusGivenWhileAwayIsThereOnReturn) {
    ActivatePage(kResultsPage);
    SetFocus(ControlHandle(ctl::HitsText));
    HWND other =
        CreateWindowExW(0, L"STATIC", L"Anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        200, 100, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    ASSERT_NE(MainWindowHandle(), GetActiveWindow());
    EXPECT_EQ(ctl::HitsText, platform::FocusedControl()) << "the focus it gets back";
    EXPECT_TRUE(platform::FocusControl(ctl::SaveResultsButton));
    EXPECT_EQ(ctl::SaveResultsButton, platform::FocusedControl());
    SetActiveWindow(MainWindowHandle());
    EXPECT_EQ(ControlHandle(ctl::SaveResultsButton), GetFocus());
    DestroyWindow(other);
}

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<no clipboard>";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::wstring text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

// The two displays are tab stops that give Tab back to the window, and keep Ctrl+A and Ctrl+C.
TEST_F(EventLoopTest, DisplaysAreTabStopsWithSelectAllAndCopy) {
    ActivatePage(kResultsPage);
    platform::AppendLine(ctl::HitsText, u"D:\\Archiv\\a.jpg");
    platform::AppendLine(ctl::HitsText, u"D:\\Archiv\\b.jpg");
    SetFocus(ControlHandle(ctl::InfoText));
    Keystroke(VK_TAB);
    ASSERT_EQ(ControlHandle(ctl::HitsText), GetFocus());
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Keystroke('A');
    Keystroke('C');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    CHARRANGE selection = {};
    SendMessageW(GetFocus(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(0, selection.cpMin);
    EXPECT_GE(selection.cpMax, 31) << "both lines, each line end counted once";
    const std::wstring copied = ClipboardText();
    EXPECT_EQ(L"D:\\Archiv\\a.jpg\r\nD:\\Archiv\\b.jpg", copied);
    Keystroke(VK_TAB);
    EXPECT_NE(ControlHandle(ctl::HitsText), GetFocus()) << "Tab leaves the display";
}

// What the copy menu offered, and which item (from 1; 0 for none) the user then takes.
struct MenuSeen {
    std::vector<std::wstring> items;
    std::vector<bool> greyed;
    int take = 0;
};
MenuSeen gMenu;

// Runs inside the menu's modal loop: reads the menu, then chooses with the keyboard.
void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowW(L"#32768", nullptr);
    if (!window) return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        gMenu.items.push_back(text);
        gMenu.greyed.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED);
    }
    for (int k = 0; k < gMenu.take; ++k) PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window, WM_KEYDOWN, gMenu.take ? VK_RETURN : VK_ESCAPE, 0);
}

// The right mouse button or Shift+F10 on a display: "Kopieren" (greyed without a selection) and
// "Alles markieren".
TEST_F(EventLoopTest, DisplaysOfferCopyAndSelectAll) {
    ActivatePage(kResultsPage);
    platform::AppendLine(ctl::InfoText, u"Done");
    HWND info = ControlHandle(ctl::InfoText);
    gMenu = {};
    gMenu.take = 2;  // "Alles markieren"
    SetTimer(nullptr, 0, 20, LookAtMenu);
    SendMessageW(info, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(info), MAKELPARAM(-1, -1));
    EXPECT_EQ((std::vector<std::wstring>{L"Kopieren", L"Alles markieren"}), gMenu.items);
    EXPECT_EQ((std::vector<bool>{true, false}), gMenu.greyed);
    CHARRANGE selection = {};
    SendMessageW(info, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(0, selection.cpMin);
    EXPECT_GE(selection.cpMax, 4) << "the whole text";

    gMenu = {};
    gMenu.take = 1;  // "Kopieren", now that there is a selection
    SetTimer(nullptr, 0, 20, LookAtMenu);
    RECT area = {};
    GetWindowRect(info, &area);
    SendMessageW(info, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(info),
                 MAKELPARAM(area.left + 5, area.top + 5));
    EXPECT_EQ((std::vector<bool>{false, false}), gMenu.greyed);
    const std::wstring copied = ClipboardText();
    EXPECT_EQ(L"Done", copied);
}

// The program's items follow "Kopieren" and "Alles markieren" in the context menu of "Treffer",
// and make the menu of the arrow of "Ergebnis speichern" (a click on it, or F4); a chosen one
// reaches the program with the line the menu was opened on.
TEST_F(EventLoopTest, ProgramItemsInTheMenusOfTheResultsPage) {
    ActivatePage(kResultsPage);
    platform::SetControlMenu(ctl::HitsText, {{7, u"Sieben"}, {0, u""}, {8, u"Acht"}});
    platform::SetControlMenu(ctl::SaveResultsButton, {{7, u"Sieben"}, {8, u"Acht", false}});
    for (const char16_t* line : {u"eins", u"zwei", u"drei"})
        platform::AppendLine(ctl::HitsText, line);
    HWND hits = ControlHandle(ctl::HitsText);
    gMenu = {};
    gMenu.take = 4;  // past "Kopieren", "Alles markieren", "Sieben" to "Acht"
    SetTimer(nullptr, 0, 20, LookAtMenu);
    SendMessageW(hits, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hits), MAKELPARAM(-1, -1));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Kopieren", L"Alles markieren", L"", L"Sieben", L"", L"Acht"}),
        gMenu.items);
    PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((Sequence{"menu 19: 8 on line 2", "close"}), EventsUntilClose());

    HWND button = ControlHandle(ctl::SaveResultsButton);
    RECT area = {};
    GetClientRect(button, &area);
    gMenu = {};
    gMenu.take = 1;  // "Sieben"
    SetTimer(nullptr, 0, 20, LookAtMenu);
    const LPARAM arrow = MAKELPARAM(area.right - 4, area.bottom / 2);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
    SendMessageW(button, WM_LBUTTONUP, 0, arrow);
    EXPECT_EQ((std::vector<std::wstring>{L"Sieben", L"Acht"}), gMenu.items);
    EXPECT_EQ((std::vector<bool>{false, true}), gMenu.greyed);
    platform::Event event;
    platform::WaitEvent(&event);
    EXPECT_EQ("menu 20: 7 on line -1", Describe(event)) << "the click on the arrow";
    gMenu = {};
    gMenu.take = 1;
    SetTimer(nullptr, 0, 20, LookAtMenu);
    PostMessageW(button, WM_KEYDOWN, VK_F4, 1);
    platform::WaitEvent(&event);
    EXPECT_EQ("menu 20: 7 on line -1", Describe(event)) << "F4";
}

// What Explorer drops on the window reaches the program as one event with every item's path.
TEST_F(EventLoopTest, DroppedItemsBecomeOneEvent) {
    const std::wstring items = std::wstring(L"D:\\Gezogen") + L'\0' + L"D:\\Work\\a.mph" + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (items.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(nullptr, drop);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(items.begin(), items.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    PostMessageW(MainWindowHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    PostMessageW(MainWindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((Sequence{"drop", "close"}), EventsUntilClose());
    EXPECT_EQ((std::vector<std::u16string>{u"D:\\Gezogen", u"D:\\Work\\a.mph"}),
              platform::DroppedItems());
}

}  // namespace

}  // namespace spurlese

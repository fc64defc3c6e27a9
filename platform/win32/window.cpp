// The main window: a plain top-level window with the dialog face colour, sized by its client
// area and centred on the primary display's work area. Its procedure turns what the user does
// into the program's events.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "platform/event_queue.h"

namespace spurlese {

namespace platform {

namespace win32 {

namespace {

constexpr wchar_t kMainClass[] = L"SpurleseMainWindow";
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

HWND gMainWindow = nullptr;
HWND gLeftFocus = nullptr;  // the control that had the focus when the window was left
std::vector<std::u16string> gDropped;
int gDpi = 0;                                   // 0: not asked yet
int gMinClientWidth = 0, gMinClientHeight = 0;  // 96-DPI units

int gDpiOfNewWindows = 0;  // 0: as Windows says

// A function of user32 that older Windows lacks, looked up so that the program still starts there.
template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The DPI of the display the window is on: Windows 10 tells it per window; before that every
// window has the system's.
int DpiOfWindow(HWND hwnd) {
    if (gDpiOfNewWindows > 0) return gDpiOfNewWindows;
    static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const int dpi = forWindow ? static_cast<int>(forWindow(hwnd)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

// The outer size for a client area. The frame around it is measured on the window where there is
// one (it is what Windows draws, at whatever DPI); before, it is told by Windows for the DPI.
SIZE FrameSizeFor(int clientWidth, int clientHeight) {
    RECT frame = {0, 0, Scale(clientWidth), Scale(clientHeight)};
    RECT outer = {}, client = {};
    if (gMainWindow && GetWindowRect(gMainWindow, &outer) && GetClientRect(gMainWindow, &client)) {
        return {frame.right + (outer.right - outer.left) - client.right,
                frame.bottom + (outer.bottom - outer.top) - client.bottom};
    }
    static const auto adjustForDpi =
        User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&frame, kMainStyle, FALSE, kMainExStyle, Dpi()))
        AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// Controls report activity to their parent; the containers pass it on to this window.
int ControlOfNotification(HWND control) {
    return control ? GetDlgCtrlID(control) : 0;
}

// The window went to a display of another scale: every control is placed and given its font
// again at the new scale, in the same 96-DPI units; then the window takes the rectangle Windows
// suggests, and that size change lays the anchored controls out anew.
void ChangeDpi(int dpi, const RECT& suggested) {
    struct Kept {
        int control;
        Rect at;
        FontInfo font;
    };
    std::vector<Kept> kept;
    for (int control = 1; control <= kMaxControl; ++control) {
        if (ControlHandle(control))
            kept.push_back({control, GetControlRect(control), GetControlFont(control)});
    }
    gDpi = dpi;
    for (const Kept& k : kept) {
        MoveControl(k.control, k.at.x, k.at.y, k.at.width, k.at.height);
        SetControlFont(k.control, k.font.face, k.font.points);  // the default GUI font too
    }
    SetWindowPos(gMainWindow, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Focus as in a dialog: back to the control that had it when the window was left (for another
// program, a message box, the folder picker), else to the first tab stop.
void RestoreFocus(HWND hwnd) {
    HWND focus = gLeftFocus;
    if (!focus || !IsWindow(focus) || !IsChild(hwnd, focus) || !IsWindowVisible(focus) ||
        !IsWindowEnabled(focus)) {
        focus = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    }
    if (focus) SetFocus(focus);
}

// Enter on a focused push button presses it, as Space does; on a display it activates the line of
// the insertion point, as a double click does. (The dialog keyboard sends Enter as IDOK, Escape
// as IDCANCEL.)
void PressFocusedButton(HWND hwnd) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd, focus)) return;
    const int control = GetDlgCtrlID(focus);
    if (ControlHandle(control) == focus && KindOf(control) == ControlKind::TextDisplay) {
        events::Push({kLineActivated, control, kMainWindow, 0, LineAtCaret(focus)});
        return;
    }
    wchar_t kind[16] = {};
    if (!GetClassNameW(focus, kind, 16) || lstrcmpiW(kind, L"BUTTON") != 0) return;
    const LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_SPLITBUTTON ||
        type == BS_DEFSPLITBUTTON) {
        SendMessageW(focus, BM_CLICK, 0, 0);
    }
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Closing is the program's decision, made in its event loop.
            events::Push({kCloseRequest, 0, kMainWindow});
            return 0;
        case WM_COMMAND:
            // Enter and Escape from the dialog keyboard: IDOK and IDCANCEL, from no control or
            // from the container that happens to have that number. Escape is the program's to
            // take or leave.
            if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == 0 &&
                (lParam == 0 ||
                 KindOf(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) == ControlKind::Container)) {
                if (LOWORD(wParam) == IDOK) PressFocusedButton(hwnd);
                if (LOWORD(wParam) == IDCANCEL) events::Push({kCancelRequest, 0, kMainWindow});
                return 0;
            }
            if (lParam != 0) {
                const int control = ControlOfNotification(reinterpret_cast<HWND>(lParam));
                // A display's notifications (its focus, its updates) are no activity of the user's:
                // the displays are read-only.
                if (control && KindOf(control) != ControlKind::TextDisplay)
                    events::Push({kControlEvent, control, kMainWindow});
            }
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == BCN_DROPDOWN) OpenButtonMenu(static_cast<int>(header->idFrom));
            return 0;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (const int control = ControlOfNotification(reinterpret_cast<HWND>(lParam))) {
                events::Push({kControlEvent, control, kMainWindow});
            }
            return 0;
        case WM_DPICHANGED:
            ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DROPFILES: {
            HDROP drop = reinterpret_cast<HDROP>(wParam);
            gDropped.clear();
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
                gDropped.push_back(U(path.data(), path.size()));
            }
            DragFinish(drop);
            events::Push({kItemsDropped, 0, kMainWindow});
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) gLeftFocus = focus;
            } else if (!HIWORD(wParam)) {  // not while minimised
                RestoreFocus(hwnd);
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus(hwnd);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // nothing to ask: the placement is saved as the session ends
        case WM_ENDSESSION:
            // The process may end as soon as this returns: the placement is saved now.
            if (wParam) events::RaiseSessionEnding();
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) events::RaiseSizeChanged(kMainWindow);
            return 0;
        case WM_GETMINMAXINFO:
            if (gMinClientWidth > 0) {
                const SIZE least = FrameSizeFor(gMinClientWidth, gMinClientHeight);
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize = {least.cx, least.cy};
            }
            return 0;
        case WM_DESTROY:
            if (hwnd == gMainWindow) gMainWindow = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterMainClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kMainClass, &wc)) return true;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    return RegisterClassExW(&wc) != 0;
}

struct Display {
    RECT area;
};
std::vector<Display> gDisplays;

BOOL CALLBACK CollectDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        gDisplays.insert(gDisplays.begin(), {info.rcMonitor});
    } else {
        gDisplays.push_back({info.rcMonitor});
    }
    return TRUE;
}

}  // namespace

HWND MainWindowHandle() {
    return gMainWindow;
}

bool MainWindowActive() {
    return gMainWindow && GetActiveWindow() == gMainWindow;
}

HWND FocusOnReturn() {
    return gLeftFocus;
}

void SetFocusOnReturn(HWND control) {
    gLeftFocus = control;
}

int SystemDpi() {
    const ScreenDc screen;
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

int Dpi() {
    return gDpi > 0 ? gDpi : SystemDpi();
}

void SetDpiOfNewWindows(int dpi) {
    gDpiOfNewWindows = dpi;
}

int Scale(int value) {
    return MulDiv(value, Dpi(), 96);
}

int Unscale(int value) {
    return MulDiv(value, 96, Dpi());
}

}  // namespace win32

using namespace win32;

bool OpenWindow(int window, std::u16string_view title, int clientWidth, int clientHeight) {
    if (window != kMainWindow || gMainWindow) return false;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterMainClass()) return false;

    // Made at the system DPI, then laid out at the DPI of the display it opens on, before
    // anything is in it: so the first paint has the right size.
    gDpi = SystemDpi();
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto centred = [&](SIZE size) {
        return POINT{work.left + (work.right - work.left - size.cx) / 2,
                     work.top + (work.bottom - work.top - size.cy) / 2};
    };
    SIZE size = FrameSizeFor(clientWidth, clientHeight);
    const POINT at = centred(size);

    const std::u16string caption(title);
    gMinClientWidth = gMinClientHeight = 0;
    gMainWindow =
        CreateWindowExW(kMainExStyle, kMainClass, W(caption), kMainStyle, at.x, at.y, size.cx,
                        size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (gMainWindow && DpiOfWindow(gMainWindow) != gDpi) {
        gDpi = DpiOfWindow(gMainWindow);
        size = FrameSizeFor(clientWidth, clientHeight);
        const POINT again = centred(size);
        SetWindowPos(gMainWindow, nullptr, again.x, again.y, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (gMainWindow) DragAcceptFiles(gMainWindow, TRUE);  // a folder from Explorer
    return gMainWindow != nullptr;
}

void CloseWindow(int window) {
    if (window != kMainWindow || !gMainWindow) return;
    DestroyWindow(gMainWindow);
    gMainWindow = nullptr;
    gDpi = 0;
    gLeftFocus = nullptr;
    ForgetControls();
    ForgetMenus();
}

std::vector<std::u16string> DroppedItems() {
    return gDropped;
}

bool WindowExists(int window) {
    return window == kMainWindow && gMainWindow && IsWindow(gMainWindow);
}

void ShowWindow(int window, bool show) {
    if (WindowExists(window)) ::ShowWindow(gMainWindow, show ? SW_SHOW : SW_HIDE);
}

void SetMinimumClientSize(int window, int width, int height) {
    if (!WindowExists(window)) return;
    gMinClientWidth = width;
    gMinClientHeight = height;
}

bool GetClientSize(int window, int* width, int* height) {
    RECT client = {};
    const bool exists = WindowExists(window) && GetClientRect(gMainWindow, &client);
    *width = exists ? Unscale(client.right) : 0;
    *height = exists ? Unscale(client.bottom) : 0;
    return exists;
}

bool GetFrameRect(int window, Rect* frame) {
    RECT outer = {};
    if (!WindowExists(window) || !GetWindowRect(gMainWindow, &outer)) return false;
    *frame = {Unscale(outer.left), Unscale(outer.top), Unscale(outer.right - outer.left),
              Unscale(outer.bottom - outer.top)};
    return true;
}

void PlaceWindow(int window, int x, int y, int clientWidth, int clientHeight) {
    if (!WindowExists(window)) return;
    if (IsZoomed(gMainWindow) || IsIconic(gMainWindow)) ::ShowWindow(gMainWindow, SW_RESTORE);
    const SIZE size = FrameSizeFor(clientWidth, clientHeight);
    SetWindowPos(gMainWindow, nullptr, Scale(x), Scale(y), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

intptr_t WindowNativeHandle(int window) {
    return WindowExists(window) ? reinterpret_cast<intptr_t>(gMainWindow) : 0;
}

void InvalidateWindow(int window) {
    if (WindowExists(window)) InvalidateRect(gMainWindow, nullptr, TRUE);
}

int EnumerateDisplays() {
    gDisplays.clear();
    EnumDisplayMonitors(nullptr, nullptr, CollectDisplay, 0);
    return static_cast<int>(gDisplays.size());
}

bool DisplaySize(int index, int* width, int* height) {
    if (gDisplays.empty()) EnumerateDisplays();
    if (index < 0 || index >= static_cast<int>(gDisplays.size())) {
        *width = *height = 0;
        return false;
    }
    const RECT& area = gDisplays[static_cast<size_t>(index)].area;
    *width = Unscale(area.right - area.left);
    *height = Unscale(area.bottom - area.top);
    return true;
}

}  // namespace platform

}  // namespace spurlese

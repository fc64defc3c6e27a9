// The main window: a plain top-level window with the dialog face colour, sized by its client
// area and centred on the primary display's work area.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

namespace platform {

namespace win32 {

namespace {

constexpr wchar_t kMainClass[] = L"SpurleseMainWindow";
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

HWND gMainWindow = nullptr;

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Closing is the program's decision, made in its event loop.
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
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND MainWindowHandle() {
    return gMainWindow;
}

int Scale(int value) {
    static int dpi = 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (dpi <= 0) dpi = 96;
    }
    return MulDiv(value, dpi, 96);
}

}  // namespace win32

using namespace win32;

bool OpenWindow(int window, std::u16string_view title, int clientWidth, int clientHeight) {
    if (window != kMainWindow || gMainWindow) return false;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterMainClass()) return false;

    RECT frame = {0, 0, Scale(clientWidth), Scale(clientHeight)};
    AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;

    const std::u16string caption(title);
    gMainWindow = CreateWindowExW(0, kMainClass, W(caption), kMainStyle, x, y, width, height,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return gMainWindow != nullptr;
}

void CloseWindow(int window) {
    if (window != kMainWindow || !gMainWindow) return;
    DestroyWindow(gMainWindow);
    gMainWindow = nullptr;
    ForgetControls();
}

bool WindowExists(int window) {
    return window == kMainWindow && gMainWindow && IsWindow(gMainWindow);
}

void ShowWindow(int window, bool show) {
    if (WindowExists(window)) ::ShowWindow(gMainWindow, show ? SW_SHOW : SW_HIDE);
}

}  // namespace platform

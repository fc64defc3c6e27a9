// Creating the numbered controls and the operations every kind shares. The control id of each
// native window is its number.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <richedit.h>

#include <array>

namespace spurlese {

namespace platform {

namespace win32 {

namespace {

constexpr wchar_t kContainerClass[] = L"SpurleseContainer";

struct Control {
    HWND hwnd = nullptr;
    ControlKind kind = ControlKind::Label;
};
std::array<Control, kMaxControl + 1> gControls;

// A container is a borderless child that hands its children's notifications to its own
// parent, so the program sees every control's activity at the main window.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_VSCROLL:
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterContainerClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kContainerClass, &wc)) return true;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kContainerClass;
    return RegisterClassExW(&wc) != 0;
}

// The rich-edit class lives in msftedit.dll, which Windows does not load by itself. From the
// system folder only: a file of that name beside the program must never be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Windows without the search flags: the full path of the system folder's copy.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

bool LoadRichEdit() {
    static HMODULE module = LoadSystemLibrary(L"msftedit.dll");
    return module != nullptr;
}

struct NativeClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeClass NativeClassOf(const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::Container:
            return {kContainerClass, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
        case ControlKind::Frame:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::PushButton:
            return {L"BUTTON",
                    (spec.splitButton ? BS_SPLITBUTTON : BS_PUSHBUTTON) | WS_TABSTOP |
                        (spec.captionLeft ? BS_LEFT : 0u),
                    0};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::Slider:
            return {TRACKBAR_CLASSW, TBS_HORZ | WS_TABSTOP | (spec.tickMarks ? TBS_AUTOTICKS : 0u),
                    0};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
        case ControlKind::TextDisplay:
            return {MSFTEDIT_CLASS,
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ImageButton:
            return {L"BUTTON", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP, 0};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

HWND ControlHandle(int control) {
    if (control < 1 || control > kMaxControl) return nullptr;
    HWND hwnd = gControls[control].hwnd;
    return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

ControlKind KindOf(int control) {
    return ControlHandle(control) ? gControls[control].kind : ControlKind::Label;
}

void ForgetControls() {
    gControls.fill(Control{});
}

}  // namespace win32

using namespace win32;

bool CreateControl(const ControlSpec& spec) {
    HWND main = MainWindowHandle();
    if (!main || spec.number < 1 || spec.number > kMaxControl) return false;
    if (ControlHandle(spec.number)) return false;
    HWND parent = main;
    if (spec.parent != 0) {
        parent = ControlHandle(spec.parent);
        if (!parent || KindOf(spec.parent) != ControlKind::Container) return false;
    }
    if (spec.kind == ControlKind::Container && !RegisterContainerClass()) return false;
    if (spec.kind == ControlKind::TextDisplay && !LoadRichEdit()) return false;

    const NativeClass native = NativeClassOf(spec);
    const std::u16string caption = spec.caption;
    HWND hwnd = CreateWindowExW(native.exStyle, native.className, W(caption),
                                WS_CHILD | WS_VISIBLE | native.style, Scale(spec.x), Scale(spec.y),
                                Scale(spec.width), Scale(spec.height), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.number)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    if (spec.kind == ControlKind::TextDisplay) {
        // No length limit: the default of 32 767 characters would silently drop hits.
        SendMessageW(hwnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        // Read-only: nothing to undo, so no undo records for every appended line.
        SendMessageW(hwnd, EM_SETUNDOLIMIT, 0, 0);
        AttachDisplayBehaviour(hwnd);
    }
    gControls[spec.number] = {hwnd, spec.kind};
    return true;
}

bool FocusControl(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
    if (!MainWindowActive()) {
        // The user works in another window: the focus is this control's when they come back.
        SetFocusOnReturn(hwnd);
        return true;
    }
    SetFocus(hwnd);
    return GetFocus() == hwnd;
}

int FocusedControl() {
    HWND focus = MainWindowActive() ? GetFocus() : FocusOnReturn();
    if (!focus) return 0;
    const int control = GetDlgCtrlID(focus);
    return ControlHandle(control) == focus ? control : 0;
}

bool ControlExists(int control) {
    return ControlHandle(control) != nullptr;
}

std::u16string GetCaption(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return {};
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    const int length = GetWindowTextW(hwnd, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

void SetCaption(int control, std::u16string_view caption) {
    if (HWND hwnd = ControlHandle(control)) SetWindowTextW(hwnd, W(std::u16string(caption)));
}

void EnableControl(int control, bool enable) {
    if (HWND hwnd = ControlHandle(control)) EnableWindow(hwnd, enable);
}

void ShowControl(int control, bool show) {
    if (HWND hwnd = ControlHandle(control)) ::ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
}

bool IsControlEnabled(int control) {
    HWND main = MainWindowHandle();
    for (HWND hwnd = ControlHandle(control); hwnd && hwnd != main; hwnd = GetParent(hwnd)) {
        if (!IsWindowEnabled(hwnd)) return false;
    }
    return ControlHandle(control) != nullptr;
}

Rect GetControlRect(int control) {
    HWND hwnd = ControlHandle(control);
    RECT at = {};
    if (!hwnd || !GetWindowRect(hwnd, &at)) return {};
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&at), 2);
    return {Unscale(at.left), Unscale(at.top), Unscale(at.right - at.left),
            Unscale(at.bottom - at.top)};
}

void MoveControl(int control, int x, int y, int width, int height) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    RECT at = {};
    GetWindowRect(hwnd, &at);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&at), 2);
    const int left = x == kKeep ? at.left : Scale(x);
    const int top = y == kKeep ? at.top : Scale(y);
    const int wide = width == kKeep ? at.right - at.left : Scale(width);
    const int high = height == kKeep ? at.bottom - at.top : Scale(height);
    SetWindowPos(hwnd, nullptr, left, top, wide, high, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsControlVisible(int control) {
    HWND hwnd = ControlHandle(control);
    return hwnd && IsWindowVisible(hwnd);
}

}  // namespace platform

}  // namespace spurlese

// Shared between the files of the Win32 platform only.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <objbase.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/owners.h"
#include "platform/platform.h"

namespace spurlese {

namespace platform::win32 {

// Native strings: wchar_t is 16 bits wide on Windows, so the units are the same.
inline const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string U(const wchar_t* text, size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// Native handles are owned by the platform's one owner (platform/owners.h), in the spirit of
// SumatraPDF's ScopedWin.h. Windows says "no handle" with null or INVALID_HANDLE_VALUE.
inline bool NoNativeHandle(HANDLE handle) {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}
template <typename Interface>
void ReleaseInterface(Interface* object) {
    object->Release();
}
using OwnedHandle = Owner<HANDLE, &CloseHandle, &NoNativeHandle>;  // files, pipes, processes
using OwnedFind = Owner<HANDLE, &FindClose, &NoNativeHandle>;      // a folder listing
using OwnedIcon = Owner<HICON, &DestroyIcon>;
using OwnedGdiObject = Owner<HGDIOBJ, &DeleteObject>;  // fonts, bitmaps
using OwnedMenu = Owner<HMENU, &DestroyMenu>;          // a popup menu
// A COM object, released when it goes.
template <typename Interface>
using ComPtr = Owner<Interface*, &ReleaseInterface<Interface>>;
// Memory the shell hands out with CoTaskMemAlloc (item lists, paths).
template <typename T>
using CoTaskMemPtr = Owner<T*, &CoTaskMemFree>;

// The screen's device context, for as long as it is needed.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// COM on this thread for the scope; a thread that has it already just counts up.
class ComScope {
public:
    ComScope()
        : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// The platform's handle types carry native handles here.
template <typename Handle>
Handle HandleOf(void* native) {
    return Handle{reinterpret_cast<intptr_t>(native)};
}
template <typename Native, typename Handle>
Native NativeOf(Handle handle) {
    return reinterpret_cast<Native>(static_cast<intptr_t>(handle));
}

HWND MainWindowHandle();
// While another window is active, the focus the main window gets back when it is active again.
bool MainWindowActive();
HWND FocusOnReturn();
void SetFocusOnReturn(HWND control);
// The control's window and kind; nullptr for a number that names no control.
HWND ControlHandle(int control);
ControlKind KindOf(int control);
void ForgetControls();

// 96-DPI units to device pixels of the window's DPI (that of the display it opened on, until
// Windows moves it to a display of another scale), and back. SystemDpi is what the default GUI
// font was made for.
int Dpi();
int SystemDpi();
// For tests: the DPI the next window finds on its display, as Wine has one display only; 0 asks
// Windows.
void SetDpiOfNewWindows(int dpi);
// The default GUI font at the window's DPI.
HGDIOBJ DefaultGuiFont();
int Scale(int value);
int Unscale(int value);

// A text display's own keyboard (dialog navigation, Ctrl+A, Ctrl+C) and its copy menu.
void AttachDisplayBehaviour(HWND display);
// The line (paragraph, from 0) of a display at its insertion point, and Enter on it.
int64_t LineAtCaret(HWND display);

// The program's items of a control's menu (menus.cpp): added to a popup menu with ids from
// `firstId`; a chosen one becomes a kMenuCommand event (false for an id that is none of them).
void AppendProgramItems(HMENU menu, int control, UINT firstId);
bool TakeProgramItem(int control, UINT chosen, UINT firstId, int64_t line);
// A split button's menu, opened below it.
void OpenButtonMenu(int control);
void ForgetMenus();

// Every path goes to Windows through NativePath: in its long form where it is long.
std::u16string NativePath(std::u16string_view path);
// A Windows error code in the system's words.
FileError ErrorOf(DWORD code);
// Ends the copies still under way, and lets go of the taskbar (ReleasePlatform).
void StopCopies();
void ForgetTaskbar();

// Waits for the processes asked to start, and ends the thread that starts them.
void StopStartingProcesses();

// Fonts, tooltips and images made for the window, released with it.
void ReleaseWindowResources();

}  // namespace platform::win32

}  // namespace spurlese

// What the controls wear: their own fonts, the one shared tooltip window, and icon images for
// the image buttons. All of it lives until the window is released.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <map>
#include <utility>
#include <vector>

namespace spurlese {

namespace platform {

namespace win32 {

namespace {

// One font per face and pixel height, shared by every control that wears it.
std::map<std::pair<std::u16string, int>, OwnedGdiObject> gFonts;
std::vector<OwnedIcon> gIcons;
HWND gTooltip = nullptr;

HWND Tooltip() {
    if (gTooltip && IsWindow(gTooltip)) return gTooltip;
    // Plain rectangular tips (no balloons), also while the window is inactive, and an ampersand
    // shown as it is.
    gTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, MainWindowHandle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (gTooltip) {
        SetWindowPos(gTooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return gTooltip;
}

TOOLINFOW ToolOf(HWND control) {
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

}  // namespace

HGDIOBJ DefaultGuiFont() {
    HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    if (Dpi() == SystemDpi()) return stock;
    // Windows made the stock font for the system DPI; on a display of another scale it is made
    // again from its description.
    LOGFONTW description = {};
    if (!GetObjectW(stock, sizeof(description), &description)) return stock;
    description.lfHeight = MulDiv(description.lfHeight, Dpi(), SystemDpi());
    OwnedGdiObject& cached = gFonts[{u"", description.lfHeight}];
    if (!cached) cached = OwnedGdiObject(CreateFontIndirectW(&description));
    return cached ? cached.Get() : stock;
}

void ReleaseWindowResources() {
    if (gTooltip && IsWindow(gTooltip)) DestroyWindow(gTooltip);
    gTooltip = nullptr;
    gFonts.clear();
    gIcons.clear();
}

}  // namespace win32

using namespace win32;

void SetControlFont(int control, std::u16string_view face, int points) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    HGDIOBJ font = DefaultGuiFont();
    if (!face.empty()) {
        const std::pair<std::u16string, int> key(face, -MulDiv(points, Dpi(), 72));
        OwnedGdiObject& cached = gFonts[key];
        if (!static_cast<bool>(cached)) {
            cached = OwnedGdiObject(CreateFontW(key.second, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                                CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                                DEFAULT_PITCH | FF_DONTCARE, W(key.first)));
        }
        if (!static_cast<bool>(cached)) return;
        font = cached.Get();
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

FontInfo GetControlFont(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return {};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    if (!font || font == GetStockObject(DEFAULT_GUI_FONT)) return {};
    for (const auto& [key, made] : gFonts) {
        if (key.first.empty() && made.Get() == font) return {};  // the default, scaled
    }
    LOGFONTW description = {};
    if (!GetObjectW(font, sizeof(description), &description)) return {};
    const int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    return {U(description.lfFaceName, wcslen(description.lfFaceName)), MulDiv(height, 72, Dpi())};
}

void SetTooltip(int control, std::u16string_view text) {
    HWND hwnd = ControlHandle(control);
    HWND tooltip = Tooltip();
    if (!hwnd || !tooltip) return;
    TOOLINFOW tool = ToolOf(hwnd);
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    std::u16string copy(text);
    tool.lpszText = const_cast<wchar_t*>(W(copy));
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::u16string GetTooltip(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd || !gTooltip) return {};
    wchar_t buffer[256] = {};
    TOOLINFOW tool = ToolOf(hwnd);
    tool.lpszText = buffer;
    SendMessageW(gTooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return U(buffer, wcslen(buffer));
}

ImageHandle CreateIconImage(std::string_view picture, int width, int height) {
    HICON icon = CreateIconFromResourceEx(
        reinterpret_cast<PBYTE>(const_cast<char*>(picture.data())),
        static_cast<DWORD>(picture.size()), TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
    if (!icon) return ImageHandle::kNone;
    gIcons.emplace_back(icon);
    return HandleOf<ImageHandle>(icon);
}

bool DescribeImage(ImageHandle image, ImageInfo* info) {
    ICONINFO parts = {};
    if (image == ImageHandle::kNone || !GetIconInfo(NativeOf<HICON>(image), &parts)) return false;
    BITMAP colour = {};
    // GetIconInfo hands out copies of the icon's bitmaps.
    const OwnedGdiObject colourBits(parts.hbmColor), maskBits(parts.hbmMask);
    const bool known = parts.hbmColor && GetObjectW(parts.hbmColor, sizeof(colour), &colour);
    if (!known) return false;
    *info = {static_cast<int>(colour.bmWidth), static_cast<int>(colour.bmHeight),
             static_cast<int>(colour.bmBitsPixel)};
    return true;
}

void SetButtonImage(int control, ImageHandle image) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd || KindOf(control) != ControlKind::ImageButton) return;
    // A push button shows its one image both normal and pressed.
    SendMessageW(hwnd, BM_SETIMAGE, IMAGE_ICON, static_cast<LPARAM>(image));
}

ImageHandle GetButtonImage(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return ImageHandle::kNone;
    return ImageHandle{SendMessageW(hwnd, BM_GETIMAGE, IMAGE_ICON, 0)};
}

}  // namespace platform

}  // namespace spurlese

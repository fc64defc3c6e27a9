// What only the Win32 build can show: the native classes and ids behind the numbered controls,
// and that the in-memory lower-case table agrees with Windows on every UTF-16 unit.
#ifndef UNICODE
#define UNICODE
#endif
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <richedit.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/headless/lower_case_table.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/main_window.h"

namespace spurlese {

namespace {

using platform::win32::ControlHandle;

bool SameClass(const wchar_t* expected, HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return lstrcmpiW(expected, name) == 0;
}

using NativeControlsTest = WindowTest;

TEST_F(NativeControlsTest, ControlIdsAreControlNumbers) {
    for (int n = 1; n <= ctl::kCount; ++n) {
        ASSERT_NE(nullptr, ControlHandle(n)) << n;
        EXPECT_EQ(n, GetDlgCtrlID(ControlHandle(n))) << n;
    }
    EXPECT_EQ(platform::win32::MainWindowHandle(), GetParent(ControlHandle(ctl::SettingsPage)));
    EXPECT_EQ(ControlHandle(ctl::SettingsPage), GetParent(ControlHandle(ctl::SettingsHelpButton)));
    EXPECT_EQ(ControlHandle(ctl::ResultsPage), GetParent(ControlHandle(ctl::HitsText)));
}

// Fonts are made once per face and size: every control that wears one shares the same object.
TEST_F(NativeControlsTest, ControlsOfOneFaceAndSizeShareOneFont) {
    std::map<std::pair<std::u16string, int>, std::set<WPARAM>> fonts;
    size_t wearers = 0;
    for (int n = 1; n <= ctl::kCount; ++n) {
        const platform::FontInfo font = platform::GetControlFont(n);
        if (font.face.empty()) continue;
        fonts[{font.face, font.points}].insert(SendMessageW(ControlHandle(n), WM_GETFONT, 0, 0));
        ++wearers;
    }
    EXPECT_LT(fonts.size(), wearers);  // some controls share a face and size
    for (const auto& [key, objects] : fonts) EXPECT_EQ(1u, objects.size()) << key.second;
}

TEST_F(NativeControlsTest, NativeClassesAndStyles) {
    // Class names are matched without regard to letter case, as Windows does.
    EXPECT_TRUE(SameClass(L"RICHEDIT50W", ControlHandle(ctl::InfoText)));
    EXPECT_TRUE(SameClass(L"RICHEDIT50W", ControlHandle(ctl::HitsText)));
    EXPECT_TRUE(SameClass(TRACKBAR_CLASSW, ControlHandle(ctl::MinLengthSlider)));
    EXPECT_TRUE(SameClass(PROGRESS_CLASSW, ControlHandle(ctl::ScanProgress)));

    const LONG_PTR edit = GetWindowLongPtrW(ControlHandle(ctl::HitsText), GWL_STYLE);
    EXPECT_TRUE(edit & ES_READONLY);
    EXPECT_TRUE(edit & ES_MULTILINE);
    EXPECT_FALSE(edit & ES_AUTOHSCROLL) << "long lines wrap";
    EXPECT_GE(SendMessageW(ControlHandle(ctl::HitsText), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    EXPECT_TRUE(GetWindowLongPtrW(ControlHandle(ctl::ScanProgress), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_TRUE(GetWindowLongPtrW(ControlHandle(ctl::MinLengthSlider), GWL_STYLE) & TBS_AUTOTICKS);
}

TEST_F(NativeControlsTest, ManifestAsksForCommonControlsVersion6) {
    HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, manifest) << "the manifest is embedded as resource 1";
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
    const std::string xml(text, SizeofResource(nullptr, manifest));
    EXPECT_NE(std::string::npos, xml.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, xml.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, xml.find("<dpiAware"));

    // The comctl32 loaded is then the side-by-side version 6 assembly, not the system's v5.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(nullptr, comctl);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    CharLowerW(path);
    EXPECT_NE(nullptr, wcsstr(path, L"microsoft.windows.common-controls")) << path;
    EXPECT_NE(nullptr, wcsstr(path, L"_6.0.")) << path;
}

TEST_F(NativeControlsTest, ContainersPassNotificationsToTheMainWindow) {
    static UINT seen = 0;
    static WPARAM seenParam = 0;
    HWND main = platform::win32::MainWindowHandle();
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(main, GWLP_WNDPROC));
    static WNDPROC chained = original;
    chained = original;
    SetWindowLongPtrW(
        main, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_COMMAND) {
                seen = m;
                seenParam = w;
            }
            return CallWindowProcW(chained, h, m, w, l);
        }));
    SendMessageW(ControlHandle(ctl::ApplyFilterButton), BM_CLICK, 0, 0);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), seen);
    EXPECT_EQ(ctl::ApplyFilterButton, LOWORD(seenParam));
    EXPECT_EQ(BN_CLICKED, HIWORD(seenParam));
    SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

int FontHeight(HWND hwnd) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

// Wine has one display, so a display of 150 % is told to the window as it opens: it is laid out
// at that DPI from the first paint, the default GUI font included, while its client area keeps
// its size in 96-DPI units.
TEST(WindowDpiTest, WindowOpensAtTheDpiOfItsDisplay) {
    testsupport::ResetForTest();
    const int stockHeight = [] {
        LOGFONTW font = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        return font.lfHeight;
    }();
    platform::win32::SetDpiOfNewWindows(144);
    const bool opened = OpenMainWindow();
    platform::win32::SetDpiOfNewWindows(0);
    ASSERT_TRUE(opened);
    int count = 0;
    for (const ControlRow* row = MainWindowControls(&count); count-- > 0; ++row) {
        const platform::ControlSpec& spec = row->spec;
        HWND hwnd = ControlHandle(spec.number);
        RECT at = {};
        GetWindowRect(hwnd, &at);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(MulDiv(spec.x, 144, 96), at.left) << spec.number;
        EXPECT_EQ(MulDiv(spec.width, 144, 96), at.right - at.left) << spec.number;
        EXPECT_EQ(MulDiv(spec.height, 144, 96), at.bottom - at.top) << spec.number;
        const int expected = row->fontPoints
                                 ? -MulDiv(row->fontPoints, 144, 72)
                                 : MulDiv(stockHeight, 144, platform::win32::SystemDpi());
        // Containers, the slider and the progress bar show no text; a rich edit has a character
        // format instead.
        if (spec.kind != platform::ControlKind::Container &&
            spec.kind != platform::ControlKind::Slider &&
            spec.kind != platform::ControlKind::ProgressBar &&
            spec.kind != platform::ControlKind::TextDisplay) {
            EXPECT_EQ(expected, FontHeight(hwnd)) << spec.number;
        }
    }
    RECT client = {};
    GetClientRect(platform::win32::MainWindowHandle(), &client);
    EXPECT_EQ(852, client.right);
    EXPECT_EQ(600, client.bottom);
    int width = 0, height = 0;
    platform::GetClientSize(platform::kMainWindow, &width, &height);
    EXPECT_EQ(568, width);
    EXPECT_EQ(400, height);
    platform::CloseWindow(platform::kMainWindow);
}

TEST(LowerCaseTableTest, AgreesWithCharLowerBuffWOnEveryUnit) {
    std::u16string all(0x10000, u'\0');
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<char16_t>(i);
    const std::u16string windows = platform::LowerCase(all);
    int differences = 0;
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        char16_t table = static_cast<char16_t>(unit);
        for (const auto& run : platform::kLowerCaseRuns) {
            if (unit >= run.first && unit <= run.last && (unit - run.first) % run.step == 0) {
                table = static_cast<char16_t>(unit + run.delta);
            }
        }
        if (table != windows[unit] && ++differences <= 20) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(unit) << ": table "
                          << static_cast<unsigned>(table) << ", Windows "
                          << static_cast<unsigned>(windows[unit]);
        }
    }
    EXPECT_EQ(0, differences);
}

}  // namespace

}  // namespace spurlese

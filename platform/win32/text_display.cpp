// The text displays are RICHEDIT50W controls. Rich edit keeps paragraphs with a bare CR inside;
// the program reads and writes lines separated by CR LF.
#include "platform/win32/win32_internal.h"

#include <richedit.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <string>

#include "platform/event_queue.h"

namespace spurlese {

namespace platform {

namespace win32 {

namespace {

constexpr UINT kCopyCommand = 1;
constexpr UINT kSelectAllCommand = 2;
constexpr UINT kFirstProgramItem = 100;

// The line (paragraph, from 0) that holds the character: the paragraph breaks before it counted.
int64_t LineOfCharacter(HWND display, LONG character) {
    if (character <= 0) return 0;
    std::wstring text(static_cast<size_t>(character) + 1, L'\0');
    TEXTRANGEW range = {{0, character}, text.data()};
    const LRESULT copied =
        SendMessageW(display, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return std::count(text.begin(), text.begin() + std::max<LRESULT>(copied, 0), L'\r');
}

int64_t LineAtPoint(HWND display, POINT screen) {
    POINTL at = {screen.x, screen.y};
    ScreenToClient(display, reinterpret_cast<POINT*>(&at));
    const LRESULT character =
        SendMessageW(display, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at));
    return LineOfCharacter(display, static_cast<LONG>(character));
}

// The menu of a display: "Kopieren" (greyed without a selection) and "Alles markieren", then the
// program's items for the line under it; at the mouse, or at the insertion point when asked from
// the keyboard (Shift+F10, the menu key).
void ShowCopyMenu(HWND display, LPARAM at) {
    POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    CHARRANGE selection = {};
    SendMessageW(display, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    int64_t line = -1;
    if (point.x == -1 && point.y == -1) {
        POINTL caret = {};
        SendMessageW(display, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), selection.cpMax);
        RECT area = {};
        GetClientRect(display, &area);
        point = {std::clamp<LONG>(caret.x, 0, area.right),
                 std::clamp<LONG>(caret.y, 0, area.bottom)};
        ClientToScreen(display, &point);
        line = LineAtCaret(display);
    } else {
        line = LineAtPoint(display, point);
    }
    const OwnedMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuW(menu.Get(), MF_STRING | (selection.cpMin == selection.cpMax ? MF_GRAYED : 0),
                kCopyCommand, L"Kopieren");
    AppendMenuW(menu.Get(), MF_STRING, kSelectAllCommand, L"Alles markieren");
    const int control = GetDlgCtrlID(display);
    if (!GetControlMenu(control).empty()) {
        AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendProgramItems(menu.Get(), control, kFirstProgramItem);
    }
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         point.x, point.y, 0, display, nullptr));
    if (chosen == kCopyCommand) SendMessageW(display, WM_COPY, 0, 0);
    if (chosen == kSelectAllCommand) {
        CHARRANGE all = {0, -1};
        SendMessageW(display, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    }
    TakeProgramItem(control, chosen, kFirstProgramItem, line);
}

LRESULT CALLBACK DisplayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
        case WM_GETDLGCODE:
            // Read-only: Tab, Enter and Escape belong to the window's keyboard navigation, as in
            // a dialog; the arrows and Ctrl+A, Ctrl+C stay with the display.
            return DefSubclassProc(hwnd, message, wParam, lParam) &
                   ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        case WM_CONTEXTMENU:
            ShowCopyMenu(hwnd, lParam);
            return 0;
        case WM_LBUTTONDBLCLK: {
            // The control selects the word first, as it does; then the line is the program's.
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &at);
            events::Push(
                {kLineActivated, GetDlgCtrlID(hwnd), kMainWindow, 0, LineAtPoint(hwnd, at)});
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, DisplayProc, 0);
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void AttachDisplayBehaviour(HWND display) {
    SetWindowSubclass(display, DisplayProc, 0, 0);
}

int64_t LineAtCaret(HWND display) {
    CHARRANGE selection = {};
    SendMessageW(display, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return LineOfCharacter(display, selection.cpMin);
}

}  // namespace win32

using namespace win32;

namespace {

HWND TextDisplay(int control) {
    HWND hwnd = ControlHandle(control);
    return hwnd && KindOf(control) == ControlKind::TextDisplay ? hwnd : nullptr;
}

// Length in the control's own units (a paragraph break counts once).
LONG CharCount(HWND hwnd) {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(
        SendMessageW(hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

}  // namespace

void AppendLine(int control, std::u16string_view text) {
    HWND hwnd = TextDisplay(control);
    if (!hwnd) return;
    const bool hasText = CharCount(hwnd) > 0;
    // A position past the end stands for the end.
    CHARRANGE caret = {LONG_MAX, LONG_MAX};
    SendMessageW(hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    // Rich edit ends a paragraph with a bare CR; CR LF and LF inside the text become one too
    // (left as they are, "\r\r\n" would read as a soft line break).
    std::u16string insert = hasText ? u"\r" : u"";
    insert.reserve(insert.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        insert.push_back(text[i] == u'\n' ? u'\r' : text[i]);
    }
    // Drawn once afterwards, not while the text grows: a visible display otherwise repaints
    // during every insertion. Many lines go in as pieces of a few hundred paragraphs: Wine's
    // rich edit takes twice as long for 30 000 lines inserted at once as for the same lines in
    // pieces (measured), and the caret stays at the end between them.
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    constexpr size_t kParagraphsPerPiece = 500;
    size_t begin = 0;
    while (begin < insert.size()) {
        size_t end = begin, paragraphs = 0;
        while (end < insert.size() && paragraphs < kParagraphsPerPiece) {
            if (insert[end++] == u'\r') ++paragraphs;
        }
        const std::u16string piece = insert.substr(begin, end - begin);
        SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(W(piece)));
        begin = end;
    }
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ScrollToInsertionPoint(int control) {
    if (HWND hwnd = TextDisplay(control)) SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

void ClearText(int control) {
    if (HWND hwnd = TextDisplay(control)) SetWindowTextW(hwnd, L"");
}

int64_t TextLength(int control) {
    HWND hwnd = TextDisplay(control);
    if (!hwnd) return 0;
    GETTEXTLENGTHEX query = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    return SendMessageW(hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
}

std::u16string GetText(int control) {
    HWND hwnd = TextDisplay(control);
    if (!hwnd) return {};
    GETTEXTLENGTHEX query = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length =
        SendMessageW(hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    if (length <= 0) return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    const LRESULT copied = SendMessageW(hwnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace platform

}  // namespace spurlese

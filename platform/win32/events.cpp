// The program's events on Windows: the window procedures queue them, WaitEvent runs the message
// loop until one is there. Size-changed callbacks run inside the WM_SIZE handling, so controls
// follow the border while the user drags it.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include "platform/event_queue.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// Hands one message on as the window's keyboard expects it.
void Handle(MSG* message) {
    // Alt+Down or F4 on a split button opens its menu, as on its arrow.
    if ((message->message == WM_SYSKEYDOWN && message->wParam == VK_DOWN) ||
        (message->message == WM_KEYDOWN && message->wParam == VK_F4)) {
        const int control = GetDlgCtrlID(message->hwnd);
        if (ControlHandle(control) == message->hwnd &&
            (GetWindowLongW(message->hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_SPLITBUTTON) {
            OpenButtonMenu(control);
            return;
        }
    }
    // Tab, Shift+Tab, Space, Enter, Escape and the arrow keys work as in any dialog.
    HWND main = MainWindowHandle();
    if (main && IsDialogMessageW(main, message)) return;
    TranslateMessage(message);
    DispatchMessageW(message);
}

}  // namespace

void WaitEvent(Event* event) {
    while (events::Empty()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT or a broken queue: nothing more will come, so the window is as good as
            // closed.
            *event = {kCloseRequest, 0, kMainWindow};
            return;
        }
        Handle(&message);
    }
    events::Take(event);
}

bool PollEvent(Event* event) {
    MSG message;
    while (events::Empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the event loop
            events::Push({kCloseRequest, 0, kMainWindow});
            break;
        }
        Handle(&message);
    }
    return events::Take(event);
}

bool DropPendingEvent() {
    Event dropped;
    if (events::Take(&dropped)) return true;
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        // Keep the quit for the event loop.
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

}  // namespace platform

}  // namespace spurlese

// The program's events on Windows: the window procedures queue them, WaitEvent runs the message
// loop until one is there. Size-changed callbacks run inside the WM_SIZE handling, so controls
// follow the border while the user drags it.
#include "platform/win32/win32_internal.h"

#include <deque>
#include <vector>

namespace platform {

namespace win32 {

namespace {

struct Binding {
    int eventNumber = 0;
    EventCallback callback = nullptr;
};

std::deque<Event> gQueue;
std::vector<Binding> gBindings;

void RunCallbacks(const Event& event) {
    // The binding made last runs first.
    for (auto it = gBindings.rbegin(); it != gBindings.rend(); ++it) {
        if (it->eventNumber == event.number) it->callback(event);
    }
}

}  // namespace

void PushEvent(const Event& event) {
    gQueue.push_back(event);
}

void RaiseSizeChanged(int window) {
    const Event event{kSizeChanged, 0, window};
    RunCallbacks(event);
    for (auto it = gQueue.begin(); it != gQueue.end();) {
        it = (it->number == kSizeChanged && it->window == window) ? gQueue.erase(it) : it + 1;
    }
    gQueue.push_back(event);
}

void ForgetEvents() {
    gQueue.clear();
    gBindings.clear();
}

}  // namespace win32

using namespace win32;

void WaitEvent(Event* event) {
    while (gQueue.empty()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT or a broken queue: nothing more will come, so the window is as good as
            // closed.
            *event = {kCloseRequest, 0, kMainWindow};
            return;
        }
        // Tab, Shift+Tab, Space and the arrow keys work as in any dialog.
        HWND main = MainWindowHandle();
        if (main && IsDialogMessageW(main, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    *event = gQueue.front();
    gQueue.pop_front();
}

void BindEvent(int eventNumber, EventCallback callback) {
    if (callback) gBindings.push_back({eventNumber, callback});
}

bool DropPendingEvent() {
    if (!gQueue.empty()) {
        gQueue.pop_front();
        return true;
    }
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

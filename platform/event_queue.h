// The program's event queue and event bindings, the same on every platform: each platform's
// window handling feeds it, WaitEvent takes from it.
#pragma once

#include "platform/platform.h"

namespace spurlese {

namespace platform::events {

void Push(const Event& event);
// Runs the size-changed callbacks at once (the binding made last first), then queues the
// event in place of one of the same window that is still waiting.
void RaiseSizeChanged(int window);
// Runs the session-ending callbacks at once, then queues a close request for the main window.
void RaiseSessionEnding();
bool Empty();
// The oldest event; false when there is none.
bool Take(Event* event);
// Forgets the waiting events, and the bindings too when asked.
void Clear(bool bindings);

}  // namespace platform::events

}  // namespace spurlese

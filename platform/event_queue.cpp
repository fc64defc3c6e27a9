#include "platform/event_queue.h"

#include <deque>
#include <vector>

namespace spurlese {

namespace platform {

namespace {

struct Binding {
    EventKind kind = kNone;
    EventCallback callback = nullptr;
};

std::deque<Event> gQueue;
std::vector<Binding> gBindings;

}  // namespace

void BindEvent(EventKind kind, EventCallback callback) {
    if (callback) gBindings.push_back({kind, callback});
}

namespace events {

void Push(const Event& event) {
    gQueue.push_back(event);
}

namespace {

// The callbacks bound to the event, the one bound last first.
void RunCallbacks(const Event& event) {
    for (auto it = gBindings.rbegin(); it != gBindings.rend(); ++it) {
        if (it->kind == event.number) it->callback(event);
    }
}

}  // namespace

void RaiseSessionEnding() {
    RunCallbacks({kSessionEnding, 0, kMainWindow});
    gQueue.push_back({kCloseRequest, 0, kMainWindow});
}

void RaiseSizeChanged(int window) {
    const Event event{kSizeChanged, 0, window};
    RunCallbacks(event);
    for (auto it = gQueue.begin(); it != gQueue.end();) {
        it = (it->number == kSizeChanged && it->window == window) ? gQueue.erase(it) : it + 1;
    }
    gQueue.push_back(event);
}

bool Empty() {
    return gQueue.empty();
}

bool Take(Event* event) {
    if (gQueue.empty()) return false;
    *event = gQueue.front();
    gQueue.pop_front();
    return true;
}

void Clear(bool bindings) {
    gQueue.clear();
    if (bindings) gBindings.clear();
}

}  // namespace events

}  // namespace platform

}  // namespace spurlese

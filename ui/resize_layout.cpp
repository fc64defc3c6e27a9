#include "ui/resize_layout.h"

#include <vector>

#include "ui/controls.h"

namespace spurlese {

namespace {

std::vector<AnchorWindowRecord> gAnchorWindows;
std::vector<AnchorRecord> gAnchors;

template <typename Record, typename Same>
void ReplaceOrAppend(std::vector<Record>* list, const Record& record, Same same) {
    for (Record& existing : *list) {
        if (same(existing)) {
            existing = record;
            return;
        }
    }
    list->push_back(record);
}

void Relayout(const AnchorWindowRecord& windowRecord) {
    const int window = static_cast<int>(windowRecord.window);
    int width = 0, height = 0;
    platform::GetClientSize(window, &width, &height);
    const int64_t w = width, h = height;
    using platform::kKeep;
    for (const AnchorRecord& a : gAnchors) {
        const int control = static_cast<int>(a.control);
        if (a.window != windowRecord.window || !platform::ControlExists(control)) continue;
        // One move per flag, each leaving the other three values alone.
        if (a.flags & kXFollows) {
            platform::MoveControl(control, static_cast<int>(w - a.rightDistance), kKeep, kKeep,
                                  kKeep);
        }
        if (a.flags & kYFollows) {
            platform::MoveControl(control, kKeep, static_cast<int>(h - a.bottomDistance), kKeep,
                                  kKeep);
        }
        if (a.flags & kWidthFollows) {
            platform::MoveControl(control, kKeep, kKeep,
                                  static_cast<int>(w - a.referenceClientWidth + a.referenceWidth),
                                  kKeep);
        }
        if (a.flags & kHeightFollows) {
            platform::MoveControl(
                control, kKeep, kKeep, kKeep,
                static_cast<int>(h - a.referenceClientHeight + a.referenceHeight));
        }
    }
}

}  // namespace

void RegisterAnchorWindow(int64_t window) {
    platform::Rect frame;
    platform::GetFrameRect(static_cast<int>(window), &frame);
    const AnchorWindowRecord record{window, frame.width, frame.height};
    ReplaceOrAppend(&gAnchorWindows, record,
                    [window](const AnchorWindowRecord& r) { return r.window == window; });
}

void RegisterAnchor(int64_t window, int64_t control, int64_t flags) {
    int clientWidth = 0, clientHeight = 0;
    platform::GetClientSize(static_cast<int>(window), &clientWidth, &clientHeight);
    const platform::Rect at = platform::GetControlRect(static_cast<int>(control));
    AnchorRecord record;
    record.flags = flags;
    record.window = window;
    record.control = control;
    record.rightDistance = clientWidth - at.x;
    record.bottomDistance = clientHeight - at.y;
    record.referenceWidth = at.width;
    record.referenceHeight = at.height;
    record.referenceClientWidth = clientWidth;
    record.referenceClientHeight = clientHeight;
    ReplaceOrAppend(&gAnchors, record,
                    [control](const AnchorRecord& r) { return r.control == control; });
}

void RelayoutWindow(intptr_t nativeHandle) {
    int window = 0;
    for (const AnchorWindowRecord& record : gAnchorWindows) {
        const int number = static_cast<int>(record.window);
        if (!platform::WindowExists(number) ||
            platform::WindowNativeHandle(number) != nativeHandle) {
            continue;
        }
        Relayout(record);
        window = number;
        break;
    }
    // Repaint also when no record matched: the background may show old pixels.
    if (window == 0) {
        for (int number = 1; number <= platform::kMainWindow; ++number) {
            if (platform::WindowNativeHandle(number) == nativeHandle) window = number;
        }
    }
    if (window != 0) platform::InvalidateWindow(window);
}

void CentreApplyButton() {
    int width = 0, height = 0;
    if (!platform::GetClientSize(platform::kMainWindow, &width, &height)) return;
    const platform::Rect button = platform::GetControlRect(ctl::ApplyFilterButton);
    platform::MoveControl(ctl::ApplyFilterButton, (width - button.width) / 2, platform::kKeep,
                          platform::kKeep, platform::kKeep);
}

void OnSizeChangedRelayout(const platform::Event& event) {
    RelayoutWindow(platform::WindowNativeHandle(event.window));
}

void OnSizeChangedCentre(const platform::Event&) {
    CentreApplyButton();
}

void ResetAnchors() {
    gAnchorWindows.clear();
    gAnchors.clear();
}

}  // namespace spurlese

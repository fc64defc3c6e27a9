// State and range of check boxes, the trackbar and the progress bar. Trackbar ranges are set
// one end at a time (TBM_SETRANGE would pack both ends into 16 bits); the trackbar pulls its
// position into the range itself.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <algorithm>

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// Native controls hold 32-bit integers.
LPARAM Narrow(int64_t value) {
    return static_cast<LPARAM>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int64_t ProgressEnd(HWND hwnd, bool low) {
    return static_cast<int>(SendMessageW(hwnd, PBM_GETRANGE, low ? TRUE : FALSE, 0));
}

void SetProgressRange(HWND hwnd, int64_t low, int64_t high) {
    SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(Narrow(low)), Narrow(high));
}

}  // namespace

int64_t GetState(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return 0;
    switch (KindOf(control)) {
        case ControlKind::CheckBox:
            return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        case ControlKind::Slider:
            return static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0));
        case ControlKind::ProgressBar:
            return static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0));
        default:
            return 0;
    }
}

void SetState(int control, int64_t value) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    switch (KindOf(control)) {
        case ControlKind::CheckBox:
            SendMessageW(hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ControlKind::Slider:
            SendMessageW(hwnd, TBM_SETPOS, TRUE, Narrow(value));
            break;
        case ControlKind::ProgressBar:
            SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(Narrow(value)), 0);
            break;
        default:
            break;
    }
}

void SetMinimum(int control, int64_t value) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    if (KindOf(control) == ControlKind::Slider) {
        SendMessageW(hwnd, TBM_SETRANGEMIN, TRUE, Narrow(value));
    } else if (KindOf(control) == ControlKind::ProgressBar) {
        SetProgressRange(hwnd, value, std::max(value, ProgressEnd(hwnd, false)));
    }
}

void SetMaximum(int control, int64_t value) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    if (KindOf(control) == ControlKind::Slider) {
        SendMessageW(hwnd, TBM_SETRANGEMAX, TRUE, Narrow(value));
    } else if (KindOf(control) == ControlKind::ProgressBar) {
        SetProgressRange(hwnd, std::min(value, ProgressEnd(hwnd, true)), value);
    }
}

int64_t GetMinimum(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return 0;
    if (KindOf(control) == ControlKind::Slider) {
        return static_cast<int>(SendMessageW(hwnd, TBM_GETRANGEMIN, 0, 0));
    }
    return KindOf(control) == ControlKind::ProgressBar ? ProgressEnd(hwnd, true) : 0;
}

int64_t GetMaximum(int control) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return 0;
    if (KindOf(control) == ControlKind::Slider) {
        return static_cast<int>(SendMessageW(hwnd, TBM_GETRANGEMAX, 0, 0));
    }
    return KindOf(control) == ControlKind::ProgressBar ? ProgressEnd(hwnd, false) : 0;
}

}  // namespace platform

}  // namespace spurlese

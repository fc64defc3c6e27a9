#include "results_page/progress.h"

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// What the bar and the taskbar show.
struct Shown {
    int64_t total = -1;  // the bar's range is 0..total; -1: not set by this view
    int64_t done = 0;
    int64_t perMille = -1;  // the taskbar is told only when this changes
};
Shown gShown;

void TellTaskbar() {
    const int64_t perMille = gShown.total > 0 ? gShown.done * 1000 / gShown.total : 0;
    if (perMille == gShown.perMille) return;
    gShown.perMille = perMille;
    platform::SetTaskbarProgress(platform::TaskbarState::kNormal, perMille, 1000);
}

}  // namespace

void ShowProgress(int64_t done, int64_t total) {
    const bool newTotal = total != gShown.total;
    if (newTotal) {
        if (gShown.total < 0) platform::SetMinimum(ctl::ScanProgress, 0);
        platform::SetMaximum(ctl::ScanProgress, total);
        gShown.total = total;
    }
    if (newTotal || done != gShown.done) platform::SetState(ctl::ScanProgress, done);
    gShown.done = done;
    TellTaskbar();
}

void EndProgress(bool failed) {
    if (gShown.total >= 0 && gShown.done != gShown.total) {
        platform::SetState(ctl::ScanProgress, gShown.total);
        gShown.done = gShown.total;
    }
    gShown.perMille = -1;
    if (failed) {
        platform::SetTaskbarProgress(platform::TaskbarState::kError, 1000, 1000);
    } else {
        platform::SetTaskbarProgress(platform::TaskbarState::kNone, 0, 0);
    }
}

void ResetProgress() {
    gShown = Shown();
}

}  // namespace spurlese

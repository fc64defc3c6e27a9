#include "scan/progress.h"

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// The taskbar is told only when its picture changes: a thousandth of the bar or more.
int64_t gShownPerMille = -1;

void TellTaskbar(int64_t done, int64_t total) {
    const int64_t perMille = total > 0 ? done * 1000 / total : 0;
    if (perMille == gShownPerMille) return;
    gShownPerMille = perMille;
    platform::SetTaskbarProgress(platform::TaskbarState::kNormal, perMille, 1000);
}

}  // namespace

void BeginProgress(int64_t total) {
    platform::SetMinimum(ctl::ScanProgress, 0);
    platform::SetMaximum(ctl::ScanProgress, total);
    gShownPerMille = -1;
    TellTaskbar(0, total);
}

void ShowProgress(int64_t done) {
    platform::SetState(ctl::ScanProgress, done);
    TellTaskbar(done, platform::GetMaximum(ctl::ScanProgress));
}

void ShowProgress(int64_t done, int64_t total) {
    if (platform::GetMaximum(ctl::ScanProgress) != total)
        platform::SetMaximum(ctl::ScanProgress, total);
    ShowProgress(done);
}

void EndProgress(bool failed) {
    const int64_t full = platform::GetMaximum(ctl::ScanProgress);
    if (platform::GetState(ctl::ScanProgress) != full) platform::SetState(ctl::ScanProgress, full);
    gShownPerMille = -1;
    if (failed) {
        platform::SetTaskbarProgress(platform::TaskbarState::kError, 1000, 1000);
    } else {
        platform::SetTaskbarProgress(platform::TaskbarState::kNone, 0, 0);
    }
}

}  // namespace spurlese

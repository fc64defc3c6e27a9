// The progress bar of the results page and, with it, the program's taskbar button, so that the
// progress of a scan, the archive's walk or a copy shows also while the window is covered. The
// view keeps what it shows; it never reads the bar back.
#pragma once

#include <cstdint>

namespace spurlese {

// Done so far of `total` steps: a new total (a task begins, or a walk finds more folders) sets
// the bar's range.
void ShowProgress(int64_t done, int64_t total);
// The bar full; the taskbar button plain again, or red after a task with failures, until the next
// task begins.
void EndProgress(bool failed = false);

// As a new window starts: nothing shown yet.
void ResetProgress();

}  // namespace spurlese

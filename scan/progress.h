// The progress bar of the results page and, with it, the program's taskbar button, so that the
// progress of a scan, the archive's walk or a copy shows also while the window is covered.
#pragma once

#include <cstdint>

namespace spurlese {

// A task of `total` steps begins; the bar moves with the first ShowProgress.
void BeginProgress(int64_t total);
// Done so far; a total that grows (a walk finds more folders) is given again.
void ShowProgress(int64_t done);
void ShowProgress(int64_t done, int64_t total);
// The bar full; the taskbar button plain again, or red after a task with failures, until the next
// task begins.
void EndProgress(bool failed = false);

}  // namespace spurlese

// The one loop that keeps the window alive during long work: the scan, the archive's walk, the
// copy. Between steps of the work it shows the gathered lines now and then, lets the window
// repaint and move, and takes the user's events, by one rule per kind of work:
// - a scan drops every event (a click or a close request during a scan is lost);
// - a walk or a copy asks, on the close box or Escape, whether to stop; everything else waits
//   until the work is over and is dropped.
#pragma once

#include "scan/scan_report.h"

namespace spurlese {

enum class BusyWork { kScan, kWalk, kCopy, kOverview };

// What the user asked for while the work ran.
struct BusyRequests {
    bool stop = false;  // stop the work
    bool quit = false;  // ... and end the program: the close box was agreed to
};

void KeepWindowAlive(BusyWork work, BusyRequests* requests);

// A report that shows the scan's or walk's lines and progress on the results page and keeps the
// window alive by the work's rule; `requests` lives as long as the report.
ScanReport ReportOnResultsPage(BusyWork work, BusyRequests* requests);

}  // namespace spurlese

// The results page as the program's work sees it: "Informationen" (control 16) and "Treffer"
// (control 19) with what each of their lines stands for, the progress bar with the taskbar
// button, "Ergebnis speichern", and the busy loop that keeps the window alive during long work.
// The program owns one for its window and hands it to each long action (the scan, the archive's
// walk, the copy, the overview's thumbnails); nothing else holds the page's state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/work_report.h"
#include "scan/scan_report.h"

namespace spurlese {

// The kinds of long work, each with its rule for the user's events while it runs:
// - a scan drops every event (a click or a close request during a scan is lost);
// - a walk, a copy, a tidy-up (setting aside, putting back) or the overview's thumbnails ask, on
//   the close box or Escape, whether to stop; everything else waits until the work is over and is
//   dropped.
enum class BusyWork { kScan, kWalk, kCopy, kTidy, kOverview };

// What the user asked for while the work ran.
struct BusyRequests {
    bool stop = false;  // stop the work
    bool quit = false;  // ... and end the program: the close box was agreed to
};

class ResultsPage {
public:
    ResultsPage();

    // ---- The displays ----
    // Appends the text as the display's new last line and scrolls it into view; the line stands
    // for the target. False, and nothing happens, while the main window does not exist.
    bool Info(std::u16string_view text, LineTarget target = {});
    bool Hit(std::u16string_view text, LineTarget target = {});
    // What the display's line (from 0) stands for; kNone for a line without a target or no line.
    LineTarget TargetOfLine(int control, int64_t line);
    // Empties "Treffer", as every scan starts.
    void ClearHits();
    // What "Treffer" shows, line by line.
    std::u16string HitsText();

    // ---- Long work ----
    // During long work the window repaints only when its events are taken, so lines are gathered
    // and handed to the displays in one piece right before that; what the displays hold afterwards
    // is exactly what line-by-line appends would have left. Appending to a rich edit control costs
    // far more than the scan itself, and each insertion, whatever its size, costs milliseconds
    // more: under Wine 16,000 lines took 5.9 s in pieces of 10 lines, 1.9 s in pieces of 160 or
    // more. "Ergebnis speichern" is disabled meanwhile.
    void BeginWork();
    // The work's report: progress on the bar and the taskbar button, and between its steps the
    // busy loop by the kind's rule; `requests` lives as long as the report.
    WorkReport Report(BusyWork work, BusyRequests* requests);
    // The same with the scan's lines, for the scan and the archive's walk.
    ScanReport ScanReportFor(BusyWork work, BusyRequests* requests);
    // Gathered lines shown, the bar full and the taskbar plain (red after work with failures),
    // "Ergebnis speichern" enabled again.
    void EndWork(bool failed = false);
    // What was gathered shows now.
    void ShowNow();

    // Done so far of `total` steps: a new total (a task begins, or a walk finds more folders) sets
    // the bar's range.
    void ShowProgress(int64_t done, int64_t total);
    // The bar full; the taskbar button plain again, or red after a task with failures, until the
    // next task begins.
    void EndProgress(bool failed = false);
    // Shows what was gathered at most twice a second, lets the window repaint and move, and takes
    // the user's events by the work's rule.
    void KeepWindowAlive(BusyWork work, BusyRequests* requests);

private:
    // A display as the program has filled it, so that nothing needs reading back from the control.
    struct Display {
        explicit Display(int number) : control(number) {}
        int control;
        intptr_t window = 0;   // the window whose display this is: a new window starts empty
        bool hasText = false;  // the control holds text (an empty first line leaves none)
        std::vector<std::u16string> pending;  // gathered lines not yet in the control
        // The lines as they will be once the pending ones are in, and what they stand for.
        int64_t lines = 0;
        std::unordered_map<int64_t, LineTarget> targets;
    };
    // What the bar and the taskbar show.
    struct Shown {
        int64_t total = -1;  // the bar's range is 0..total; -1: not set yet
        int64_t done = 0;
        int64_t perMille = -1;  // the taskbar is told only when this changes
    };

    Display& Current(Display* display);
    void Flush(Display* display);
    bool AddLine(Display* display, std::u16string_view text, LineTarget target);
    void FlushNowAndThen();
    void TellTaskbar();

    Display info_;
    Display hits_;
    bool batching_ = false;
    int64_t lastFlush_ = 0;
    Shown shown_;
};

}  // namespace spurlese

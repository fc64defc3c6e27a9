// The two growing text displays of the results page, as views with their own state:
// "Informationen" (the info log, control 16) and "Treffer" (the hit list, control 19).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan_report.h"

namespace spurlese {

// Appends the text as the display's new last line and scrolls it into view; the line stands for
// the target. False, and nothing happens, while the main window does not exist.
bool AddInfoLine(std::u16string_view text, LineTarget target = {});
bool AddHitLine(std::u16string_view text, LineTarget target = {});

// What the display's line (from 0) stands for; kNone for a line without a target or no line.
LineTarget TargetOfLine(int control, int64_t line);

// Empties "Treffer", as every scan starts.
void ClearHitList();

// Asks the display to scroll its insertion point into view.
void ScrollToCaret(int control);

// During long work the window repaints only when its events are taken, so lines are gathered and
// handed to the displays in one piece right before that (FlushDisplayLines); what the displays
// hold afterwards is exactly what line-by-line appends would have left. Appending to a rich edit
// control costs far more than the scan itself, and each insertion, whatever its size, costs
// milliseconds more: under Wine 16,000 lines took 5.9 s in pieces of 10 lines, 1.9 s in pieces of
// 160 or more.
void BeginDisplayBatch();
void FlushDisplayLines();
// Flushes when the last flush is half a second ago: a visible display repaints after every flush,
// and a repaint costs more than the lines in it.
void FlushDisplayLinesNowAndThen();
void EndDisplayBatch();  // flushes

// Both displays' state as a new window starts: empty, nothing gathered, no batch.
void ResetDisplays();

}  // namespace spurlese

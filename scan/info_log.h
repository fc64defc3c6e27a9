// The two growing text displays of a scan: "Informationen" (the info log, control 16) and
// "Treffer" (the hit list, control 19).
#pragma once

#include <cstdint>
#include <string_view>

namespace spurlese {

// Appends the text as the display's new last line and scrolls it into view. False, and nothing
// happens, while the main window does not exist.
bool AddInfoLine(std::u16string_view text);
bool AddHitLine(std::u16string_view text);

// Empties "Treffer", as every scan starts.
void ClearHitList();

// Asks the display to scroll its insertion point into view.
void ScrollToCaret(int control);

// During a scan the window repaints only when events are pumped, so lines are gathered and
// handed to the displays in one piece right before that (FlushDisplayLines); what the displays
// hold afterwards is exactly what line-by-line appends would have left. Appending to a rich edit
// control costs far more than the scan itself, and each insertion, whatever its size, costs
// milliseconds more: under Wine 16,000 lines took 5.9 s in pieces of 10 lines, 1.9 s in pieces of
// 160 or more.
void BeginDisplayBatch();
void FlushDisplayLines();
// Flushes when the last flush is a quarter of a second ago: a visible display repaints after every
// flush, and a repaint costs more than the lines in it.
void FlushDisplayLinesNowAndThen();
void EndDisplayBatch();  // flushes

}  // namespace spurlese

// The two growing text displays of a scan: "Informationen" (the info log, control 16) and
// "Treffer" (the hit list, control 19).
#pragma once

#include <string_view>

namespace spurlese {

// Appends the text as the display's new last line and scrolls it into view. False, and nothing
// happens, while the main window does not exist.
bool AddInfoLine(std::u16string_view text);
bool AddHitLine(std::u16string_view text);

// Asks the display to scroll its insertion point into view.
void ScrollToCaret(int control);

// During a scan the window repaints only when events are pumped, so lines are gathered and
// handed to the displays in one piece right before that (FlushDisplayLines); what the displays
// hold afterwards is exactly what line-by-line appends would have left. Appending to a rich
// edit control one line at a time costs far more than the scan itself.
void BeginDisplayBatch();
void FlushDisplayLines();
// Flushes when the last flush is half a second ago: a visible display repaints on
// every flush, and a repaint costs more than the lines in it.
void FlushDisplayLinesNowAndThen();
void EndDisplayBatch();  // flushes

}  // namespace spurlese

// The two growing text displays of a scan: "Informationen" (the info log, control 16) and
// "Treffer" (the hit list, control 19).
#pragma once

#include <string_view>

// Appends the text as the display's new last line and scrolls it into view. False, and nothing
// happens, while the main window does not exist.
bool AddInfoLine(std::u16string_view text);
bool AddHitLine(std::u16string_view text);

// Asks the display to scroll its insertion point into view.
void ScrollToCaret(int control);

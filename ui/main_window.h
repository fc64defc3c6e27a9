#pragma once

#include "platform/platform.h"

namespace spurlese {

// Creates the main window with all 22 controls at their start states, their fonts and tooltips,
// records their anchors and shows the window with the settings page. True on success; false
// when the window itself cannot be created, and then no control exists.
bool OpenMainWindow();

// A split button is wider than its caption's room by its arrow's part: "Ergebnis speichern" keeps
// the 150 units the caption always had, and the arrow gets these beside it.
constexpr int kSplitArrowWidth = 22;

// The value label next to the slider shows the slider's position.
void ShowMinLength();

// The creation table: one row per control, in creation order.
struct ControlRow {
    platform::ControlSpec spec;
    int fontPoints = 0;  // Segoe UI at this size; 0 keeps the default GUI font
    const char16_t* tooltip = nullptr;
};
const ControlRow* MainWindowControls(int* count);

}  // namespace spurlese

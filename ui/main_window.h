#pragma once

#include "platform/platform.h"

namespace spurlese {

// Creates the main window with all 22 controls at their start states, their fonts and tooltips,
// records their anchors and shows the window with the settings page. True on success; false
// when the window itself cannot be created, and then no control exists.
bool OpenMainWindow();

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

// Controls that follow the main window's size. Each anchored control is recorded once, with the
// geometry it and its window have at that moment; every later size is applied relative to that
// reference, never to the control's current geometry.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace spurlese {

enum AnchorFlags : int64_t {
    kHeightFollows = 1,  // height changes by as much as the client height
    kWidthFollows = 2,   // width changes by as much as the client width
    kYFollows = 4,       // keeps its distance to the bottom edge
    kXFollows = 8,       // keeps its distance to the right edge
};

struct AnchorWindowRecord {
    int64_t window = 0;
    int64_t outerWidth = 0, outerHeight = 0;  // recorded, not consulted
};

struct AnchorRecord {
    int64_t flags = 0;
    int64_t window = 0;
    int64_t control = 0;
    int64_t rightDistance = 0;   // reference client width - x
    int64_t bottomDistance = 0;  // reference client height - y
    int64_t referenceWidth = 0, referenceHeight = 0;
    int64_t referenceClientWidth = 0, referenceClientHeight = 0;
};

// Record (or re-record in place) a window / a control with its current geometry.
void RegisterAnchorWindow(int64_t window);
void RegisterAnchor(int64_t window, int64_t control, int64_t flags);

// Applies the anchors of the window with this native handle to its current client size, then
// repaints it.
void RelayoutWindow(intptr_t nativeHandle);

// Keeps "Filter anwenden" centred in the main window.
void CentreApplyButton();

// The two size-changed callbacks the program binds.
void OnSizeChangedRelayout(const platform::Event& event);
void OnSizeChangedCentre(const platform::Event& event);

void ResetAnchors();

}  // namespace spurlese

// The program's entry and its only event loop. This is the one place that ties the subsystems
// together (window, settings, scan, start-up checks and export); none of them knows another
// through it, and the build gives no other file all of them (see CMakeLists.txt).
#pragma once

namespace spurlese {

// Runs the program from start to close; returns the process exit code (0). A missing extractor
// ends the process with 999 during the start instead.
int RunProgram();

// What a control event does, by the number of the control that raised it.
void DispatchControlEvent(int control);

// The items of the results page's menus (the arrow of "Ergebnis speichern", the context menus of
// "Treffer" and "Informationen"), by their commands.
namespace menu {
enum Command : int {
    kSaveHitList = 1,
    kSaveCrossReference,
    kSaveUnusedFiles,
    kShowInFolder,
    kCopyUsedFiles,
};
}  // namespace menu

// Empties every list the program keeps (page table, anchors, scan records) for a new start.
void ResetProgramLists();

}  // namespace spurlese

// The program's entry and its only event loop. This is the one place that ties the subsystems
// together (window, settings, scan, results page, the lists and the copy); none of them knows
// another through it, and the build gives no other file all of them (see CMakeLists.txt).
#pragma once

#include <optional>

#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

// Runs the program from start to close; returns the process exit code (0). A missing extractor
// ends the process with 999 during the start instead.
int RunProgram();

// What "Filter anwenden" scans with, read from the window once: the captions of "MPH
// Verzeichnis" and of the base path, the two hit options, and the run's settings.
ScanInputs ReadScanInputs();

// A scan as "Filter anwenden" runs it: "Treffer" emptied, "Filter anwenden" disabled while it
// runs, its lines and progress on the results page, the window's events dropped. The record of a
// scan that could not run is none.
std::optional<ScanRecord> ScanOnResultsPage(ResultsPage* page, const ScanInputs& inputs);

// The items of the results page's menus (the arrow of "Ergebnis speichern", the context menus of
// "Treffer" and "Informationen"), by their commands.
namespace menu {
enum Command : int {
    kSaveHitList = 1,
    kSaveCrossReference,
    kSaveUnusedFiles,
    kShowInFolder,
    kCopyUsedFiles,
    kSaveOverview,
    kSaveDuplicates,
    kSetAsideDuplicates,
    kSetAsideUnused,
    kPutBack,
};
}  // namespace menu

// Empties every list the program keeps (page table, anchors, settings) for a new start; the
// results page is RunProgram's own.
void ResetProgramLists();

}  // namespace spurlese

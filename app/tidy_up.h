// "Aufräumen": the two acts the lists are for, and their undo. "Doppelte Kopien beiseitelegen…"
// sets aside the copies of the duplicates list that no show uses and whose identical twin stays;
// "Nicht verwendete Dateien beiseitelegen…" the files of the unused list (a live photo's video
// stays with its used picture). Both run only on a scan that saw every show and an archive as the
// scan saw it, ask first, and go by default into a folder beside the base path on its drive, with
// the list of where each file went (tidy/set_aside.h). "Beiseitegelegtes zurücklegen…" puts a
// whole tidy-up back in one step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

// The folder a tidy-up's folder goes in by default, beside the archive: the base path's parent;
// none for a drive's root or a share's ("\\server" is no folder to make one in).
std::u16string_view FolderBesideArchive(std::u16string_view basePath);

// The folder a tidy-up goes to, named after the base path and the day:
// "Familienbilder Stand Juni 2022 – beiseitegelegt 2026-12-09".
std::u16string AsideFolderName(std::u16string_view basePath, int64_t now);

// True when the user closed the window during the work and agreed to stop: the program ends.
bool SetAsideDuplicates(ScanRecord* record, ResultsPage* page);
bool SetAsideUnused(ScanRecord* record, ResultsPage* page);
// `record`: the last scan's, or null; its walk no longer holds once files have moved back.
bool PutBackAside(ScanRecord* record, ResultsPage* page);

}  // namespace spurlese

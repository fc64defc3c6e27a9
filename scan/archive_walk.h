// The scan's one walk of the archive: made when the scan ends with missing files, or when a list
// asks for it later; it serves both.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/archive_index.h"

namespace spurlese {

// The archive of the last scan, walked now unless it was. While it walks, the progress bar
// moves, the window repaints (its events are taken and dropped, as during the scan), and every
// folder that cannot be listed is logged as "Error examining the path '<folder>'"; at the end
// "Informationen" says how many files and folders were walked, and how long it took.
const archive::ArchiveIndex& WalkArchiveOnce();

// For each of MissingMediaFiles(), the archive files of the same name, the most likely first
// (archive/candidates.h); made with the walk.
const std::vector<std::vector<uint32_t>>& MissingCandidates();

}  // namespace spurlese

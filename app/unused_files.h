// What no project uses: the archive's media files that no hit of the scan is.
#pragma once

#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "scan/scan_state.h"

namespace spurlese {

// A first line with the counts, then every media file of the archive that none of the hits
// names, sorted as Explorer sorts. A video beside a used picture with the same name stem in the
// same folder (a phone's live photo, IMG_1234.MOV beside IMG_1234.HEIC) is marked as belonging to
// it, so that a clear-up does not break the pair.
std::u16string UnusedFilesText(const archive::ArchiveIndex& index,
                               const std::vector<HitSource>& hits);

}  // namespace spurlese

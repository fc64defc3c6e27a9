// What no project uses: the archive's media files that no hit of the scan is.
#pragma once

#include <string>
#include <vector>

#include "scan/scan_record.h"

namespace spurlese {

// A first line with the counts, then every media file of the record's archive (walked) that no
// hit names, by the hits' identities, sorted as Explorer sorts. A video beside a used picture
// with the same name stem in the same folder (a phone's live photo, IMG_1234.MOV beside
// IMG_1234.HEIC) is marked as belonging to it, so that a clear-up does not break the pair. Hits
// that name no file for certain (a ".." part) follow in a section of their own: they are not
// counted, and a file they may name can stand among the unused.
std::u16string UnusedFilesText(const ScanRecord& record);

}  // namespace spurlese

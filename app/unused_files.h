// What no project uses: the archive's media files that no hit of the scan is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_record.h"

namespace spurlese {

// A first line with the counts, then every media file of the record's archive (walked) that no
// hit names, by the hits' identities, sorted as Explorer sorts. A video beside a used picture
// with the same name stem in the same folder (a phone's live photo, IMG_1234.MOV beside
// IMG_1234.HEIC) is marked as belonging to it, so that a clear-up does not break the pair. Hits
// that name no archive file for certain (a path out of the archive) follow in a section of their
// own: they are not counted, and a file they may name can stand among the unused.
std::u16string UnusedFilesText(const ScanRecord& record);

// The same files one by one, for the list and for setting them aside alike: `each` gets every
// unused file (ArchiveIndex::files) in Explorer's order, with the name of the used picture a
// video belongs to (empty for any other). Returns the counts and the hits that name no archive
// file for certain.
struct UnusedVisit {
    size_t used = 0, unused = 0;
    std::vector<std::u16string> unresolved;
};
using UnusedFileVisitor = std::function<void(uint32_t file, std::u16string_view usedPicture)>;
UnusedVisit VisitUnusedFiles(const ScanRecord& record, const UnusedFileVisitor& each);

// A file the scan found used that the record's walk of the archive does not hold (a folder renamed
// or moved since the scan, one that could not be listed): then the unused list would name files
// that a show uses, and is not made. Empty when the walk holds every used file.
std::u16string UsedFileNotWalked(const ScanRecord& record);

}  // namespace spurlese

// Byte-identical media files of the archive, found as the fastest duplicate finders find them:
// grouped by size first, then by a hash of their first and last 64 KiB, then by a hash of all
// their bytes, each step only for the files still in question. Two names of one file (hard
// links: one volume, one file number) are one file, never a duplicate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "platform/work_report.h"

namespace spurlese::duplicates {

struct DuplicateGroup {
    int64_t size = 0;
    // At least two distinct files, in the walk's order; each as its names in the archive's index
    // (ArchiveIndex::files): one, or all the names of a file with hard links, in the walk's order.
    std::vector<std::vector<uint32_t>> files;
};

enum class SearchOutcome { kDone, kStopped };

struct DuplicateSearch {
    SearchOutcome outcome = SearchOutcome::kDone;
    std::vector<DuplicateGroup> groups;  // by size, the largest first
    // Files that could not be read while they were in question: never counted as duplicates.
    std::vector<uint32_t> unreadable;
};

// `report`: progress in bytes read of all that may have to be read; `busy` between files, false
// stops the search (its outcome kStopped, and nothing else told).
DuplicateSearch FindDuplicates(const archive::ArchiveIndex& index, const WorkReport& report);

}  // namespace spurlese::duplicates

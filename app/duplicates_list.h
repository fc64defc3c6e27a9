// "Doppelte Dateien speichern…": the archive's byte-identical media files, in groups, each copy
// with the shows that use it and the one that would stay by the rule the list states: a used
// copy always stays; when no show uses one, the oldest stays (then the first in Explorer's
// order). Saved as the other lists are, and made only from a record that saw every show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/saving.h"
#include "duplicates/duplicate_files.h"
#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

inline constexpr SaveDialog kDuplicatesDialog = {
    u"Doppelte Dateien speichern", u"Spurlese_Doppelt.txt", u"Textdatei (*.txt)|*.txt", 1};

// A copy of a group: one file, listed by a name the shows use if any does.
struct DuplicateCopy {
    uint32_t file = 0;                  // the name it is listed by (ArchiveIndex::files)
    std::vector<uint32_t> names;        // all its names: more than one for a file with hard links
    std::u16string path, key;           // as the archive writes it; lower-cased
    std::vector<std::u16string> shows;  // the projects that use it under any of its names
    bool stays = false;                 // by the rule
};

// The copies of each group in Explorer's order, with their shows and which stay by the rule.
std::vector<std::vector<DuplicateCopy>> CopiesOfGroups(const ScanRecord& record,
                                                       const duplicates::DuplicateSearch& search);

// The list of the record's walked archive: a head with the counts, the space the copies take
// and what could be freed without any show losing a file, and the rule; then each group; then the
// files that could not be read (named, never counted).
std::u16string DuplicatesText(const ScanRecord& record, const duplicates::DuplicateSearch& search);

// Refused, before the save dialog, as the unused list is (a show not read, the archive not
// there); the archive walked unless it was, and a used file no longer where the scan found it
// refuses it too. The search asks on Escape and the close box; stopped, nothing is saved.
SaveResult SaveDuplicates(ScanRecord* record, ResultsPage* page, BusyRequests* requests);

}  // namespace spurlese

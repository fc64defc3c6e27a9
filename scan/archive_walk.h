// The scan's one walk of the archive: made when a scan ends with missing files, or when a list
// asks for it later; its index and the missing files' candidates go into the scan's record.
#pragma once

#include "scan/scan_record.h"
#include "scan/scan_report.h"

namespace spurlese {

enum class WalkOutcome {
    kWalked,       // the record's archive is walked (now, or before)
    kStopped,      // the user stopped the walk: the record has no archive
    kRefused,      // the base path is empty or not a full path: nothing was walked, and it was said
    kUnreachable,  // the base path is not there (a drive not connected): nothing was walked
};

// Empty while the base path is a folder that can be reached; else why not, for the user: which
// drive or share is not connected or not answering, or that the folder is not on its drive.
std::u16string ArchiveUnreachable(std::u16string_view basePath);

// Walks the record's base path unless it was walked before. While it walks, the progress moves
// and the report's `busy` is asked between folders (false stops the walk); every folder that
// cannot be listed is logged as "Error examining the path '<folder>'"; at the end
// "Informationen" says how many files and folders were walked, and how long it took. The
// candidates of the record's missing files are found with the walk (archive/candidates.h). An
// archive that is not there is never walked as an empty one: kUnreachable, and it is said.
WalkOutcome WalkArchiveOnce(ScanRecord* record, const ScanReport& report);

// "D:\..." or "\\server\share\...": a path that does not depend on the working directory or
// the current drive.
bool IsFullPath(std::u16string_view path);

}  // namespace spurlese

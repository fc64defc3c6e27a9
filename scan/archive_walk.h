// The scan's one walk of the archive: made for a scan that meets missing files, or when a list
// asks for it later; its index and the missing files' candidates go into the scan's record.
#pragma once

#include <memory>

#include "archive/archive_index.h"
#include "platform/owners.h"
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

// A walk of the archive begun on a worker once a scan meets its first missing file, so that it
// goes on while the scan waits for the extractors, and the scan's own thread only takes it at the
// end. Dropped, a walk still under way stops after the folder it is listing.
class EarlyWalk {
public:
    EarlyWalk() = default;
    EarlyWalk(const EarlyWalk&) = delete;
    EarlyWalk& operator=(const EarlyWalk&) = delete;
    ~EarlyWalk();
    // Begins the walk of a base path that is a full path and can be reached now, unless it has
    // begun; none when no worker can start (the scan then walks at the end, as without one).
    void BeginOnce(std::u16string_view basePath);
    // Waits for the walk of `basePath` begun here, the bar showing it and the report's `busy`
    // asked between waits (false stops it), and hands over its index and the folders it could
    // not list; false, and nothing handed over, when no such walk was begun.
    bool Take(std::u16string_view basePath, const ScanReport& report, archive::ArchiveIndex* index,
              std::vector<std::u16string>* unlistable);

private:
    struct State;
    std::shared_ptr<State> state_;
    platform::OwnedWork work_;
};

// Walks the record's base path unless it was walked before. While it walks, the progress moves
// and the report's `busy` is asked between folders (false stops the walk); every folder that
// cannot be listed is logged as "Error examining the path '<folder>'"; at the end
// "Informationen" says how many files and folders were walked, and how long it took. The
// candidates of the record's missing files are found with the walk (archive/candidates.h). An
// archive that is not there is never walked as an empty one: kUnreachable, and it is said. With
// an early walk of the same base path, that walk is waited for (the bar showing it, `busy` asked
// between waits) and taken instead.
WalkOutcome WalkArchiveOnce(ScanRecord* record, const ScanReport& report,
                            EarlyWalk* early = nullptr);

// "D:\..." or "\\server\share\...": a path that does not depend on the working directory or
// the current drive.
bool IsFullPath(std::u16string_view path);

}  // namespace spurlese

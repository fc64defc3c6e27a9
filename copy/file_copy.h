// Copying the archive's files that the projects use into another folder (a stick, a backup
// drive), keeping their folders below the base path. Nothing in the archive is changed. A copy is
// made under a temporary name beside its target and renamed only when it is whole, so an
// interruption never leaves a partial file under a real name; a file that is already there is
// never overwritten.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/work_report.h"

namespace spurlese::copying {

struct CopySource {
    std::u16string path;      // in the archive
    std::u16string relative;  // below the base path: where the copy goes below the target folder
    int64_t size = 0;
    int64_t lastWrite = 0;
};

struct CopyPlan {
    std::u16string targetFolder;  // ends in a backslash
    std::vector<CopySource> files;
    int64_t totalBytes = 0;
    std::vector<std::u16string> gone;     // hits that are no longer there
    std::vector<std::u16string> outside;  // hits that name no archive file: not copied
};

// What of the hits goes into the target folder, each file once, in the order of the hits: every
// one that exists, with the file name as its folder's listing writes it.
CopyPlan PlanCopy(const std::vector<std::u16string>& hits, std::u16string_view basePath,
                  std::u16string_view targetFolder);

// Whether the folder is the base path or lies below it, however it is written or reached (another
// letter case, a short name, a junction).
bool InsideArchive(std::u16string_view folder, std::u16string_view basePath);

// kStopped: the user stopped the copy while this file was under way; it was abandoned.
enum class CopyStatus { kCopied, kAlreadyThere, kConflict, kFailed, kDiskFull, kStopped };
struct FileOutcome {
    CopyStatus status = CopyStatus::kFailed;
    std::u16string target;
    std::u16string reason;  // why it failed, in the system's words
};

// Told while the copy runs: `progress` the bytes of the whole plan done so far, of all its bytes,
// `fileDone` after each file (false stops the copy: no further file is started). `busy` is asked
// before each file is started and at every step of one under way, also while the file before is
// flushed; false stops the copy: the file being written is abandoned (its temporary file removed),
// one already written and being flushed is finished.
struct CopyObserver : WorkReport {
    std::function<bool(const CopySource& source, const FileOutcome& outcome)> fileDone;
};

struct CopySummary {
    int64_t copied = 0, alreadyThere = 0, conflicts = 0, failed = 0;
    int64_t bytes = 0;  // copied now
    bool diskFull = false;
    bool stopped = false;          // by the observer, before the end
    std::vector<size_t> inTarget;  // the plan's files that the target holds now, copied or not
};

// Copies the plan's files one after the other (the next one is copied while the one before is
// flushed to the disk); a failed file is told and the next one follows, a full disk ends the
// copy. Each file is told in the plan's order. A file in the target of the same size and last
// change (within the two seconds a FAT stick rounds to; on FAT and exFAT also exactly an hour
// apart, as local times read across a change to or from summer time) counts as already there;
// any other file or folder of that name is a conflict and stays as it is. A file larger than the
// target's file system takes (FAT32: 4 GiB less a byte) fails alone, with the reason; a source
// that changes while it is copied fails; "disk full" stops the copy only when the target really
// has no room for the file.
CopySummary RunCopy(const CopyPlan& plan, const CopyObserver& observer);

}  // namespace spurlese::copying

// The archive index: every media file under the base path, found in one walk of its folders, with
// what the listing tells of it (size and last change), kept compactly for archives of hundreds of
// thousands of files. Nothing here shows or logs: what the walk meets is told to an observer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/work_report.h"

namespace spurlese::archive {

struct ArchiveFile {
    uint32_t folder = 0;     // index into ArchiveIndex::folders
    uint32_t nameStart = 0;  // the name is names[nameStart, nameStart + nameLength)
    uint32_t nameLength = 0;
    int64_t size = 0;
    int64_t lastWrite = 0;  // as platform::ListingEntry counts it
};

struct ArchiveIndex {
    bool walked = false;
    std::vector<std::u16string> folders;  // full paths, without a final backslash
    std::u16string names;                 // the files' names, one after the other
    std::vector<ArchiveFile> files;       // the media files, in the walk's order
    uint64_t filesWalked = 0;             // every file met, media or not
    uint64_t foldersWalked = 0;           // every folder listed or tried, the base path too
    int64_t milliseconds = 0;

    std::u16string_view Name(const ArchiveFile& file) const {
        return std::u16string_view(names).substr(file.nameStart, file.nameLength);
    }
    std::u16string Path(const ArchiveFile& file) const;
};

// `progress`: after every folder, how many of the base path's own folders are done, of how
// many; `busy` is asked after every folder, false stops the walk.
struct WalkObserver : WorkReport {
    // A folder that cannot be listed (the walk goes on).
    std::function<void(std::u16string_view folder)> unlistable;
};

// Walks the base path and every folder below it, without following a junction or a symbolic
// link (so no folder loop can hold it), and keeps every media file (archive/media_files.h). No
// file is opened. A walk that the observer stops is not `walked`.
ArchiveIndex WalkArchive(std::u16string_view basePath, const WalkObserver& observer);

// The index's folders in the order Explorer lists their files, each folder's subfolders before
// its own files: the first folder's number first.
std::vector<uint32_t> FolderOrder(const ArchiveIndex& index);

}  // namespace spurlese::archive

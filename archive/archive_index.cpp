#include "archive/archive_index.h"

#include <algorithm>

#include "archive/logical_order.h"
#include "archive/media_files.h"

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese::archive {

std::u16string ArchiveIndex::Path(const ArchiveFile& file) const {
    return folders[file.folder] + u"\\" + std::u16string(Name(file));
}

std::vector<uint32_t> FolderOrder(const ArchiveIndex& index) {
    // Each path with a final backslash, so that a folder's own name counts as a folder's.
    std::vector<std::u16string> keys;
    keys.reserve(index.folders.size());
    for (const std::u16string& folder : index.folders)
        keys.push_back(platform::LowerCase(folder) + u"\\");
    std::vector<uint32_t> order(index.folders.size());
    for (uint32_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return LogicalPathCompare(keys[a], keys[b]) < 0; });
    return order;
}

MediaKind MediaKindOf(std::u16string_view name) {
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos || name.size() - dot - 1 > 4) return MediaKind::kNone;
    const std::u16string extension = platform::LowerCase(name.substr(dot + 1));
    for (const MediaExtension& media : kMediaExtensions) {
        if (media.text == extension) return media.kind;
    }
    return MediaKind::kNone;
}

namespace {

// Lists one folder of the walk: its media files go into the index, its folders onto `pending`.
void ListFolder(ArchiveIndex* index, uint32_t folder, const WalkObserver& observer,
                std::vector<uint32_t>* pending) {
    ++index->foldersWalked;
    platform::Listing listing(index->folders[folder], u"*");
    if (!listing.IsOpen() && observer.unlistable) observer.unlistable(index->folders[folder]);
    for (const platform::ListingEntry& entry : listing) {
        if (entry.isDirectory) {
            // A junction or symbolic link is not followed: it may lead back up.
            if (entry.isLink || entry.name == u"." || entry.name == u"..") continue;
            pending->push_back(static_cast<uint32_t>(index->folders.size()));
            index->folders.push_back(index->folders[folder] + u"\\" + entry.name);
            continue;
        }
        ++index->filesWalked;
        if (MediaKindOf(entry.name) == MediaKind::kNone) continue;
        index->files.push_back({folder, static_cast<uint32_t>(index->names.size()),
                                static_cast<uint32_t>(entry.name.size()), entry.size,
                                entry.lastWrite});
        index->names.append(entry.name);
    }
}

}  // namespace

ArchiveIndex WalkArchive(std::u16string_view basePath, const WalkObserver& observer) {
    ArchiveIndex index;
    const int64_t started = platform::MonotonicMilliseconds();
    // Without a final backslash: "D:\" lists as "D:", and paths join with one backslash.
    index.folders.emplace_back(WithoutFinalBackslash(basePath));
    std::vector<uint32_t> top;
    ListFolder(&index, 0, observer, &top);
    // Depth first below each of the base path's own folders, which count the progress.
    std::vector<uint32_t> pending;
    for (size_t done = 0; done < top.size(); ++done) {
        pending.push_back(top[done]);
        while (!pending.empty()) {
            const uint32_t folder = pending.back();
            pending.pop_back();
            ListFolder(&index, folder, observer, &pending);
            observer.Progress(static_cast<int64_t>(done), static_cast<int64_t>(top.size()));
            if (!observer.Busy()) return index;
        }
    }
    observer.Progress(static_cast<int64_t>(top.size()), static_cast<int64_t>(top.size()));
    index.walked = true;
    index.milliseconds = platform::MonotonicMilliseconds() - started;
    return index;
}

}  // namespace spurlese::archive

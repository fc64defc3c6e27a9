#include "copy/file_copy.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese::copying {

namespace {

// FAT keeps last changes in steps of two seconds; Windows counts in steps of 100 ns.
constexpr int64_t kSameTimeSlack = 2 * 10000000;
constexpr int kProgressInterval = 50;  // milliseconds

std::u16string WithBackslash(std::u16string_view folder) {
    std::u16string result(folder);
    if (result.empty() || result.back() != u'\\') result.push_back(u'\\');
    return result;
}

// A path below the base path that stays there: no empty, "." or ".." component, which Windows
// would resolve to somewhere else (a project may name "D:\Archiv\..\Privat\a.jpg").
bool StaysBelow(std::u16string_view relative) {
    size_t from = 0;
    for (;;) {
        const size_t cut = relative.find(u'\\', from);
        const std::u16string_view part = relative.substr(from, cut - from);
        if (part.empty() || part == u"." || part == u"..") return false;
        if (cut == std::u16string_view::npos) return true;
        from = cut + 1;
    }
}

// The file as its folder lists it: the name as written there (the hit has it lower-cased, or as
// a short name), its size and last change. False when it is not there, or is a folder.
bool ListedFile(std::u16string_view path, platform::ListingEntry* found) {
    std::u16string_view folder = FolderPart(path);
    if (folder.size() > 1) folder.remove_suffix(1);
    for (const platform::ListingEntry& entry : platform::Listing(folder, FileNamePart(path))) {
        if (entry.isDirectory) continue;
        *found = entry;
        return true;
    }
    return false;
}

// Makes the folders of `relative` below the target folder that are not there yet.
bool MakeFolders(const std::u16string& targetFolder, std::u16string_view relative) {
    for (size_t cut = relative.find(u'\\'); cut != std::u16string_view::npos;
         cut = relative.find(u'\\', cut + 1)) {
        if (!platform::CreateFolder(targetFolder + std::u16string(relative.substr(0, cut))))
            return false;
    }
    return true;
}

FileOutcome Failure(CopyStatus status, std::u16string target, std::u16string reason) {
    return {status, std::move(target), std::move(reason)};
}

}  // namespace

CopyPlan PlanCopy(const std::vector<std::u16string>& hits, std::u16string_view basePath,
                  std::u16string_view targetFolder) {
    CopyPlan plan;
    plan.targetFolder = WithBackslash(targetFolder);
    const std::u16string prefix = platform::LowerCase(WithBackslash(basePath));
    std::unordered_set<std::u16string> planned;  // lower-cased relative paths
    for (const std::u16string& hit : hits) {
        const std::u16string relative =
            hit.size() > prefix.size() ? hit.substr(prefix.size()) : u"";
        if (platform::LowerCase(hit.substr(0, prefix.size())) != prefix || !StaysBelow(relative)) {
            plan.outside.push_back(hit);
            continue;
        }
        platform::ListingEntry entry;
        if (!ListedFile(hit, &entry)) {
            plan.gone.push_back(hit);
            continue;
        }
        CopySource source{hit, std::u16string(FolderPart(relative)) + entry.name, entry.size,
                          entry.lastWrite};
        if (!planned.insert(platform::LowerCase(source.relative)).second) continue;
        plan.totalBytes += source.size;
        plan.files.push_back(std::move(source));
    }
    return plan;
}

bool InsideArchive(std::u16string_view folder, std::u16string_view basePath) {
    const std::u16string base = WithBackslash(basePath);
    std::u16string path = WithBackslash(folder);
    if (platform::LowerCase(path).rfind(platform::LowerCase(base), 0) == 0) return true;
    // The folder and each folder above it, compared by what they are.
    while (path.size() > 1) {
        path.pop_back();
        if (platform::SameFolder(path, base)) return true;
        const size_t cut = path.find_last_of(u'\\');
        if (cut == std::u16string::npos) break;
        path.resize(cut + 1);
    }
    return false;
}

FileOutcome CopyOneFile(const CopySource& source, std::u16string_view targetFolder,
                        const std::function<void(int64_t copied)>& progress) {
    const std::u16string folder = WithBackslash(targetFolder);
    const std::u16string target = folder + source.relative;
    int64_t size = 0, lastWrite = 0;
    if (platform::FileFacts(target, &size, &lastWrite)) {
        if (size == source.size && std::abs(lastWrite - source.lastWrite) <= kSameTimeSlack)
            return {CopyStatus::kAlreadyThere, target, {}};
        return {CopyStatus::kConflict, target, {}};
    }
    if (platform::FileSize(target) == -2) return {CopyStatus::kConflict, target, {}};
    if (!MakeFolders(folder, source.relative))
        return Failure(CopyStatus::kFailed, target, platform::LastFileError().reason);

    const std::u16string temporary = TemporaryNameFor(target);
    if (platform::FileSize(temporary) >= 0) platform::DeleteFilePath(temporary);
    platform::OwnedCopy copy(platform::StartFileCopy(source.path, temporary));
    if (!copy) return Failure(CopyStatus::kFailed, target, platform::LastFileError().reason);
    int64_t copied = 0;
    while (!platform::WaitFileCopy(copy.Get(), kProgressInterval, &copied)) progress(copied);
    const platform::CopyOutcome outcome = platform::FinishFileCopy(copy.Take());
    progress(outcome.bytes);
    if (!outcome.done) {
        platform::DeleteFilePath(temporary);
        return Failure(outcome.error.kind == platform::FileErrorKind::kDiskFull
                           ? CopyStatus::kDiskFull
                           : CopyStatus::kFailed,
                       target, outcome.error.reason);
    }
    // Whole, as far as the file system tells: as long as the source was when the copy was planned.
    if (!platform::FileFacts(temporary, &size, &lastWrite) || size != outcome.bytes ||
        size != source.size) {
        platform::DeleteFilePath(temporary);
        return Failure(CopyStatus::kFailed, target,
                       u"Die Kopie hat " + Decimal(size) + u" statt " + Decimal(source.size) +
                           u" Bytes; die Datei hat sich beim Kopieren geändert.");
    }
    if (!platform::RenameFile(temporary, target)) {
        const platform::FileError error = platform::LastFileError();
        platform::DeleteFilePath(temporary);
        // Another program may have put a file of that name there meanwhile: it stays.
        if (platform::FileSize(target) != -1) return {CopyStatus::kConflict, target, {}};
        return Failure(CopyStatus::kFailed, target, error.reason);
    }
    return {CopyStatus::kCopied, target, {}};
}

CopySummary RunCopy(const CopyPlan& plan, const CopyObserver& observer) {
    CopySummary summary;
    int64_t before = 0;  // bytes of the plan's files done
    std::unordered_set<std::u16string> cleaned;
    for (size_t k = 0; k < plan.files.size(); ++k) {
        const CopySource& source = plan.files[k];
        // What an ended process of ours left in a folder goes before we write there.
        std::u16string folder = plan.targetFolder + std::u16string(FolderPart(source.relative));
        folder.pop_back();
        if (cleaned.insert(platform::LowerCase(folder)).second && platform::FileSize(folder) == -2)
            RemoveLeftoverFiles(folder);

        const FileOutcome outcome = CopyOneFile(source, plan.targetFolder, [&](int64_t copied) {
            if (observer.progress) observer.progress(before + copied);
        });
        before += source.size;
        switch (outcome.status) {
            case CopyStatus::kCopied:
                ++summary.copied;
                summary.bytes += source.size;
                summary.inTarget.push_back(k);
                break;
            case CopyStatus::kAlreadyThere:
                ++summary.alreadyThere;
                summary.inTarget.push_back(k);
                break;
            case CopyStatus::kConflict:
                ++summary.conflicts;
                break;
            case CopyStatus::kFailed:
            case CopyStatus::kDiskFull:
                ++summary.failed;
                break;
        }
        if (observer.progress) observer.progress(before);
        const bool goOn = !observer.fileDone || observer.fileDone(source, outcome);
        if (outcome.status == CopyStatus::kDiskFull) {
            summary.diskFull = true;
            break;
        }
        if (!goOn) {
            summary.stopped = k + 1 < plan.files.size();
            break;
        }
    }
    return summary;
}

}  // namespace spurlese::copying

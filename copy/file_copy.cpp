#include "copy/file_copy.h"

#include <algorithm>
#include <cstdint>
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
// FAT and exFAT keep local time: read across a change to or from summer time, a copy made before
// seems an hour apart.
constexpr int64_t kOneHour = int64_t{3600} * 10000000;
// The largest file FAT32 (and FAT16) takes.
constexpr int64_t kLargestFatFile = 0xFFFFFFFFLL;
constexpr int kProgressInterval = 50;  // milliseconds

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
    const std::u16string_view folder = WithoutFinalBackslash(FolderPart(path));
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

// What the copy needs to know of the target's file system.
struct TargetVolume {
    bool known = false;
    bool fat = false;        // FAT12, FAT16, FAT32: 4 GiB per file at most
    bool localTime = false;  // FAT and exFAT keep local time
    std::u16string fileSystem;
};

TargetVolume VolumeOf(std::u16string_view folder) {
    platform::VolumeFacts facts;
    if (!platform::QueryVolume(folder, &facts)) return {};
    const std::u16string name = platform::LowerCase(facts.fileSystem);
    const bool fat = name.starts_with(u"fat");
    return {true, fat, fat || name == u"exfat", facts.fileSystem};
}

// Two last changes of one file, as the target's file system may have kept them.
bool SameTime(int64_t a, int64_t b, const TargetVolume& volume) {
    const int64_t apart = std::abs(a - b);
    return apart <= kSameTimeSlack ||
           (volume.localTime && std::abs(apart - kOneHour) <= kSameTimeSlack);
}

}  // namespace

CopyPlan PlanCopy(const std::vector<std::u16string>& hits, std::u16string_view basePath,
                  std::u16string_view targetFolder) {
    CopyPlan plan;
    plan.targetFolder = WithFinalBackslash(targetFolder);
    const std::u16string prefix = platform::LowerCase(WithFinalBackslash(basePath));
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
    const std::u16string base = WithFinalBackslash(basePath);
    std::u16string path = WithFinalBackslash(folder);
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

namespace {

// A file on its way: copied under its temporary name by the platform's thread, which flushes it
// to the disk at its end; renamed only once that thread has ended.
struct Underway {
    std::u16string target, temporary;
    platform::OwnedCopy copy;
    bool abandoned = false;  // cancelled, as the user stopped the copy
};

// Starts the file's copy, or tells why there is none: it is already there, another file has its
// name, or its folder cannot be made. Each slot has a temporary name of its own, so that two
// files of one folder can be under way.
bool StartCopy(const CopySource& source, const std::u16string& folder, const TargetVolume& volume,
               unsigned slot, Underway* underway, FileOutcome* decided) {
    const std::u16string target = folder + source.relative;
    int64_t size = 0, lastWrite = 0;
    if (platform::FileFacts(target, &size, &lastWrite)) {
        const bool same = size == source.size && SameTime(lastWrite, source.lastWrite, volume);
        *decided = {same ? CopyStatus::kAlreadyThere : CopyStatus::kConflict, target, {}};
        return false;
    }
    if (platform::KindOfPath(target) == platform::PathKind::kFolder) {
        *decided = {CopyStatus::kConflict, target, {}};
        return false;
    }
    if (volume.fat && source.size > kLargestFatFile) {
        *decided = Failure(CopyStatus::kFailed, target,
                           u"Die Datei ist mit " + Decimal(source.size) +
                               u" Bytes zu gro\u00DF f\u00FCr das Dateisystem " +
                               volume.fileSystem + u" des Ziels; es nimmt Dateien bis 4 GiB.");
        return false;
    }
    if (!MakeFolders(folder, source.relative)) {
        *decided = Failure(CopyStatus::kFailed, target, platform::LastFileError().reason);
        return false;
    }
    underway->target = target;
    underway->temporary = TemporaryNameFor(target, slot);
    if (platform::KindOfPath(underway->temporary) == platform::PathKind::kFile)
        platform::DeleteFilePath(underway->temporary);
    underway->copy = platform::OwnedCopy(platform::StartFileCopy(source.path, underway->temporary));
    if (!underway->copy) {
        *decided = Failure(CopyStatus::kFailed, target, platform::LastFileError().reason);
        return false;
    }
    return true;
}

// Waits for the copy's thread to end, checks the copy, and gives it its real name.
FileOutcome FinishCopy(const CopySource& source, Underway* underway) {
    const std::u16string& target = underway->target;
    const std::u16string& temporary = underway->temporary;
    const platform::CopyOutcome outcome = platform::FinishFileCopy(underway->copy.Take());
    if (!outcome.done) {
        platform::DeleteFilePath(temporary);
        if (underway->abandoned) return {CopyStatus::kStopped, target, {}};
        // A file system's limit for one file answers as a full disk does: only a target that
        // really has no room for the file stops the copy.
        platform::VolumeFacts facts;
        const bool full =
            outcome.error.kind == platform::FileErrorKind::kDiskFull &&
            !(platform::QueryVolume(FolderPart(target), &facts) && facts.freeBytes > source.size);
        return Failure(full ? CopyStatus::kDiskFull : CopyStatus::kFailed, target,
                       outcome.error.reason);
    }
    // The source as it was planned, after the last read: one rewritten meanwhile, even at the
    // same size, gives no copy under its name.
    int64_t sourceSize = 0, sourceWrite = 0;
    if (!platform::FileFacts(source.path, &sourceSize, &sourceWrite) || sourceSize != source.size ||
        sourceWrite != source.lastWrite) {
        platform::DeleteFilePath(temporary);
        return Failure(CopyStatus::kFailed, target,
                       u"Die Datei wurde w\u00E4hrend des Kopierens ge\u00E4ndert.");
    }
    // Whole, as far as the file system tells: as long as the source was when the copy was planned.
    int64_t size = 0, lastWrite = 0;
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
        if (platform::KindOfPath(target) != platform::PathKind::kNone)
            return {CopyStatus::kConflict, target, {}};
        return Failure(CopyStatus::kFailed, target, error.reason);
    }
    return {CopyStatus::kCopied, target, {}};
}

}  // namespace

CopySummary RunCopy(const CopyPlan& plan, const CopyObserver& observer) {
    CopySummary summary;
    int64_t written = 0;  // bytes of the files whose bytes are all written
    bool stop = false;
    const auto progress = [&](int64_t done) { observer.Progress(done, plan.totalBytes); };
    const TargetVolume volume = VolumeOf(plan.targetFolder);
    const auto tell = [&](size_t k, const FileOutcome& outcome) {
        switch (outcome.status) {
            case CopyStatus::kCopied:
                ++summary.copied;
                summary.bytes += plan.files[k].size;
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
            case CopyStatus::kStopped:
                stop = summary.stopped = true;
                break;
        }
        if (observer.fileDone && !observer.fileDone(plan.files[k], outcome)) stop = true;
        if (outcome.status == CopyStatus::kDiskFull) summary.diskFull = stop = true;
    };
    // The file before, written and being flushed to the disk by its thread while the next one
    // is copied: a flush waits for the disk, and the copy need not wait with it.
    size_t previous = SIZE_MAX;
    Underway previousUnderway;
    const auto settlePrevious = [&] {
        if (previous == SIZE_MAX) return;
        tell(previous, FinishCopy(plan.files[previous], &previousUnderway));
        previous = SIZE_MAX;
    };
    // Waits for the flush in steps, so that the window is not held while the disk works.
    const auto awaitPrevious = [&] {
        int64_t ignored = 0;
        while (previous != SIZE_MAX &&
               !platform::WaitFileCopy(previousUnderway.copy.Get(), kProgressInterval, &ignored)) {
            progress(written);
            if (!observer.Busy()) stop = true;  // after this file: it is written, and is kept
        }
        settlePrevious();
    };
    const auto stopAsked = [&] {
        if (!observer.Busy()) stop = true;
        return stop;
    };
    std::unordered_set<std::u16string> cleaned;
    size_t k = 0;
    for (; k < plan.files.size() && !stopAsked(); ++k) {
        const CopySource& source = plan.files[k];
        // What an ended process of ours left in a folder goes before we write there.
        const std::u16string folder(
            WithoutFinalBackslash(plan.targetFolder + std::u16string(FolderPart(source.relative))));
        if (cleaned.insert(platform::LowerCase(folder)).second &&
            platform::KindOfPath(folder) == platform::PathKind::kFolder)
            RemoveLeftoverFiles(folder);

        Underway underway;
        FileOutcome decided;
        if (!StartCopy(source, plan.targetFolder, volume, static_cast<unsigned>(k % 2), &underway,
                       &decided)) {
            awaitPrevious();
            written += source.size;
            progress(written);
            tell(k, decided);
            continue;
        }
        // Until this file's bytes are written and the file before is flushed and renamed.
        int64_t copied = 0, ignored = 0;
        bool done = false;
        while (!done || previous != SIZE_MAX) {
            if (!done) {
                done = platform::WaitFileCopy(underway.copy.Get(), kProgressInterval, &copied) ||
                       copied >= source.size;
                // A stop takes effect at once, also inside a large file: it is abandoned.
                if (!done && stopAsked()) {
                    platform::CancelFileCopy(underway.copy.Get());
                    underway.abandoned = true;
                    done = true;
                }
            }
            const int wait = done ? kProgressInterval : 0;
            if (previous != SIZE_MAX &&
                platform::WaitFileCopy(previousUnderway.copy.Get(), wait, &ignored)) {
                settlePrevious();
            }
            progress(written + copied);
        }
        written += source.size;
        progress(written);
        previous = k;
        previousUnderway = std::move(underway);
    }
    awaitPrevious();
    summary.stopped = summary.stopped || (stop && !summary.diskFull && k < plan.files.size());
    return summary;
}

}  // namespace spurlese::copying

// Setting archive files aside into a folder of their own, and putting them back, so that a
// tidy-up never loses a file and can always be undone in one step. The folder keeps the list
// Spurlese_Beiseitegelegt.txt of every file it holds (its old and new path, size and last change),
// written before any file moves: after a crash or a power cut every file is either in its old
// place or listed where it went. Nothing is ever overwritten or deleted: a file moves by one
// rename on its volume, or across volumes is copied, checked, and only then removed at its old
// place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/work_report.h"

namespace spurlese::tidy {

inline constexpr std::u16string_view kJournalName = u"Spurlese_Beiseitegelegt.txt";

// A file set aside: where it was and where it went, with its size and last change then.
struct AsideEntry {
    std::u16string from, to;
    int64_t size = 0;
    int64_t lastWrite = 0;  // as platform::ListingEntry counts it
    bool operator==(const AsideEntry&) const = default;
};

// The list's text (its byte-order mark first, then the folder it is written in) and back. Lines
// that are not entries (the head, anything a user added) are skipped when read; `folder` gets the
// folder the list names.
std::u16string JournalText(const std::vector<AsideEntry>& entries, std::u16string_view folder);
std::vector<AsideEntry> ParseJournal(std::u16string_view text, std::u16string* folder = nullptr);
// The entries of the folder's list; false when it has none or it cannot be read. Where the list
// was written in another folder (the folder was moved since), each new path below that one is
// given below this one.
bool ReadJournal(std::u16string_view folder, std::vector<AsideEntry>* entries);

// A file to set aside as the scan saw it. `twin`: for a duplicate, the copy that stays, which must
// still hold the same bytes; empty for any other file.
struct AsideFile {
    std::u16string path;
    std::u16string relative;  // below the base path: where it goes below the folder
    int64_t size = 0;
    int64_t lastWrite = 0;
    std::u16string twin;
};

// What became of one file. kChanged: not as the scan saw it (another size or time); kGone: not
// there; kTwinDiffers: the copy that stays is gone or no longer holds the same bytes; kPlaceTaken:
// something has the name it would get.
enum class FileStatus { kMoved, kAlreadyBack, kChanged, kGone, kTwinDiffers, kPlaceTaken, kFailed };
struct FileOutcome {
    FileStatus status = FileStatus::kFailed;
    std::u16string reason;  // in the system's words, for kFailed
};

// `progress`: the files done of all; `busy` between two files: false stops there (a file under
// way is always finished, so the list stays true); `fileDone` after each file.
struct TidyObserver : WorkReport {
    std::function<void(const AsideEntry& entry, const FileOutcome& outcome)> fileDone;
};

struct TidySummary {
    int64_t moved = 0, skipped = 0, failed = 0, bytes = 0;
    bool stopped = false;
    // The list could not be written: before any move (then nothing moved), or at the end.
    std::u16string journalError;
    int64_t left = 0;  // files the folder still holds after a putting back
};

// Sets the files aside into `folder` (made if need be) below their `relative` paths, each one
// checked just before it moves: still where and as the scan saw it, a duplicate's twin still there
// with the same bytes, compared byte by byte; anything else is skipped and told. Entries of an
// earlier tidy-up into the same folder are kept in the list.
TidySummary SetAside(const std::vector<AsideFile>& files, std::u16string_view folder,
                     const TidyObserver& observer);

// Puts every file the folder's list holds back at its old path. A file whose old place is taken
// stays aside and is told; the list keeps exactly the files still aside. Emptied folders the files
// left are removed, and the folder with its list once nothing is left in it.
TidySummary PutBack(std::u16string_view folder, const TidyObserver& observer);

}  // namespace spurlese::tidy

#include "tidy/set_aside.h"

#include <algorithm>

#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese::tidy {

namespace {

constexpr int64_t kComparePiece = 1 << 20;  // bytes read at a time when two files are compared

std::u16string JournalPath(std::u16string_view folder) {
    return WithFinalBackslash(folder) + std::u16string(kJournalName);
}

// A size or a time of the list: 18 digits at most, so that a line a user edited never overflows.
bool ParseNumber(std::u16string_view text, int64_t* number) {
    if (text.empty() || text.size() > 18) return false;
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    *number = value;
    return true;
}

// Makes the folder and those above it that are missing.
bool MakeFolders(std::u16string_view folder) {
    folder = WithoutFinalBackslash(folder);
    if (platform::CreateFolder(folder)) return true;
    const std::u16string_view parent = WithoutFinalBackslash(FolderPart(folder));
    return !parent.empty() && parent.size() < folder.size() && MakeFolders(parent) &&
           platform::CreateFolder(folder);
}

FileOutcome Failure() {
    return {FileStatus::kFailed, platform::LastFileError().reason};
}

bool SameFacts(std::u16string_view path, int64_t size, int64_t lastWrite) {
    int64_t nowSize = 0, nowWrite = 0;
    return platform::FileFacts(path, &nowSize, &nowWrite) && nowSize == size &&
           nowWrite == lastWrite;
}

enum class Comparison { kSame, kDiffer, kUnreadable };

// Byte by byte: a hash that agrees says only that the files very probably are the same.
Comparison CompareFiles(std::u16string_view a, std::u16string_view b) {
    const platform::OwnedFile first(platform::OpenFileForReading(a));
    const platform::OwnedFile second(platform::OpenFileForReading(b));
    if (!first || !second) return Comparison::kUnreadable;
    std::string one(kComparePiece, '\0'), two(kComparePiece, '\0');
    for (int64_t offset = 0;; offset += kComparePiece) {
        const int64_t got = platform::ReadFromFile(first.Get(), offset, one.data(), kComparePiece);
        const int64_t other =
            platform::ReadFromFile(second.Get(), offset, two.data(), kComparePiece);
        if (got < 0 || other < 0) return Comparison::kUnreadable;
        if (got != other ||
            one.compare(0, static_cast<size_t>(got), two, 0, static_cast<size_t>(got)) != 0)
            return Comparison::kDiffer;
        if (got < kComparePiece) return Comparison::kSame;
    }
}

// Across volumes: copied under a temporary name, checked, renamed, and only then the original
// removed; whatever fails leaves the original where it was.
FileOutcome CopyAcross(const std::u16string& from, const std::u16string& to,
                       const TidyObserver& observer, bool* stopAsked) {
    int64_t size = 0, lastWrite = 0;
    if (!platform::FileFacts(from, &size, &lastWrite)) return Failure();
    const std::u16string temporary = TemporaryNameFor(to);
    const platform::CopyHandle copy = platform::StartFileCopy(from, temporary);
    if (copy == platform::CopyHandle::kNone) return Failure();
    int64_t copied = 0;
    // The window stays alive; a stop waits for this file, which is never left half moved.
    while (!platform::WaitFileCopy(copy, 50, &copied)) *stopAsked = !observer.Busy() || *stopAsked;
    const platform::CopyOutcome done = platform::FinishFileCopy(copy);
    int64_t copySize = -1, copyWrite = 0;
    if (!done.done || !platform::FileFacts(temporary, &copySize, &copyWrite) || copySize != size ||
        !SameFacts(from, size, lastWrite)) {
        const std::u16string reason =
            done.done ? u"Die Kopie stimmt nicht mit der Datei \u00FCberein." : done.error.reason;
        platform::DeleteFilePath(temporary);
        return {FileStatus::kFailed, reason};
    }
    if (!platform::RenameFile(temporary, to)) {
        const FileOutcome failed = Failure();
        platform::DeleteFilePath(temporary);
        return failed;
    }
    if (!platform::DeleteFilePath(from)) {
        const FileOutcome failed = Failure();
        platform::DeleteFilePath(to);  // our own copy: the file stays where it was
        return failed;
    }
    return {FileStatus::kMoved, {}};
}

// What one run of moves keeps from file to file.
struct Mover {
    explicit Mover(const TidyObserver& report) : observer(report) {}

    const TidyObserver& observer;
    bool stopAsked = false;  // the user asked to stop while a file was under way
    std::u16string made;     // the folder made last: files come folder by folder

    // Moves a file to a name nothing has (a rename never replaces), making its folder.
    FileOutcome Move(const std::u16string& from, const std::u16string& to) {
        const std::u16string_view folder = FolderPart(to);
        if (folder != made) {
            if (!MakeFolders(folder)) return Failure();
            made = folder;
        }
        if (platform::RenameFile(from, to)) return {FileStatus::kMoved, {}};
        const platform::FileError error = platform::LastFileError();  // before any other call
        if (platform::KindOfPath(to) != platform::PathKind::kNone)
            return {FileStatus::kPlaceTaken, {}};
        if (error.kind == platform::FileErrorKind::kOtherVolume)
            return CopyAcross(from, to, observer, &stopAsked);
        return {FileStatus::kFailed, error.reason};
    }
};

constexpr std::u16string_view kJournalHead =
    u"\uFEFFSpurlese: beiseitegelegte Dateien. Zur\u00FCcklegen: im Men\u00FC von \"Ergebnis "
    u"speichern\" \"Beiseitegelegtes zur\u00FCcklegen\u2026\" w\u00E4hlen und diesen Ordner "
    u"angeben.\r\n"
    u"Alter Pfad\tNeuer Pfad\tBytes\tGe\u00E4ndert (100 ns seit 1601, UTC)";

// The line that names the folder the list was written in.
constexpr std::u16string_view kFolderField = u"Ordner:";

// One line of the list; the new path in two parts, so that no string is made for it.
void AppendEntry(std::u16string* text, std::u16string_view from, std::u16string_view toFolder,
                 std::u16string_view toRest, int64_t size, int64_t lastWrite) {
    text->append(u"\r\n").append(from).append(u"\t").append(toFolder).append(toRest);
    text->append(u"\t").append(Decimal(size)).append(u"\t").append(Decimal(lastWrite));
}

// The list as it is now, written whole and safely; the reason when it could not be.
std::u16string WriteJournal(std::u16string_view folder, std::u16string_view text) {
    std::string bytes;
    if (!platform::ConvertUtf16ToUtf8(text, &bytes)) return u"Die Liste ist zu gro\u00DF.";
    const WriteResult written = WriteFileReplacing(JournalPath(folder), bytes);
    return written.outcome == WriteOutcome::kWritten ? std::u16string() : written.reason;
}

void Tell(const TidyObserver& observer, const AsideEntry& entry, const FileOutcome& outcome,
          TidySummary* summary) {
    if (outcome.status == FileStatus::kMoved) {
        ++summary->moved;
        summary->bytes += entry.size;
    } else if (outcome.status == FileStatus::kFailed) {
        ++summary->failed;
    } else if (outcome.status != FileStatus::kAlreadyBack) {
        ++summary->skipped;
    }
    if (observer.fileDone) observer.fileDone(entry, outcome);
}

}  // namespace

std::u16string JournalText(const std::vector<AsideEntry>& entries, std::u16string_view folder) {
    std::u16string text(kJournalHead);
    text.append(u"\r\n").append(kFolderField).append(u"\t").append(WithoutFinalBackslash(folder));
    for (const AsideEntry& entry : entries)
        AppendEntry(&text, entry.from, entry.to, {}, entry.size, entry.lastWrite);
    return text;
}

std::vector<AsideEntry> ParseJournal(std::u16string_view text, std::u16string* folder) {
    std::vector<AsideEntry> entries;
    while (!text.empty()) {
        const size_t end = std::min(text.find(u'\n'), text.size());
        std::u16string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        std::u16string_view fields[4];
        size_t count = 0;
        for (; count < 4 && !line.empty(); ++count) {
            const size_t tab = std::min(line.find(u'\t'), line.size());
            fields[count] = line.substr(0, tab);
            line.remove_prefix(std::min(tab + 1, line.size()));
        }
        if (count == 2 && line.empty() && fields[0] == kFolderField && folder)
            *folder = std::u16string(fields[1]);
        AsideEntry entry{std::u16string(fields[0]), std::u16string(fields[1]), 0, 0};
        if (count == 4 && line.empty() && !entry.from.empty() && !entry.to.empty() &&
            ParseNumber(fields[2], &entry.size) && ParseNumber(fields[3], &entry.lastWrite))
            entries.push_back(std::move(entry));
    }
    return entries;
}

bool ReadJournal(std::u16string_view folder, std::vector<AsideEntry>* entries) {
    std::string bytes;
    if (!platform::ReadFileBytes(JournalPath(folder), &bytes)) return false;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    std::u16string written;
    *entries = ParseJournal(platform::Utf8ToUtf16(bytes), &written);
    // A folder the family moved (onto a stick, say) holds its files below it as before: each new
    // path is read as lying in the folder where the list is now.
    const std::u16string from = WithFinalBackslash(written), to = WithFinalBackslash(folder);
    if (written.empty() || platform::LowerCase(from) == platform::LowerCase(to)) return true;
    const std::u16string fromKey = platform::LowerCase(from);
    for (AsideEntry& entry : *entries) {
        if (platform::LowerCase(std::u16string_view(entry.to).substr(0, from.size())) == fromKey)
            entry.to = to + entry.to.substr(from.size());
    }
    return true;
}

TidySummary SetAside(const std::vector<AsideFile>& files, std::u16string_view folder,
                     const TidyObserver& observer) {
    TidySummary summary;
    std::vector<AsideEntry> kept;
    // An earlier tidy-up's list is kept whole; one that cannot be read is never written over.
    if (platform::KindOfPath(JournalPath(folder)) != platform::PathKind::kNone &&
        !ReadJournal(folder, &kept)) {
        summary.journalError = platform::LastFileError().reason;
        return summary;
    }
    // The list with the earlier entries and the files that `went` (every file for null); made
    // from the files themselves, since a list of a hundred thousand paths takes room.
    const std::u16string root = WithFinalBackslash(folder);
    const auto listText = [&](const std::vector<bool>* went) {
        std::u16string text = JournalText(kept, folder);
        for (size_t k = 0; k < files.size(); ++k) {
            const AsideFile& file = files[k];
            if (!went || (*went)[k])
                AppendEntry(&text, file.path, root, file.relative, file.size, file.lastWrite);
        }
        return text;
    };
    // Every file is listed where it will go before the first one moves.
    if (!MakeFolders(folder)) {
        summary.journalError = platform::LastFileError().reason;
        return summary;
    }
    summary.journalError = WriteJournal(folder, listText(nullptr));
    if (!summary.journalError.empty()) return summary;

    std::vector<bool> went(files.size(), false);
    Mover mover{observer};
    for (size_t k = 0; k < files.size(); ++k) {
        if (mover.stopAsked || !observer.Busy()) {
            summary.stopped = true;
            break;
        }
        const AsideFile& file = files[k];
        const AsideEntry entry{file.path, root + file.relative, file.size, file.lastWrite};
        FileOutcome outcome;
        int64_t size = 0, lastWrite = 0;
        if (!platform::FileFacts(file.path, &size, &lastWrite)) {
            outcome.status = FileStatus::kGone;
        } else if (size != file.size || lastWrite != file.lastWrite) {
            outcome.status = FileStatus::kChanged;
        } else if (!file.twin.empty() && CompareFiles(file.path, file.twin) != Comparison::kSame) {
            outcome.status = FileStatus::kTwinDiffers;
        } else {
            outcome = mover.Move(file.path, entry.to);
        }
        went[k] = outcome.status == FileStatus::kMoved;
        Tell(observer, entry, outcome, &summary);
        observer.Progress(static_cast<int64_t>(k + 1), static_cast<int64_t>(files.size()));
    }
    // Now exactly the files that went; until then the list also named those still in place.
    if (kept.empty() && summary.moved == 0) {
        // Nothing went: no list and no folder of ours stays behind.
        if (platform::DeleteFilePath(JournalPath(folder)))
            platform::RemoveEmptyFolder(WithoutFinalBackslash(folder));
        return summary;
    }
    summary.journalError = WriteJournal(folder, listText(&went));
    return summary;
}

TidySummary PutBack(std::u16string_view folder, const TidyObserver& observer) {
    TidySummary summary;
    std::vector<AsideEntry> entries;
    if (!ReadJournal(folder, &entries)) {
        summary.journalError = platform::LastFileError().reason;
        return summary;
    }
    std::vector<AsideEntry> left;
    std::vector<std::u16string> emptied;
    Mover mover{observer};
    for (size_t k = 0; k < entries.size(); ++k) {
        const AsideEntry& entry = entries[k];
        if (mover.stopAsked || !observer.Busy()) {
            summary.stopped = true;
            left.insert(left.end(), entries.begin() + static_cast<ptrdiff_t>(k), entries.end());
            break;
        }
        FileOutcome outcome;
        const bool aside = platform::KindOfPath(entry.to) == platform::PathKind::kFile;
        const bool inPlace = platform::KindOfPath(entry.from) != platform::PathKind::kNone;
        if (!aside) {
            // Never moved (the list is written ahead of the moves), or taken away by hand.
            outcome.status = inPlace ? FileStatus::kAlreadyBack : FileStatus::kGone;
        } else {  // never over what now has its old place
            outcome = mover.Move(entry.to, entry.from);
        }
        if (outcome.status == FileStatus::kMoved) {
            emptied.emplace_back(FolderPart(entry.to));
        } else if (aside) {
            left.push_back(entry);
        }
        Tell(observer, entry, outcome, &summary);
        observer.Progress(static_cast<int64_t>(k + 1), static_cast<int64_t>(entries.size()));
    }
    summary.left = static_cast<int64_t>(left.size());
    if (!left.empty()) {
        summary.journalError = WriteJournal(folder, JournalText(left, folder));
    } else if (!platform::DeleteFilePath(JournalPath(folder))) {
        summary.journalError = platform::LastFileError().reason;
    }
    // The folders the files left, deepest first, as long as they are empty and below the folder.
    const std::u16string root = WithFinalBackslash(folder);
    const std::u16string rootKey = platform::LowerCase(root);
    std::sort(emptied.begin(), emptied.end(),
              [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
    for (std::u16string_view path : emptied) {
        while (path.size() > root.size() &&
               platform::LowerCase(path.substr(0, root.size())) == rootKey &&
               platform::RemoveEmptyFolder(WithoutFinalBackslash(path)))
            path = FolderPart(WithoutFinalBackslash(path));
    }
    if (left.empty()) platform::RemoveEmptyFolder(WithoutFinalBackslash(root));
    return summary;
}

}  // namespace spurlese::tidy

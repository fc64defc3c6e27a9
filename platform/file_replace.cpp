#include "platform/file_replace.h"

#include <algorithm>
#include <functional>
#include <string>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

constexpr std::u16string_view kLeftoverStem = u"~spurlese";

// Virus scanners, indexers and backup tools often hold a file for a moment just after it was
// written; a step that fails then is tried again, for about a second in all, before the save
// fails.
constexpr int kPatienceMilliseconds = 1000;

bool TryForAWhile(const std::function<bool()>& step) {
    int waited = 0;
    for (int pause = 10;; pause *= 2) {
        if (step()) return true;
        if (waited >= kPatienceMilliseconds) return false;
        const int now = std::min(pause, kPatienceMilliseconds - waited);
        platform::PauseMilliseconds(now);
        waited += now;
    }
}

std::u16string NameBeside(std::u16string_view path, std::u16string_view extension) {
    // Beside the target, so that the replace is a rename within one folder; unique per process,
    // so that two running programs never write the same file.
    return std::u16string(FolderPart(path)) + std::u16string(kLeftoverStem) +
           Decimal(platform::CurrentProcessId()) + std::u16string(extension);
}

// The process id in a name of our pattern; false for any other name.
bool LeftoverOwner(std::u16string_view name, uint32_t* process) {
    const std::u16string lower = platform::LowerCase(name);
    if (lower.size() < kLeftoverStem.size() + 5 || !lower.starts_with(kLeftoverStem) ||
        !(lower.ends_with(u".tmp") || lower.ends_with(u".bak"))) {
        return false;
    }
    std::u16string_view digits = std::u16string_view(lower).substr(
        kLeftoverStem.size(), lower.size() - kLeftoverStem.size() - 4);
    // A second temporary file of the same process: "~spurlese1234-1.tmp".
    if (const size_t dash = digits.find(u'-'); dash != std::u16string_view::npos) {
        const std::u16string_view slot = digits.substr(dash + 1);
        if (slot.empty() || slot.size() > 3 ||
            slot.find_first_not_of(u"0123456789") != std::u16string_view::npos)
            return false;
        digits = digits.substr(0, dash);
    }
    if (digits.empty() || digits.size() > 10) return false;
    uint64_t id = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return false;
        id = id * 10 + (c - u'0');
    }
    if (id > UINT32_MAX) return false;
    *process = static_cast<uint32_t>(id);
    return true;
}

// Moves a file that a message will name to a name of its own beside the target:
// "<name> (<label>).<extension>", or with a number where that is taken. Returns where the file is.
std::u16string KeepAside(const std::u16string& file, std::u16string_view target,
                         std::u16string_view label) {
    const std::u16string_view name = FileNamePart(target);
    const size_t dot = name.rfind(u'.');
    const std::u16string_view stem = name.substr(0, dot);
    const std::u16string_view extension =
        dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot);
    for (int number = 1; number < 100; ++number) {
        const std::u16string kept = std::u16string(FolderPart(target)) + std::u16string(stem) +
                                    u" (" + std::u16string(label) +
                                    (number > 1 ? u" " + Decimal(number) : u"") + u")" +
                                    std::u16string(extension);
        if (platform::KindOfPath(kept) != platform::PathKind::kNone) continue;
        return platform::RenameFile(file, kept) ? kept : file;
    }
    return file;
}

// Puts the written temporary file in the target's place. A replace that Windows leaves halfway
// (the old file moved to the backup, the new one not moved in) is finished, or else undone
// before it is tried again, so that the target's name always ends up holding one of the two.
WriteOutcome PutInPlace(const std::u16string& temporary, std::u16string_view path,
                        const std::u16string& backup, std::u16string* reason) {
    bool halfway = false;  // nothing has the target's name; the old file is the backup
    bool oldAtBackup = false;
    const auto finishHalfway = [&] {
        halfway = true;
        if (platform::RenameFile(temporary, path)) {
            halfway = false;
            return true;
        }
        halfway = !platform::RenameFile(backup, path);
        oldAtBackup = halfway;
        return false;
    };
    const bool placed = TryForAWhile([&] {
        if (halfway) return finishHalfway();
        if (platform::KindOfPath(path) == platform::PathKind::kNone)
            return platform::RenameFile(temporary, path);
        switch (platform::ReplaceWithBackup(temporary, path, backup)) {
            case platform::ReplaceOutcome::kReplaced:
                oldAtBackup = true;
                return true;
            case platform::ReplaceOutcome::kUnchanged:
                return false;
            case platform::ReplaceOutcome::kTargetAtBackup:
                oldAtBackup = true;
                return finishHalfway();
        }
        return false;
    });
    if (placed) {
        if (oldAtBackup) platform::DeleteFilePath(backup);
        return WriteOutcome::kWritten;
    }
    *reason = platform::LastFileError().reason;
    if (halfway) return WriteOutcome::kHalfReplaced;  // both kept: the new bytes and the old file
    platform::DeleteFilePath(temporary);
    return WriteOutcome::kNothingWritten;
}

}  // namespace

std::u16string TemporaryNameFor(std::u16string_view path, unsigned slot) {
    return NameBeside(path, slot == 0 ? u".tmp" : u"-" + Decimal(slot) + u".tmp");
}

std::u16string BackupNameFor(std::u16string_view path) {
    return NameBeside(path, u".bak");
}

void RemoveLeftoverFiles(std::u16string_view folder) {
    const std::u16string where = folder.empty() ? u"." : std::u16string(folder);
    std::vector<std::u16string> leftovers;
    for (const platform::ListingEntry& entry : platform::Listing(where, u"~spurlese*")) {
        uint32_t owner = 0;
        if (!entry.isDirectory && LeftoverOwner(entry.name, &owner) &&
            platform::LowerCase(entry.name).ends_with(u".tmp") &&
            owner != platform::CurrentProcessId() && !platform::ProcessIdRunning(owner)) {
            leftovers.push_back(where + u"\\" + entry.name);
        }
    }
    for (const std::u16string& leftover : leftovers) platform::DeleteFilePath(leftover);
}

WriteResult WriteFileReplacing(std::u16string_view path, std::string_view bytes) {
    WriteResult result;
    // Each failure is told with the reason of the step that failed.
    const auto failed = [&result](WriteOutcome outcome) {
        result.outcome = outcome;
        result.reason = platform::LastFileError().reason;
        return result;
    };
    // Fail early for a target held open by another program or read-only, before anything is
    // written. Only an existing file may be let go in a moment; a missing folder stays missing.
    const bool existed = platform::FileSize(path) >= 0;
    const auto writable = [&] { return platform::WritableFile(path); };
    if (!(existed ? TryForAWhile(writable) : writable()))
        return failed(WriteOutcome::kNothingWritten);
    RemoveLeftoverFiles(WithoutFinalBackslash(FolderPart(path)));
    // What a replace left halfway before kept under this process's names (the old file, the
    // new bytes) must not be overwritten by this save: it goes to a name of its own first, or
    // nothing is written.
    for (const auto& [name, label] :
         {std::pair{BackupNameFor(path), u"alt"}, std::pair{TemporaryNameFor(path), u"neu"}}) {
        if (platform::KindOfPath(name) == platform::PathKind::kFile &&
            KeepAside(name, path, label) == name) {
            return failed(WriteOutcome::kNothingWritten);
        }
    }
    const unsigned attributes = existed ? platform::KeptAttributes(path) : 0;

    const std::u16string temporary = TemporaryNameFor(path);
    platform::OwnedFile file(platform::CreateFileForWriting(temporary));
    if (!file) return failed(WriteOutcome::kNothingWritten);
    const bool written =
        platform::WriteToFile(file.Get(), bytes) && platform::FlushFile(file.Get());
    // A full disk may show itself only when the last buffered data goes out at the close.
    const bool closed = platform::CloseFile(file.Take());
    if (!written || !closed) {
        failed(WriteOutcome::kWriteFailed);
        platform::DeleteFilePath(temporary);
        return result;
    }
    std::u16string reason;
    const WriteOutcome placed = PutInPlace(temporary, path, BackupNameFor(path), &reason);
    result.outcome = placed;
    result.reason = reason;
    if (placed == WriteOutcome::kHalfReplaced) {
        result.kept.newFile = KeepAside(temporary, path, u"neu");
        result.kept.oldFile = KeepAside(BackupNameFor(path), path, u"alt");
    }
    // What the user gave the old file (hidden, say) the new one has too, whichever way it went in.
    if (placed == WriteOutcome::kWritten && attributes != 0)
        platform::SetKeptAttributes(path, attributes);
    return result;
}

}  // namespace spurlese

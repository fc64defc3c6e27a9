#include "app/tidy_up.h"

#include <vector>

#include "app/duplicates_list.h"
#include "app/results_export.h"
#include "app/unused_files.h"
#include "copy/file_copy.h"
#include "duplicates/duplicate_files.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "tidy/set_aside.h"

namespace spurlese {

namespace {

using tidy::FileStatus;

constexpr int64_t kProgressSteps = 10000;
constexpr std::u16string_view kPutBackTitle = u"Beiseitegelegtes zur\u00FCcklegen";

std::u16string Quoted(std::u16string_view path) {
    return u"'" + std::u16string(path) + u"'";
}

// Where a tidy-up goes inside `parent`: its name, or the next free one when something of that
// name is there that is not a tidy-up's folder (a user's own, or a file).
std::u16string FreeAsideFolder(std::u16string_view parent, std::u16string_view basePath) {
    const std::u16string name = AsideFolderName(basePath, platform::CurrentTime());
    for (int n = 1;; ++n) {
        const std::u16string folder =
            WithFinalBackslash(parent) + name + (n == 1 ? u"" : u" (" + Decimal(n) + u")");
        const platform::PathKind kind = platform::KindOfPath(folder);
        if (kind == platform::PathKind::kNone) return folder;
        if (kind == platform::PathKind::kFolder &&
            platform::KindOfPath(WithFinalBackslash(folder) + std::u16string(tidy::kJournalName)) ==
                platform::PathKind::kFile)
            return folder;
    }
}

// Asks first (how many, how much, where, and that only this scan's project folder was read) and
// gives the folder the files go to; empty when the user goes no further.
std::u16string ChooseAsideFolder(std::u16string_view title, std::u16string_view what,
                                 const std::vector<tidy::AsideFile>& files,
                                 const ScanRecord& record) {
    const std::u16string& base = record.inputs.basePath;
    int64_t bytes = 0;
    for (const tidy::AsideFile& file : files) bytes += file.size;
    const std::u16string_view parent = FolderBesideArchive(base);
    // Beside the base path, on its drive, each file is one rename; a root has no beside.
    const std::u16string beside = parent.empty() ? u"" : FreeAsideFolder(parent, base);
    const std::u16string question =
        Decimal(static_cast<int64_t>(files.size())) + u" " + std::u16string(what) + u" (" +
        Grouped(bytes) + u" Bytes) werden beiseitegelegt" +
        (beside.empty() ? u"." : u" nach\n" + Quoted(beside) + u".") +
        u"\n\nJede Datei kommt dort in den Ordner, in dem sie im Archiv liegt; die Liste " +
        std::u16string(tidy::kJournalName) +
        u" nennt jede, und \"Beiseitegelegtes zur\u00FCcklegen\u2026\" legt alle in einem Schritt "
        u"zur\u00FCck. Nichts wird gel\u00F6scht oder \u00FCberschrieben.\n\nGelesen wurden nur "
        u"die Projekte im Projektordner dieser Suche: " +
        Quoted(record.inputs.projectDirectory) +
        u". Shows aus anderen Ordnern k\u00F6nnen diese Dateien verwenden.\n\n" +
        (beside.empty() ? u"Ordner w\u00E4hlen?"
                        : u"Ja: dorthin beiseitelegen\nNein: einen anderen Ordner w\u00E4hlen\n"
                          u"Abbrechen: nichts \u00E4ndern");
    const int answer = platform::ShowMessageBox(
        title, question,
        (beside.empty() ? platform::kYesNoButtons : platform::kYesNoCancelButtons) |
            platform::kWarningIcon);
    if (!beside.empty() && answer == platform::kYesPressed) return beside;
    if (beside.empty() ? answer != platform::kYesPressed : answer != platform::kNoPressed)
        return {};
    const platform::DialogResult chosen = platform::ChooseFolder(
        u"Ordner w\u00E4hlen, in den die Dateien beiseitegelegt werden", parent);
    if (chosen.outcome == platform::DialogOutcome::kFailed) {
        platform::ShowMessageBox(
            title,
            u"Das Fenster zur Wahl des Ordners lie\u00DF sich nicht \u00F6ffnen:\n" + chosen.reason,
            platform::kWarningIcon);
    }
    if (chosen.outcome != platform::DialogOutcome::kChosen) return {};
    if (copying::InsideArchive(chosen.path, base)) {
        platform::ShowMessageBox(
            title,
            u"Der Ordner " + Quoted(chosen.path) + u" liegt im Archiv " + Quoted(base) +
                u".\nBitte einen Ordner au\u00DFerhalb des Archivs w\u00E4hlen.",
            platform::kWarningIcon);
        return {};
    }
    return FreeAsideFolder(chosen.path, base);
}

// One line of "Informationen" for a file, as it went.
void TellFile(ResultsPage* page, const tidy::AsideEntry& entry, const tidy::FileOutcome& outcome,
              bool puttingBack) {
    using Kind = LineTarget::Kind;
    const std::u16string& from = puttingBack ? entry.to : entry.from;
    const std::u16string& to = puttingBack ? entry.from : entry.to;
    switch (outcome.status) {
        case FileStatus::kMoved:
            page->Info((puttingBack ? u"Zur\u00FCckgelegt: " : u"Beiseitegelegt: ") + Quoted(to),
                       {Kind::kFile, to});
            return;
        case FileStatus::kAlreadyBack:
            return;
        case FileStatus::kChanged:
            page->Info(u"\u00DCbersprungen, seit der Suche ver\u00E4ndert: " + Quoted(from),
                       {Kind::kFile, from});
            return;
        case FileStatus::kGone:
            page->Info((puttingBack ? u"Nicht mehr im Ordner, aus der Liste genommen: "
                                    : u"\u00DCbersprungen, nicht mehr da: ") +
                           Quoted(from),
                       {Kind::kNearestFolder, from});
            return;
        case FileStatus::kTwinDiffers:
            page->Info(
                u"\u00DCbersprungen, die Kopie, die bleibt, ist nicht mehr gleich: " + Quoted(from),
                {Kind::kFile, from});
            return;
        case FileStatus::kPlaceTaken:
            page->Info((puttingBack ? u"Bleibt beiseite, am alten Platz liegt schon etwas: "
                                    : u"\u00DCbersprungen, am Ziel liegt schon etwas: ") +
                           Quoted(to),
                       {Kind::kFile, to});
            return;
        case FileStatus::kFailed:
            page->Info(u"Fehler bei " + Quoted(from) + u": " + outcome.reason, {Kind::kFile, from});
            return;
    }
}

// Runs the tidy-up on the results page: the bar, the taskbar, a line per file, the summary.
// Returns the summary; `requests` tells whether the user closed the window meanwhile.
tidy::TidySummary RunOnPage(
    ResultsPage* page, BusyRequests* requests, bool puttingBack,
    const std::function<tidy::TidySummary(const tidy::TidyObserver&)>& run) {
    page->BeginWork();
    tidy::TidyObserver observer;
    static_cast<WorkReport&>(observer) = page->Report(BusyWork::kTidy, requests);
    observer.progress = [page](int64_t done, int64_t total) {
        page->ShowProgress(total > 0 ? done * kProgressSteps / total : 0, kProgressSteps);
    };
    observer.fileDone = [&](const tidy::AsideEntry& entry, const tidy::FileOutcome& outcome) {
        TellFile(page, entry, outcome, puttingBack);
    };
    page->ShowProgress(0, kProgressSteps);
    const tidy::TidySummary summary = run(observer);
    page->EndWork(summary.failed > 0 || !summary.journalError.empty());
    return summary;
}

// Sets the files aside after the question; true when the program is to end.
bool SetAsideFiles(std::u16string_view title, std::u16string_view what,
                   const std::vector<tidy::AsideFile>& files, ScanRecord* record,
                   ResultsPage* page) {
    if (files.empty()) {
        platform::ShowMessageBox(title, u"Es gibt keine " + std::u16string(what) + u".",
                                 platform::kInformationIcon);
        return false;
    }
    const std::u16string folder = ChooseAsideFolder(title, what, files, *record);
    if (folder.empty()) return false;
    page->Info(u"Beiseitelegen nach " + Quoted(folder) + u": " +
                   Decimal(static_cast<int64_t>(files.size())) + u" " + std::u16string(what),
               {LineTarget::Kind::kFile, folder});
    BusyRequests requests;
    const tidy::TidySummary summary =
        RunOnPage(page, &requests, false, [&](const tidy::TidyObserver& observer) {
            return tidy::SetAside(files, folder, observer);
        });
    // The walk no longer holds what is in the archive: the next list walks it again.
    if (summary.moved > 0) record->archive = {};
    std::u16string line = std::u16string(summary.stopped ? u"Beiseitelegen angehalten: "
                                                         : u"Beiseitelegen beendet: ") +
                          Decimal(summary.moved) + u" beiseitegelegt (" + Grouped(summary.bytes) +
                          u" Bytes), " + Decimal(summary.skipped) + u" \u00FCbersprungen, " +
                          Decimal(summary.failed) + u" fehlgeschlagen";
    if (!summary.journalError.empty()) {
        line = u"Die Liste " +
               Quoted(WithFinalBackslash(folder) + std::u16string(tidy::kJournalName)) +
               u" lie\u00DF sich nicht schreiben: " + summary.journalError +
               (summary.moved == 0 ? u" Es wurde nichts beiseitegelegt." : u"");
        platform::ShowMessageBox(title, line, platform::kWarningIcon);
    }
    page->Info(line);
    return requests.quit;
}

std::u16string RelativeToBase(std::u16string_view path, std::u16string_view basePath) {
    const std::u16string base = WithFinalBackslash(basePath);
    if (path.size() <= base.size() ||
        platform::LowerCase(path.substr(0, base.size())) != platform::LowerCase(base))
        return {};
    return std::u16string(path.substr(base.size()));
}

// The archive file as the walk saw it, to be set aside below its place under the base path.
bool AsideFileOf(const ScanRecord& record, uint32_t f, std::u16string_view twin,
                 std::vector<tidy::AsideFile>* files) {
    const archive::ArchiveIndex& index = record.archive;
    const archive::ArchiveFile& file = index.files[f];
    std::u16string path = index.Path(file);
    std::u16string relative = RelativeToBase(path, record.inputs.basePath);
    if (relative.empty()) return false;
    files->push_back(
        {std::move(path), std::move(relative), file.size, file.lastWrite, std::u16string(twin)});
    return true;
}

}  // namespace

std::u16string_view FolderBesideArchive(std::u16string_view basePath) {
    const std::u16string_view parent = FolderPart(WithoutFinalBackslash(basePath));
    // "\\server\" of a share, or "\\?\" of a drive's root written with its prefix.
    const bool server = parent.starts_with(u"\\\\") && parent.find(u'\\', 2) == parent.size() - 1;
    return server ? std::u16string_view() : parent;
}

std::u16string AsideFolderName(std::u16string_view basePath, int64_t now) {
    platform::LocalTime time;
    platform::ToLocalTime(now, &time);
    return std::u16string(FileNamePart(WithoutFinalBackslash(basePath))) +
           u" \u2013 beiseitegelegt " + Decimal(time.year) + u"-" + TwoDigits(time.month) + u"-" +
           TwoDigits(time.day);
}

bool SetAsideDuplicates(ScanRecord* record, ResultsPage* page) {
    constexpr std::u16string_view kTitle = u"Doppelte Kopien beiseitelegen";
    const ArchiveAct act{kTitle, u"Es wird nichts beiseitegelegt",
                         u"k\u00F6nnte als unbenutzte Kopie beiseitegelegt werden",
                         u"es wurde nichts beiseitegelegt"};
    BusyRequests requests;
    if (!RecordSawEverything(act, *record) || !ArchiveAsScanned(act, record, page, &requests))
        return requests.quit;
    page->BeginWork();
    page->Info(u"Doppelte Dateien werden gesucht");
    const duplicates::DuplicateSearch search =
        duplicates::FindDuplicates(record->archive, page->Report(BusyWork::kWalk, &requests));
    page->EndWork();
    if (search.outcome == duplicates::SearchOutcome::kStopped) {
        page->Info(u"Suche nach doppelten Dateien angehalten, nichts beiseitegelegt");
        return requests.quit;
    }
    // Only a copy no show uses, each of its names, and only beside a twin that stays.
    std::vector<tidy::AsideFile> files;
    for (const std::vector<DuplicateCopy>& copies : CopiesOfGroups(*record, search)) {
        const std::u16string* twin = nullptr;
        for (const DuplicateCopy& copy : copies) {
            if (copy.stays && !twin) twin = &copy.path;
        }
        for (const DuplicateCopy& copy : copies) {
            if (copy.stays || !copy.shows.empty() || !twin) continue;
            for (uint32_t name : copy.names) AsideFileOf(*record, name, *twin, &files);
        }
    }
    return SetAsideFiles(kTitle, u"doppelte Kopien, die keine Show verwendet", files, record, page);
}

bool SetAsideUnused(ScanRecord* record, ResultsPage* page) {
    constexpr std::u16string_view kTitle = u"Nicht verwendete Dateien beiseitelegen";
    const ArchiveAct act{kTitle, u"Es wird nichts beiseitegelegt",
                         u"w\u00FCrde als nicht verwendet beiseitegelegt",
                         u"es wurde nichts beiseitegelegt"};
    BusyRequests requests;
    if (!RecordSawEverything(act, *record) || !ArchiveAsScanned(act, record, page, &requests))
        return requests.quit;
    std::vector<tidy::AsideFile> files;
    const UnusedVisit visit =
        VisitUnusedFiles(*record, [&](uint32_t file, std::u16string_view usedPicture) {
            if (usedPicture.empty()) AsideFileOf(*record, file, {}, &files);
        });
    // A hit that names no archive file for certain may still name one of these.
    if (!visit.unresolved.empty()) {
        platform::ShowMessageBox(
            kTitle,
            u"Es wird nichts beiseitegelegt: " +
                Decimal(static_cast<int64_t>(visit.unresolved.size())) +
                u" Treffer lie\u00DFen sich keiner Datei des Archivs sicher zuordnen, zum "
                u"Beispiel " +
                Quoted(visit.unresolved.front()) +
                u". Eine Datei, die sie nennen, k\u00F6nnte unter den nicht verwendeten stehen.",
            platform::kWarningIcon);
        return false;
    }
    return SetAsideFiles(kTitle, u"nicht verwendete Dateien", files, record, page);
}

bool PutBackAside(ScanRecord* record, ResultsPage* page) {
    const std::u16string start =
        record ? std::u16string(FolderPart(WithoutFinalBackslash(record->inputs.basePath)))
               : platform::CurrentDirectory();
    const platform::DialogResult chosen =
        platform::ChooseFolder(u"Ordner mit beiseitegelegten Dateien w\u00E4hlen", start);
    if (chosen.outcome == platform::DialogOutcome::kFailed) {
        platform::ShowMessageBox(
            kPutBackTitle,
            u"Das Fenster zur Wahl des Ordners lie\u00DF sich nicht \u00F6ffnen:\n" + chosen.reason,
            platform::kWarningIcon);
    }
    if (chosen.outcome != platform::DialogOutcome::kChosen) return false;
    // The list itself may be given for its folder.
    std::u16string folder = chosen.path;
    if (platform::LowerCase(FileNamePart(WithoutFinalBackslash(folder))) ==
        platform::LowerCase(tidy::kJournalName))
        folder = std::u16string(FolderPart(WithoutFinalBackslash(folder)));
    std::vector<tidy::AsideEntry> entries;
    if (!tidy::ReadJournal(folder, &entries)) {
        platform::ShowMessageBox(kPutBackTitle,
                                 u"Im Ordner " + Quoted(folder) + u" liegt keine Liste " +
                                     std::u16string(tidy::kJournalName) +
                                     u". Bitte den Ordner w\u00E4hlen, in den Spurlese Dateien "
                                     u"beiseitegelegt hat.",
                                 platform::kWarningIcon);
        return false;
    }
    if (platform::ShowMessageBox(
            kPutBackTitle,
            Decimal(static_cast<int64_t>(entries.size())) +
                (entries.size() == 1 ? u" Datei aus " : u" Dateien aus ") + Quoted(folder) +
                u" an ihren alten Platz zur\u00FCcklegen?\nWo dort inzwischen etwas anderes "
                u"liegt, bleibt die Datei beiseite.",
            platform::kYesNoButtons | platform::kWarningIcon) != platform::kYesPressed)
        return false;
    BusyRequests requests;
    const tidy::TidySummary summary = RunOnPage(
        page, &requests, true,
        [&](const tidy::TidyObserver& observer) { return tidy::PutBack(folder, observer); });
    if (record && summary.moved > 0) record->archive = {};
    std::u16string line = std::u16string(summary.stopped ? u"Zur\u00FCcklegen angehalten: "
                                                         : u"Zur\u00FCcklegen beendet: ") +
                          Decimal(summary.moved) + u" zur\u00FCckgelegt, " + Decimal(summary.left) +
                          u" bleiben beiseite, " + Decimal(summary.failed) + u" fehlgeschlagen";
    if (!summary.journalError.empty())
        line += u"; die Liste lie\u00DF sich nicht schreiben: " + summary.journalError;
    page->Info(line);
    if (summary.left > 0 && !summary.stopped && !requests.quit) {
        platform::ShowMessageBox(kPutBackTitle,
                                 line +
                                     u"\nWas beiseite bleibt, nennt \"Informationen\" und die "
                                     u"Liste im Ordner " +
                                     Quoted(folder) + u".",
                                 platform::kWarningIcon);
    }
    return requests.quit;
}

}  // namespace spurlese

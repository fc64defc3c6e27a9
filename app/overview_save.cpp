#include "app/overview_save.h"

#include <string>
#include <vector>

#include "overview/overview_page.h"
#include "overview/thumbnail_maker.h"
#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

constexpr int kWaitStep = 50;  // milliseconds between looks at the window

// The file that marks a thumbnails' folder as one a save of the overview made.
constexpr std::u16string_view kOwnMark = u"Spurlese_\u00DCbersicht.txt";

// Whether the folder is one of ours: it holds our mark, and no folder and no file but thumbnails.
// Anything else is the user's, and is never moved or deleted.
bool OurFolder(const std::u16string& folder) {
    platform::Listing listing(folder, u"*");
    if (!listing.IsOpen()) return false;
    bool marked = false;
    for (const platform::ListingEntry& entry : listing) {
        if (entry.name == u"." || entry.name == u"..") continue;
        if (entry.isDirectory) return false;
        if (entry.name == kOwnMark) {
            marked = true;
        } else if (!overview::IsThumbnailName(entry.name)) {
            return false;
        }
    }
    return marked;
}

// Deletes a folder of ours with its files; leaves anything else as it is.
void RemoveOurFolder(const std::u16string& folder) {
    if (!OurFolder(folder)) return;
    std::vector<std::u16string> files;
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"*")) {
        if (!entry.isDirectory) files.push_back(folder + u"\\" + entry.name);
    }
    for (const std::u16string& file : files) platform::DeleteFilePath(file);
    platform::RemoveEmptyFolder(folder);
}

// The thumbnails' folder beside the page: "<page>_Dateien", or, where that name is taken by
// something of the user's, the first free "<page>_Dateien (2)", "(3)", ...
std::u16string ThumbnailFolderName(const std::u16string& where, std::u16string_view stem) {
    const std::u16string first = std::u16string(stem) + u"_Dateien";
    std::u16string name = first;
    for (int64_t n = 2; platform::KindOfPath(where + name) != platform::PathKind::kNone &&
                        !OurFolder(where + name);
         ++n)
        name = first + u" (" + Decimal(n) + u")";
    return name;
}

void Warn(std::u16string_view text) {
    platform::ShowMessageBox(kOverviewDialog.title, text, platform::kWarningIcon);
}

}  // namespace

bool SaveOverview(const ScanRecord& record, ResultsPage* results) {
    const platform::DialogResult chosen = ChooseFileToSave(kOverviewDialog);
    if (chosen.outcome == platform::DialogOutcome::kFailed)
        Warn(u"Das Fenster zum Speichern lie\u00DF sich nicht \u00F6ffnen:\n" + chosen.reason);
    if (chosen.outcome != platform::DialogOutcome::kChosen) return false;
    const std::u16string& page = chosen.path;
    const std::u16string_view name = FileNamePart(page);
    const std::u16string where(FolderPart(page));
    const std::u16string folderName = ThumbnailFolderName(where, name.substr(0, name.rfind(u'.')));
    const std::u16string folder = where + folderName;
    // The new thumbnails go into a folder of their own first; the old folder waits aside until
    // the new page is written. What an ended save left under these names goes first; anything
    // else under them is the user's, and this save stops before it touches it.
    const std::u16string fresh = where + u"~" + folderName + u".neu";
    const std::u16string old = where + u"~" + folderName + u".alt";
    RemoveOurFolder(fresh);
    RemoveOurFolder(old);
    for (const std::u16string& inTheWay : {fresh, old}) {
        if (platform::KindOfPath(inTheWay) != platform::PathKind::kNone) {
            Warn(u"Unter dem Namen '" + inTheWay +
                 u"' liegt schon etwas, das Spurlese nicht angelegt hat; es bleibt, wie es ist. "
                 u"Bitte die \u00DCbersicht unter einem anderen Namen speichern.");
            return false;
        }
    }
    std::string mark;
    if (!platform::CreateFolder(fresh) ||
        !platform::ConvertUtf16ToUtf8(
            u"\uFEFFDiesen Ordner hat Spurlese f\u00FCr die Seite '" + std::u16string(name) +
                u"' angelegt. Er enth\u00E4lt nur ihre Vorschaubilder; speichern Sie die "
                u"\u00DCbersicht wieder unter diesem Namen, ersetzt Spurlese ihn. Die "
                u"\u00DCbersicht "
                u"\u00E4ndert nichts im Archiv; r\u00FCckg\u00E4ngig machen: die Seite und diesen "
                u"Ordner l\u00F6schen.\r\n",
            &mark) ||
        !platform::WriteFileBytes(fresh + u"\\" + std::u16string(kOwnMark), mark)) {
        const std::u16string reason = platform::LastFileError().reason;
        RemoveOurFolder(fresh);
        platform::RemoveEmptyFolder(fresh);
        Warn(u"Der Ordner '" + fresh + u"' lie\u00DF sich nicht anlegen: " + reason);
        return false;
    }

    const std::vector<std::u16string> files = overview::ThumbnailFiles(record);
    std::vector<overview::Thumbnail> thumbnails(files.size());
    results->BeginWork();
    results->Info(u"\u00DCbersicht: " + Decimal(static_cast<int64_t>(files.size())) +
                  u" Vorschaubilder werden erstellt");
    results->ShowNow();
    const std::u16string into = fresh + u"\\";
    platform::OwnedWork work(platform::StartWork(
        files.size(), platform::ProcessorCount(), [&files, &thumbnails, &into](size_t k) {
            thumbnails[k] = overview::MakeThumbnail(files[k], into);
        }));
    // A page of name-only tiles is not the page promised: without its workers nothing is saved.
    if (!work) {
        RemoveOurFolder(fresh);
        results->Info(
            u"\u00DCbersicht nicht gespeichert: die Vorschaubilder lie\u00DFen sich nicht "
            u"erstellen");
        results->EndWork(true);
        Warn(
            u"Die \u00DCbersicht wurde nicht gespeichert: Windows konnte die Threads f\u00FCr "
            u"die Vorschaubilder nicht starten (zu wenig Speicher?). Bitte andere Programme "
            u"schlie\u00DFen und es noch einmal versuchen.");
        return false;
    }
    BusyRequests requests;
    const WorkReport report = results->Report(BusyWork::kOverview, &requests);
    size_t done = 0;
    const auto total = static_cast<int64_t>(files.size());
    report.Progress(0, total);
    while (!platform::WaitWork(work.Get(), kWaitStep, &done) && report.Busy())
        report.Progress(static_cast<int64_t>(done), total);
    platform::FinishWork(work.Take(), requests.stop);
    if (requests.stop) {
        RemoveOurFolder(fresh);
        results->Info(u"\u00DCbersicht angehalten, nichts gespeichert");
        results->EndWork();
        return requests.quit;
    }

    overview::PageFacts facts{folderName, record.finishedAt, thumbnails};
    std::string bytes;
    const bool converted =
        platform::ConvertUtf16ToUtf8(overview::OverviewPageText(record, facts), &bytes);
    // In place: the old folder aside, the new one in, the page written; a step that fails undoes
    // the steps before it.
    const bool hadOld = platform::KindOfPath(folder) == platform::PathKind::kFolder;
    RemoveOurFolder(old);
    SaveResult result;
    result.dialog = platform::DialogOutcome::kChosen;
    result.path = page;
    if (converted && (!hadOld || platform::RenameFile(folder, old))) {
        if (platform::RenameFile(fresh, folder)) {
            result.written = WriteFileReplacing(page, bytes);
            if (result.written.outcome != WriteOutcome::kWritten)
                platform::RenameFile(folder, fresh);
        }
        if (hadOld && platform::KindOfPath(folder) == platform::PathKind::kNone)
            platform::RenameFile(old, folder);
    }
    const bool saved = result.written.outcome == WriteOutcome::kWritten;
    if (saved) {
        RemoveOurFolder(old);
        size_t pictures = 0;
        for (const overview::Thumbnail& thumbnail : thumbnails)
            pictures += thumbnail.kind == overview::ThumbnailKind::kPicture ? 1 : 0;
        results->Info(u"\u00DCbersicht gespeichert: '" + page + u"', " +
                          Decimal(static_cast<int64_t>(pictures)) + u" Vorschaubilder",
                      {LineTarget::Kind::kFile, page});
    } else {
        RemoveOurFolder(fresh);
    }
    results->EndWork(!saved);
    TellSaveResult(result, kOverviewDialog.title);
    return false;
}

}  // namespace spurlese

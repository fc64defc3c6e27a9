#include "app/overview_save.h"

#include <string>
#include <vector>

#include "overview/overview_page.h"
#include "overview/thumbnail_maker.h"
#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "results_page/busy_loop.h"
#include "results_page/info_log.h"
#include "results_page/progress.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr int kWaitStep = 50;  // milliseconds between looks at the window

// Deletes the files of a folder of ours (the thumbnails' folder has no folders) and the folder.
void RemoveOurFolder(const std::u16string& folder) {
    if (platform::KindOfPath(folder) != platform::PathKind::kFolder) return;
    std::vector<std::u16string> files;
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"*")) {
        if (!entry.isDirectory) files.push_back(folder + u"\\" + entry.name);
    }
    for (const std::u16string& file : files) platform::DeleteFilePath(file);
    platform::RemoveEmptyFolder(folder);
}

void Warn(std::u16string_view text) {
    platform::ShowMessageBox(kOverviewDialog.title, text, platform::kWarningIcon);
}

}  // namespace

bool SaveOverview(const ScanRecord& record) {
    const platform::DialogResult chosen =
        platform::ChooseSaveFile(kOverviewDialog.title, kOverviewDialog.proposedName,
                                 kOverviewDialog.filter, kOverviewDialog.filterIndex);
    if (chosen.outcome == platform::DialogOutcome::kFailed)
        Warn(u"Das Fenster zum Speichern lie\u00DF sich nicht \u00F6ffnen:\n" + chosen.reason);
    if (chosen.outcome != platform::DialogOutcome::kChosen) return false;
    const std::u16string& page = chosen.path;
    const std::u16string_view name = FileNamePart(page);
    const std::u16string folderName =
        std::u16string(name.substr(0, name.rfind(u'.'))) + u"_Dateien";
    const std::u16string where(FolderPart(page));
    const std::u16string folder = where + folderName;
    // The new thumbnails go into a folder of their own first; the old folder waits aside until
    // the new page is written.
    const std::u16string fresh = where + u"~" + folderName + u".neu";
    const std::u16string old = where + u"~" + folderName + u".alt";
    RemoveOurFolder(fresh);  // what an ended save left
    if (!platform::CreateFolder(fresh)) {
        Warn(u"Der Ordner '" + fresh + u"' lie\u00DF sich nicht anlegen: " +
             platform::LastFileError().reason);
        return false;
    }

    const std::vector<std::u16string> files = overview::ThumbnailFiles(record);
    std::vector<overview::Thumbnail> thumbnails(files.size());
    platform::EnableControl(ctl::SaveResultsButton, false);
    BeginDisplayBatch();
    AddInfoLine(u"\u00DCbersicht: " + Decimal(static_cast<int64_t>(files.size())) +
                u" Vorschaubilder werden erstellt");
    FlushDisplayLines();
    const std::u16string into = fresh + u"\\";
    const platform::WorkHandle work = platform::StartWork(
        files.size(), platform::ProcessorCount(), [&files, &thumbnails, &into](size_t k) {
            thumbnails[k] = overview::MakeThumbnail(files[k], into);
        });
    BusyRequests requests;
    size_t done = 0;
    const auto total = static_cast<int64_t>(files.size());
    ShowProgress(0, total);
    while (!platform::WaitWork(work, kWaitStep, &done) && !requests.stop) {
        ShowProgress(static_cast<int64_t>(done), total);
        KeepWindowAlive(BusyWork::kOverview, &requests);
    }
    platform::FinishWork(work, requests.stop);
    const auto finish = [&](bool failed) {
        EndDisplayBatch();
        EndProgress(failed);
        platform::EnableControl(ctl::SaveResultsButton, true);
    };
    if (requests.stop) {
        RemoveOurFolder(fresh);
        AddInfoLine(u"\u00DCbersicht angehalten, nichts gespeichert");
        finish(false);
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
            result.written = WriteFileReplacing(page, bytes, &result.kept);
            if (result.written != WriteOutcome::kWritten) platform::RenameFile(folder, fresh);
        }
        if (hadOld && platform::KindOfPath(folder) == platform::PathKind::kNone)
            platform::RenameFile(old, folder);
    }
    if (result.written == WriteOutcome::kWritten) {
        RemoveOurFolder(old);
        size_t pictures = 0;
        for (const overview::Thumbnail& thumbnail : thumbnails)
            pictures += thumbnail.kind == overview::ThumbnailKind::kPicture ? 1 : 0;
        AddInfoLine(u"\u00DCbersicht gespeichert: '" + page + u"', " +
                        Decimal(static_cast<int64_t>(pictures)) + u" Vorschaubilder",
                    {LineTarget::Kind::kFile, page});
    } else {
        RemoveOurFolder(fresh);
    }
    finish(result.written != WriteOutcome::kWritten);
    TellSaveResult(result, kOverviewDialog.title);
    return false;
}

}  // namespace spurlese

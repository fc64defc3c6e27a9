#include "app/results_export.h"

#include <string>

#include "app/cross_reference.h"
#include "app/unused_files.h"
#include "platform/platform.h"
#include "results_page/info_log.h"
#include "scan/archive_walk.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// Text lines as the program writes them: byte-order mark, UTF-8, CR LF after every line. A text
// that cannot be converted whole is not written in part.
bool TextFileBytes(std::u16string_view text, std::string* bytes) {
    if (!platform::ConvertUtf16ToUtf8(text, bytes)) return false;
    *bytes = "\xEF\xBB\xBF" + *bytes + "\r\n";
    return true;
}

}  // namespace

SaveResult ExportResults() {
    const std::u16string text = platform::GetText(ctl::HitsText);
    // The filter has no "|": one entry described as "Text *.txt", listing every file.
    return SaveThroughDialog(kHitListDialog,
                             [&text](std::string* bytes) { return TextFileBytes(text, bytes); });
}

SaveResult SaveCrossReference(const ScanRecord& record) {
    return SaveThroughDialog(kCrossReferenceDialog, [&record](std::string* bytes) {
        return TextFileBytes(CrossReferenceText(record), bytes);
    });
}

SaveResult SaveUnusedFiles(ScanRecord* record, BusyRequests* requests) {
    WalkOutcome walk = WalkOutcome::kWalked;
    SaveResult result = SaveThroughDialog(kUnusedFilesDialog, [&](std::string* bytes) {
        BeginDisplayBatch();
        walk = WalkArchiveOnce(record, ReportOnResultsPage(BusyWork::kWalk, requests));
        EndDisplayBatch();
        return walk == WalkOutcome::kWalked && TextFileBytes(UnusedFilesText(*record), bytes);
    });
    if (walk == WalkOutcome::kRefused) {
        platform::ShowMessageBox(kUnusedFilesDialog.title,
                                 u"Der Basis Pfad '" + record->inputs.basePath +
                                     u"' ist kein vollst\u00E4ndiger Pfad. Ohne ihn l\u00E4sst "
                                     u"sich das Archiv nicht durchsuchen; es wurde nichts "
                                     u"gespeichert.",
                                 platform::kWarningIcon);
    }
    // Nothing was written, and nothing went wrong that a message should tell.
    if (walk != WalkOutcome::kWalked) result.dialog = platform::DialogOutcome::kCancelled;
    return result;
}

}  // namespace spurlese

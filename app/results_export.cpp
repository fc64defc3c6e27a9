#include "app/results_export.h"

#include <string>

#include "app/cross_reference.h"
#include "app/unread_projects.h"
#include "app/unused_files.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/archive_walk.h"

namespace spurlese {

namespace {

constexpr size_t kUnreadShown = 5;  // unread project files named in a message

// Text lines as the program writes them: byte-order mark, UTF-8, CR LF after every line. A text
// that cannot be converted whole is not written in part.
bool TextFileBytes(std::u16string_view text, std::string* bytes) {
    if (!platform::ConvertUtf16ToUtf8(text, bytes)) return false;
    *bytes = "\xEF\xBB\xBF" + *bytes + "\r\n";
    return true;
}

}  // namespace

SaveResult ExportResults(ResultsPage* page) {
    const std::u16string text = page->HitsText();
    // The filter has no "|": one entry described as "Text *.txt", listing every file.
    return SaveThroughDialog(kHitListDialog,
                             [&text](std::string* bytes) { return TextFileBytes(text, bytes); });
}

SaveResult SaveCrossReference(const ScanRecord& record) {
    return SaveThroughDialog(kCrossReferenceDialog, [&record](std::string* bytes) {
        return TextFileBytes(CrossReferenceText(record), bytes);
    });
}

bool RecordSawEverything(const ArchiveAct& act, const ScanRecord& record) {
    // Never an act that is missing a show: what only an unread show uses would count as unused,
    // and the family tidies up from these lists.
    if (!record.unread.empty()) {
        const size_t count = record.unread.size();
        platform::ShowMessageBox(
            act.title,
            std::u16string(act.refused) + u": " + Decimal(static_cast<int64_t>(count)) +
                (count == 1 ? u" Projektdatei wurde" : u" Projektdateien wurden") +
                u" nicht gelesen, und was nur diese Shows verwenden, " +
                std::u16string(act.unreadConsequence) + u".\n\n" +
                UnreadProjectLines(record, kUnreadShown) + u"\n\n" + std::u16string(kUnreadAdvice),
            platform::kWarningIcon);
        return false;
    }
    if (!record.archiveUnreachable.empty()) {
        platform::ShowMessageBox(
            act.title,
            ArchiveUnreachableText(record.inputs.basePath, record.archiveUnreachable, act.nothing),
            platform::kWarningIcon);
        return false;
    }
    return true;
}

bool ArchiveAsScanned(const ArchiveAct& act, ScanRecord* record, ResultsPage* page,
                      BusyRequests* requests) {
    page->BeginWork();
    const WalkOutcome walk =
        WalkArchiveOnce(record, page->ScanReportFor(BusyWork::kWalk, requests));
    const std::u16string notWalked =
        walk == WalkOutcome::kWalked ? UsedFileNotWalked(*record) : std::u16string();
    page->EndWork();
    const std::u16string& base = record->inputs.basePath;
    std::u16string refusal;
    if (walk == WalkOutcome::kRefused) {
        refusal = u"Der Basis Pfad '" + base +
                  u"' ist kein vollst\u00E4ndiger Pfad. Ohne ihn l\u00E4sst sich das Archiv nicht "
                  u"durchsuchen; " +
                  std::u16string(act.nothing) + u".";
    } else if (walk == WalkOutcome::kUnreachable) {
        refusal = ArchiveUnreachableText(base, ArchiveUnreachable(base), act.nothing);
    } else if (!notWalked.empty()) {
        refusal = u"Das Archiv hat sich seit der Suche ge\u00E4ndert: '" + notWalked +
                  u"', die eine Show verwendet, ist im Ordner '" +
                  std::u16string(WithoutFinalBackslash(FolderPart(notWalked))) +
                  u"' nicht mehr zu finden (umbenannt, verschoben oder nicht lesbar). Ihre Dateien "
                  u"g\u00E4lten als nicht verwendet; " +
                  std::u16string(act.nothing) + u". Bitte Spurlese neu starten und erneut suchen.";
    }
    // A walk the user stopped has said so in "Informationen".
    if (!refusal.empty()) platform::ShowMessageBox(act.title, refusal, platform::kWarningIcon);
    return walk == WalkOutcome::kWalked && notWalked.empty();
}

SaveResult SaveArchiveList(const ArchiveList& list, ScanRecord* record, ResultsPage* page,
                           BusyRequests* requests) {
    const std::u16string refused = std::u16string(list.name) + u" wird nicht gespeichert";
    const ArchiveAct act{list.dialog.title, refused, u"st\u00FCnde darin als nicht verwendet",
                         u"es wurde nichts gespeichert"};
    if (!RecordSawEverything(act, *record)) return SaveResult();  // told; nothing written
    bool made = false;
    SaveResult result = SaveThroughDialog(list.dialog, [&](std::string* bytes) {
        std::u16string text;
        made = ArchiveAsScanned(act, record, page, requests);
        if (made) {
            page->BeginWork();
            made = list.makeText(&text);
            page->EndWork();
        }
        return made && TextFileBytes(text, bytes);
    });
    // Nothing was written, and nothing went wrong that a message should tell (a refusal or a stop
    // has been told).
    if (result.dialog == platform::DialogOutcome::kChosen && !made)
        result.dialog = platform::DialogOutcome::kCancelled;
    return result;
}

SaveResult SaveUnusedFiles(ScanRecord* record, ResultsPage* page, BusyRequests* requests) {
    const ArchiveList list{kUnusedFilesDialog, u"Die Liste der nicht verwendeten Dateien",
                           [record](std::u16string* text) {
                               *text = UnusedFilesText(*record);
                               return true;
                           }};
    return SaveArchiveList(list, record, page, requests);
}

std::u16string ArchiveUnreachableText(std::u16string_view basePath, std::u16string_view why,
                                      std::u16string_view nothing) {
    return u"Das Archiv '" + std::u16string(basePath) + u"' ist nicht erreichbar: " +
           std::u16string(why) + u".\nEin Archiv, das nicht da ist, ist kein leeres Archiv; " +
           std::u16string(nothing) +
           u". Bitte das Laufwerk verbinden, Spurlese neu starten und erneut suchen.";
}

}  // namespace spurlese

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

SaveResult SaveArchiveList(const ArchiveList& list, ScanRecord* record, ResultsPage* page,
                           BusyRequests* requests) {
    const auto refuse = [&list](std::u16string_view text) {
        platform::ShowMessageBox(list.dialog.title, text, platform::kWarningIcon);
        return SaveResult();  // nothing written, and nothing more to tell
    };
    // Never a list that is missing a show: what only an unread show uses would stand in it as
    // unused, and the family tidies up from these lists.
    if (!record->unread.empty()) {
        const size_t count = record->unread.size();
        return refuse(
            std::u16string(list.name) + u" wird nicht gespeichert: " +
            Decimal(static_cast<int64_t>(count)) +
            (count == 1 ? u" Projektdatei wurde" : u" Projektdateien wurden") +
            u" nicht gelesen, und was nur diese Shows verwenden, st\u00FCnde darin als nicht "
            u"verwendet.\n\n" +
            UnreadProjectLines(*record, kUnreadShown) + u"\n\n" + std::u16string(kUnreadAdvice));
    }
    const std::u16string& base = record->inputs.basePath;
    if (!record->archiveUnreachable.empty())
        return refuse(ArchiveUnreachableText(base, record->archiveUnreachable));
    WalkOutcome walk = WalkOutcome::kWalked;
    std::u16string notWalked;
    bool made = false;
    SaveResult result = SaveThroughDialog(list.dialog, [&](std::string* bytes) {
        page->BeginWork();
        walk = WalkArchiveOnce(record, page->ScanReportFor(BusyWork::kWalk, requests));
        std::u16string text;
        if (walk == WalkOutcome::kWalked) {
            notWalked = UsedFileNotWalked(*record);
            made = notWalked.empty() && list.makeText(&text);
        }
        page->EndWork();
        return made && TextFileBytes(text, bytes);
    });
    if (walk == WalkOutcome::kRefused) {
        refuse(u"Der Basis Pfad '" + base +
               u"' ist kein vollst\u00E4ndiger Pfad. Ohne ihn l\u00E4sst sich das Archiv nicht "
               u"durchsuchen; es wurde nichts gespeichert.");
    } else if (walk == WalkOutcome::kUnreachable) {
        refuse(ArchiveUnreachableText(base, ArchiveUnreachable(base)));
    } else if (!notWalked.empty()) {
        refuse(u"Das Archiv hat sich seit der Suche ge\u00E4ndert: '" + notWalked +
               u"', die eine Show verwendet, ist im Ordner '" +
               std::u16string(WithoutFinalBackslash(FolderPart(notWalked))) +
               u"' nicht mehr zu finden (umbenannt, verschoben oder nicht lesbar). Die Liste "
               u"w\u00FCrde sie falsch f\u00FChren; es wurde nichts gespeichert. "
               u"Bitte Spurlese neu starten und erneut suchen.");
    }
    // Nothing was written, and nothing went wrong that a message should tell (a stop was said
    // in "Informationen").
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

std::u16string ArchiveUnreachableText(std::u16string_view basePath, std::u16string_view why) {
    return u"Das Archiv '" + std::u16string(basePath) + u"' ist nicht erreichbar: " +
           std::u16string(why) +
           u".\nEin Archiv, das nicht da ist, ist kein leeres Archiv; es wurde nichts "
           u"gespeichert. Bitte das Laufwerk verbinden, Spurlese neu starten und erneut suchen.";
}

}  // namespace spurlese

#include "results_page/busy_loop.h"

#include <string_view>

#include "platform/platform.h"
#include "results_page/info_log.h"
#include "results_page/progress.h"

namespace spurlese {

namespace {

// The question on the close box (`closing`) or Escape.
bool AskToStop(BusyWork work, bool closing) {
    const bool copy = work == BusyWork::kCopy;
    const std::u16string_view title = copy ? u"Verwendete Dateien kopieren" : u"Archiv durchsuchen";
    const std::u16string_view question =
        copy ? (closing
                    ? u"Das Kopieren l\u00E4uft noch.\nAnhalten und Spurlese beenden? Die Datei, "
                      u"die gerade kopiert wird, wird verworfen."
                    : u"Das Kopieren anhalten?\nDie Datei, die gerade kopiert wird, wird "
                      u"verworfen; fertig kopierte Dateien bleiben.")
             : (closing ? u"Das Archiv wird noch durchsucht.\nAnhalten und Spurlese beenden?"
                        : u"Das Durchsuchen des Archivs anhalten?");
    return platform::ShowMessageBox(title, question,
                                    platform::kYesNoButtons | platform::kWarningIcon) ==
           platform::kYesPressed;
}

}  // namespace

void KeepWindowAlive(BusyWork work, BusyRequests* requests) {
    FlushDisplayLinesNowAndThen();  // what was gathered shows when the window repaints
    if (work == BusyWork::kScan) {
        while (platform::DropPendingEvent()) {
        }
        return;
    }
    platform::Event event;
    while (platform::PollEvent(&event)) {
        if (event.number == platform::kCloseRequest && event.window == platform::kMainWindow) {
            // Once a stop is agreed, closing needs no second question.
            if (requests->stop || AskToStop(work, true)) requests->stop = requests->quit = true;
        } else if (event.number == platform::kCancelRequest && !requests->stop) {
            requests->stop = AskToStop(work, false);
        }
    }
}

ScanReport ReportOnResultsPage(BusyWork work, BusyRequests* requests) {
    ScanReport report;
    report.info = [](std::u16string_view text, LineTarget target) {
        AddInfoLine(text, std::move(target));
    };
    report.hit = [](std::u16string_view text, LineTarget target) {
        AddHitLine(text, std::move(target));
    };
    report.progress = [](int64_t done, int64_t total) { ShowProgress(done, total); };
    report.progressEnd = [] { EndProgress(); };
    report.busy = [work, requests] {
        KeepWindowAlive(work, requests);
        return !requests->stop;
    };
    report.showNow = [] { FlushDisplayLines(); };
    return report;
}

}  // namespace spurlese

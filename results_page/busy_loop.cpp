#include "results_page/busy_loop.h"

#include <string_view>

#include "platform/platform.h"
#include "results_page/info_log.h"
#include "results_page/progress.h"

namespace spurlese {

namespace {

// The questions of each kind of work that asks: its title, on Escape, and on the close box.
struct Questions {
    std::u16string_view title, onEscape, onClose;
};

Questions QuestionsOf(BusyWork work) {
    switch (work) {
        case BusyWork::kCopy:
            return {u"Verwendete Dateien kopieren",
                    u"Das Kopieren anhalten?\nDie Datei, die gerade kopiert wird, wird verworfen; "
                    u"fertig kopierte Dateien bleiben.",
                    u"Das Kopieren l\u00E4uft noch.\nAnhalten und Spurlese beenden? Die Datei, die "
                    u"gerade kopiert wird, wird verworfen."};
        case BusyWork::kOverview:
            return {u"\u00DCbersicht als Webseite speichern",
                    u"Das Erstellen der \u00DCbersicht anhalten?",
                    u"Die \u00DCbersicht wird noch erstellt.\nAnhalten und Spurlese beenden?"};
        case BusyWork::kWalk:
        case BusyWork::kScan:
            break;
    }
    return {u"Archiv durchsuchen", u"Das Durchsuchen des Archivs anhalten?",
            u"Das Archiv wird noch durchsucht.\nAnhalten und Spurlese beenden?"};
}

// The question on the close box (`closing`) or Escape.
bool AskToStop(BusyWork work, bool closing) {
    const Questions questions = QuestionsOf(work);
    return platform::ShowMessageBox(
               questions.title, closing ? questions.onClose : questions.onEscape,
               platform::kYesNoButtons | platform::kWarningIcon) == platform::kYesPressed;
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

#include "results_page/results_page.h"

#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr int64_t kFlushInterval = 500;  // milliseconds

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
        case BusyWork::kTidy:
            return {u"Aufr\u00E4umen",
                    u"Nach der Datei, die gerade verschoben wird, anhalten?\nDie Liste "
                    u"Spurlese_Beiseitegelegt.txt nennt jede Datei, die schon verschoben ist.",
                    u"Das Aufr\u00E4umen l\u00E4uft noch.\nNach der Datei, die gerade verschoben "
                    u"wird, anhalten und Spurlese beenden?"};
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

ResultsPage::ResultsPage() : info_(ctl::InfoText), hits_(ctl::HitsText) {}

// ---- The displays ----

ResultsPage::Display& ResultsPage::Current(Display* display) {
    const intptr_t window = platform::WindowNativeHandle(platform::kMainWindow);
    if (display->window != window) *display = Display(display->control);
    display->window = window;
    return *display;
}

// Appends the gathered lines in one insertion, as line-by-line appends would leave them: a line
// break before each line once the display holds text.
void ResultsPage::Flush(Display* display) {
    Display& d = Current(display);
    if (d.pending.empty()) return;
    std::u16string text;
    bool begun = false;
    for (const std::u16string& line : d.pending) {
        if (!d.hasText && !begun && line.empty()) continue;  // no text yet: nothing to add
        if (begun) text += u"\r\n";
        text += line;
        begun = true;
    }
    if (begun) {
        platform::AppendLine(d.control, text);
        d.hasText = true;
    }
    platform::ScrollToInsertionPoint(d.control);
    d.pending.clear();
}

bool ResultsPage::AddLine(Display* display, std::u16string_view text, LineTarget target) {
    if (!platform::WindowExists(platform::kMainWindow)) return false;
    Display& d = Current(display);
    // A line break goes before every line but the first; an empty first line adds none.
    if (d.lines > 0 || !text.empty()) {
        if (target.kind != LineTarget::Kind::kNone) d.targets[d.lines] = std::move(target);
        d.lines += 1 + std::count(text.begin(), text.end(), u'\r');
    }
    if (batching_) {
        d.pending.emplace_back(text);
    } else {
        if (d.hasText || !text.empty()) platform::AppendLine(d.control, text);
        d.hasText = d.hasText || !text.empty();
        platform::ScrollToInsertionPoint(d.control);
    }
    return true;
}

bool ResultsPage::Info(std::u16string_view text, LineTarget target) {
    return AddLine(&info_, text, std::move(target));
}

bool ResultsPage::Hit(std::u16string_view text, LineTarget target) {
    return AddLine(&hits_, text, std::move(target));
}

LineTarget ResultsPage::TargetOfLine(int control, int64_t line) {
    Display* display = control == info_.control   ? &info_
                       : control == hits_.control ? &hits_
                                                  : nullptr;
    if (!display) return {};
    const Display& d = Current(display);
    const auto found = d.targets.find(line);
    return found == d.targets.end() ? LineTarget() : found->second;
}

void ResultsPage::ClearHits() {
    Display& d = Current(&hits_);
    platform::ClearText(d.control);
    d = Display(d.control);
    d.window = platform::WindowNativeHandle(platform::kMainWindow);
}

std::u16string ResultsPage::HitsText() {
    ShowNow();
    return platform::GetText(hits_.control);
}

// ---- Long work ----

void ResultsPage::ShowNow() {
    lastFlush_ = platform::MonotonicMilliseconds();
    if (!platform::WindowExists(platform::kMainWindow)) return;
    Flush(&info_);
    Flush(&hits_);
}

void ResultsPage::FlushNowAndThen() {
    if (platform::MonotonicMilliseconds() - lastFlush_ >= kFlushInterval) ShowNow();
}

void ResultsPage::BeginWork() {
    platform::EnableControl(ctl::SaveResultsButton, false);
    ShowNow();
    batching_ = true;
}

void ResultsPage::EndWork(bool failed) {
    ShowNow();
    batching_ = false;
    EndProgress(failed);
    platform::EnableControl(ctl::SaveResultsButton, true);
}

void ResultsPage::TellTaskbar() {
    const int64_t perMille = shown_.total > 0 ? shown_.done * 1000 / shown_.total : 0;
    if (perMille == shown_.perMille) return;
    shown_.perMille = perMille;
    platform::SetTaskbarProgress(platform::TaskbarState::kNormal, perMille, 1000);
}

void ResultsPage::ShowProgress(int64_t done, int64_t total) {
    const bool newTotal = total != shown_.total;
    if (newTotal) {
        if (shown_.total < 0) platform::SetMinimum(ctl::ScanProgress, 0);
        platform::SetMaximum(ctl::ScanProgress, total);
        shown_.total = total;
    }
    if (newTotal || done != shown_.done) platform::SetState(ctl::ScanProgress, done);
    shown_.done = done;
    TellTaskbar();
}

void ResultsPage::EndProgress(bool failed) {
    if (shown_.total >= 0 && shown_.done != shown_.total) {
        platform::SetState(ctl::ScanProgress, shown_.total);
        shown_.done = shown_.total;
    }
    shown_.perMille = -1;
    if (failed) {
        platform::SetTaskbarProgress(platform::TaskbarState::kError, 1000, 1000);
    } else {
        platform::SetTaskbarProgress(platform::TaskbarState::kNone, 0, 0);
    }
}

void ResultsPage::KeepWindowAlive(BusyWork work, BusyRequests* requests) {
    FlushNowAndThen();  // what was gathered shows when the window repaints
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

WorkReport ResultsPage::Report(BusyWork work, BusyRequests* requests) {
    WorkReport report;
    report.progress = [this](int64_t done, int64_t total) { ShowProgress(done, total); };
    report.busy = [this, work, requests] {
        KeepWindowAlive(work, requests);
        return !requests->stop;
    };
    return report;
}

ScanReport ResultsPage::ScanReportFor(BusyWork work, BusyRequests* requests) {
    ScanReport report;
    static_cast<WorkReport&>(report) = Report(work, requests);
    report.info = [this](std::u16string_view text, LineTarget target) {
        Info(text, std::move(target));
    };
    report.hit = [this](std::u16string_view text, LineTarget target) {
        Hit(text, std::move(target));
    };
    report.progressEnd = [this] { EndProgress(); };
    report.showNow = [this] { ShowNow(); };
    return report;
}

}  // namespace spurlese

#include "results_page/info_log.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// A display as the program has filled it, so that nothing needs reading back from the control.
struct Display {
    explicit Display(int number) : control(number) {}
    int control;
    intptr_t window = 0;   // the window whose display this is: a new window starts empty
    bool hasText = false;  // the control holds text (an empty first line leaves none)
    std::vector<std::u16string> pending;  // gathered lines not yet in the control
    // The lines as they will be once the pending ones are in, and what they stand for.
    int64_t lines = 0;
    std::unordered_map<int64_t, LineTarget> targets;
};

constexpr int64_t kFlushInterval = 500;  // milliseconds

bool gBatching = false;
int64_t gLastFlush = 0;
Display gInfo(ctl::InfoText);
Display gHits(ctl::HitsText);

// The display's state, reset when it belongs to a window made since.
Display& Current(Display* display) {
    const intptr_t window = platform::WindowNativeHandle(platform::kMainWindow);
    if (display->window != window) *display = Display(display->control);
    display->window = window;
    return *display;
}

// Appends the gathered lines in one insertion, as line-by-line appends would leave them: a line
// break before each line once the display holds text.
void Flush(Display* display) {
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
    ScrollToCaret(d.control);
    d.pending.clear();
}

bool AddLine(Display* display, std::u16string_view text, LineTarget target) {
    if (!platform::WindowExists(platform::kMainWindow)) return false;
    Display& d = Current(display);
    // A line break goes before every line but the first; an empty first line adds none.
    if (d.lines > 0 || !text.empty()) {
        if (target.kind != LineTarget::Kind::kNone) d.targets[d.lines] = std::move(target);
        d.lines += 1 + std::count(text.begin(), text.end(), u'\r');
    }
    if (gBatching) {
        d.pending.emplace_back(text);
    } else {
        if (d.hasText || !text.empty()) platform::AppendLine(d.control, text);
        d.hasText = d.hasText || !text.empty();
        ScrollToCaret(d.control);
    }
    return true;
}

}  // namespace

bool AddInfoLine(std::u16string_view text, LineTarget target) {
    return AddLine(&gInfo, text, std::move(target));
}

bool AddHitLine(std::u16string_view text, LineTarget target) {
    return AddLine(&gHits, text, std::move(target));
}

LineTarget TargetOfLine(int control, int64_t line) {
    Display* display = control == gInfo.control   ? &gInfo
                       : control == gHits.control ? &gHits
                                                  : nullptr;
    if (!display) return {};
    const Display& d = Current(display);
    const auto found = d.targets.find(line);
    return found == d.targets.end() ? LineTarget() : found->second;
}

void ClearHitList() {
    Display& d = Current(&gHits);
    platform::ClearText(d.control);
    d = Display(d.control);
    d.window = platform::WindowNativeHandle(platform::kMainWindow);
}

void ScrollToCaret(int control) {
    platform::ScrollToInsertionPoint(control);
}

void BeginDisplayBatch() {
    FlushDisplayLines();
    gBatching = true;
}

void FlushDisplayLines() {
    gLastFlush = platform::MonotonicMilliseconds();
    if (!platform::WindowExists(platform::kMainWindow)) return;
    Flush(&gInfo);
    Flush(&gHits);
}

void FlushDisplayLinesNowAndThen() {
    if (platform::MonotonicMilliseconds() - gLastFlush >= kFlushInterval) FlushDisplayLines();
}

void EndDisplayBatch() {
    FlushDisplayLines();
    gBatching = false;
}

void ResetDisplays() {
    gBatching = false;
    gLastFlush = 0;
    gInfo = Display(ctl::InfoText);
    gHits = Display(ctl::HitsText);
}

}  // namespace spurlese

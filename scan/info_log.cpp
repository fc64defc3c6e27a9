#include "scan/info_log.h"

#include <string>

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// Lines gathered for one display: `added` is what line-by-line appends would add to its text.
struct Batch {
    explicit Batch(int display) : control(display) {}
    int control;
    std::u16string added;
    bool displayHasText = false;
    bool pending = false;
};

constexpr int64_t kFlushInterval = 500;  // milliseconds

bool gBatching = false;
int64_t gLastFlush = 0;
Batch gInfoBatch(ctl::InfoText);
Batch gHitBatch(ctl::HitsText);

void Gather(Batch* batch, std::u16string_view text) {
    if (!batch->pending) {
        batch->displayHasText = platform::TextLength(batch->control) > 0;
        batch->pending = true;
    }
    if (batch->displayHasText || !batch->added.empty()) batch->added += u"\r\n";
    batch->added += text;
}

void Flush(Batch* batch) {
    if (!batch->pending) return;
    // AppendLine puts the line break before the text itself when the display has text.
    std::u16string_view text = batch->added;
    if (batch->displayHasText) text.remove_prefix(2);
    if (batch->displayHasText || !text.empty()) platform::AppendLine(batch->control, text);
    ScrollToCaret(batch->control);
    batch->added.clear();
    batch->pending = false;
}

bool AddLine(Batch* batch, std::u16string_view text) {
    if (!platform::WindowExists(platform::kMainWindow)) return false;
    if (gBatching) {
        Gather(batch, text);
    } else {
        platform::AppendLine(batch->control, text);
        ScrollToCaret(batch->control);
    }
    return true;
}

}  // namespace

bool AddInfoLine(std::u16string_view text) {
    return AddLine(&gInfoBatch, text);
}

bool AddHitLine(std::u16string_view text) {
    return AddLine(&gHitBatch, text);
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
    if (!platform::WindowExists(platform::kMainWindow)) {
        gInfoBatch = Batch(ctl::InfoText);
        gHitBatch = Batch(ctl::HitsText);
        return;
    }
    Flush(&gInfoBatch);
    Flush(&gHitBatch);
}

void FlushDisplayLinesNowAndThen() {
    if (platform::MonotonicMilliseconds() - gLastFlush >= kFlushInterval) FlushDisplayLines();
}

void EndDisplayBatch() {
    FlushDisplayLines();
    gBatching = false;
}

}  // namespace spurlese

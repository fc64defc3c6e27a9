#include "scan/info_log.h"

#include "platform/platform.h"
#include "ui/controls.h"

namespace {

bool AddLine(int control, std::u16string_view text) {
    if (!platform::WindowExists(platform::kMainWindow)) return false;
    platform::AppendLine(control, text);
    ScrollToCaret(control);
    return true;
}

}  // namespace

bool AddInfoLine(std::u16string_view text) {
    return AddLine(ctl::InfoText, text);
}

bool AddHitLine(std::u16string_view text) {
    return AddLine(ctl::HitsText, text);
}

void ScrollToCaret(int control) {
    platform::ScrollToInsertionPoint(control);
}

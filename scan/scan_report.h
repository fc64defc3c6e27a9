// What a scan (and the archive's walk) tells while it runs: lines for "Informationen" and
// "Treffer", its progress, and the moments between its steps, when the window is kept alive. The
// program wires these to the results page; the scan knows nothing of the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/work_report.h"

namespace spurlese {

// What a shown line stands for, so that a double click on it can show it in Explorer: a file, or
// a path that may be gone (a missing file), for which the nearest folder that exists will do.
struct LineTarget {
    enum class Kind { kNone, kFile, kNearestFolder };
    Kind kind = Kind::kNone;
    std::u16string path;
};

// The lines of a scan besides its progress and its moments between steps (WorkReport).
struct ScanReport : WorkReport {
    std::function<void(std::u16string_view text, LineTarget target)> info;
    std::function<void(std::u16string_view text, LineTarget target)> hit;
    std::function<void()> progressEnd;
    // What was told so far should be seen now (the opening line of a scan).
    std::function<void()> showNow;

    void Info(std::u16string_view text, LineTarget target = {}) const {
        if (info) info(text, std::move(target));
    }
    void Hit(std::u16string_view text, LineTarget target = {}) const {
        if (hit) hit(text, std::move(target));
    }
    void ProgressEnd() const {
        if (progressEnd) progressEnd();
    }
    void ShowNow() const {
        if (showNow) showNow();
    }
};

}  // namespace spurlese

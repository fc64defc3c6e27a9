// What a scan (and the archive's walk) tells while it runs: lines for "Informationen" and
// "Treffer", its progress, and the moments between its steps, when the window is kept alive. The
// program wires these to the results page; the scan knows nothing of the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace spurlese {

// What a shown line stands for, so that a double click on it can show it in Explorer: a file, or
// a path that may be gone (a missing file), for which the nearest folder that exists will do.
struct LineTarget {
    enum class Kind { kNone, kFile, kNearestFolder };
    Kind kind = Kind::kNone;
    std::u16string path;
};

struct ScanReport {
    std::function<void(std::u16string_view text, LineTarget target)> info;
    std::function<void(std::u16string_view text, LineTarget target)> hit;
    // Done so far of `total` steps; a total that grows (a walk finds more folders) is given again.
    std::function<void(int64_t done, int64_t total)> progress;
    std::function<void()> progressEnd;
    // Between steps of long work. False: the user asked to stop (only work that may stop asks).
    std::function<bool()> busy;
    // What was told so far should be seen now (the opening line of a scan).
    std::function<void()> showNow;

    void Info(std::u16string_view text, LineTarget target = {}) const {
        if (info) info(text, std::move(target));
    }
    void Hit(std::u16string_view text, LineTarget target = {}) const {
        if (hit) hit(text, std::move(target));
    }
    void Progress(int64_t done, int64_t total) const {
        if (progress) progress(done, total);
    }
    void ProgressEnd() const {
        if (progressEnd) progressEnd();
    }
    bool Busy() const { return !busy || busy(); }
    void ShowNow() const {
        if (showNow) showNow();
    }
};

}  // namespace spurlese

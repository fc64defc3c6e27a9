// How long work tells its progress and learns that the user wants it stopped. The scan, the
// archive's walk, the copy and the making of thumbnails all report through this one interface;
// the program wires it to the results page (the bar, the taskbar button and the busy loop).
#pragma once

#include <cstdint>
#include <functional>

namespace spurlese {

struct WorkReport {
    // Done so far of `total` steps; a total that grows (a walk finds more folders) is given again.
    std::function<void(int64_t done, int64_t total)> progress;
    // Between steps of the work, where the window is kept alive. False: the user asked to stop
    // (only work that may stop ever hears it).
    std::function<bool()> busy;

    void Progress(int64_t done, int64_t total) const {
        if (progress) progress(done, total);
    }
    bool Busy() const { return !busy || busy(); }
};

}  // namespace spurlese

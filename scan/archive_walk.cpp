#include "scan/archive_walk.h"

#include <string>

#include "archive/candidates.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/hit_filter.h"
#include "scan/info_log.h"
#include "scan/progress.h"
#include "scan/scan_driver.h"
#include "scan/scan_state.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr int64_t kRepaintInterval = 100;  // milliseconds

// Seconds with one decimal, as German writes them: "3,2".
std::u16string Seconds(int64_t milliseconds) {
    const int64_t tenths = (milliseconds + 50) / 100;
    return Decimal(tenths / 10) + u"," + Decimal(tenths % 10);
}

}  // namespace

const archive::ArchiveIndex& WalkArchiveOnce() {
    if (scanState.archive.walked) return scanState.archive;
    int64_t lastPump = platform::MonotonicMilliseconds();
    archive::WalkObserver observer;
    observer.unlistable = [](std::u16string_view folder) {
        AddInfoLine(u"Error examining the path '" + std::u16string(folder) + u"'");
    };
    observer.progress = [&lastPump](size_t done, size_t total) {
        if (platform::MonotonicMilliseconds() - lastPump < kRepaintInterval) return;
        ShowProgress(static_cast<int64_t>(done), static_cast<int64_t>(total));
        PumpEvents();
        lastPump = platform::MonotonicMilliseconds();
    };
    scanState.archive = archive::WalkArchive(scanState.inputs.basePath, kMediaExtensions, observer);
    EndProgress();
    const archive::ArchiveIndex& index = scanState.archive;
    const auto files = static_cast<int64_t>(index.filesWalked);
    const auto folders = static_cast<int64_t>(index.foldersWalked);
    AddInfoLine(u"Archiv durchsucht: " + Decimal(files) + (files == 1 ? u" Datei" : u" Dateien") +
                u" in " + Decimal(folders) + (folders == 1 ? u" Ordner, " : u" Ordnern, ") +
                Seconds(index.milliseconds) + u" s");
    scanState.candidates = archive::FindCandidates(index, scanState.missing);
    return index;
}

const std::vector<std::vector<uint32_t>>& MissingCandidates() {
    return scanState.candidates;
}

}  // namespace spurlese

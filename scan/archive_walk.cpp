#include "scan/archive_walk.h"

#include <atomic>
#include <string>
#include <vector>

#include "archive/candidates.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

// Seconds with one decimal, as German writes them: "3,2".
std::u16string Seconds(int64_t milliseconds) {
    const int64_t tenths = (milliseconds + 50) / 100;
    return Decimal(tenths / 10) + u"," + Decimal(tenths % 10);
}

}  // namespace

bool IsFullPath(std::u16string_view path) {
    const bool drive =
        path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    const bool share = path.size() >= 5 && path.substr(0, 2) == u"\\\\" &&
                       path.find(u'\\', 2) != std::u16string_view::npos;
    return drive || share;
}

std::u16string ArchiveUnreachable(std::u16string_view basePath) {
    const std::u16string base(WithoutFinalBackslash(basePath));
    if (platform::KindOfPath(WithFinalBackslash(base)) == platform::PathKind::kFolder) return {};
    std::u16string root;
    if (base.size() >= 2 && base[1] == u':') {
        root = base.substr(0, 2);
    } else if (base.starts_with(u"\\\\")) {
        const size_t server = base.find(u'\\', 2);
        const size_t share = server == std::u16string::npos ? server : base.find(u'\\', server + 1);
        root = base.substr(0, share);
    }
    if (root.empty()) return u"der Ordner '" + base + u"' ist nicht da";
    const bool drive = root.size() == 2;
    if (platform::KindOfPath(root + u"\\") != platform::PathKind::kFolder) {
        return (drive ? u"das Laufwerk " : u"die Freigabe ") + root +
               u" ist nicht verbunden oder antwortet nicht";
    }
    return u"der Ordner '" + base + u"' ist auf " + root + u" nicht da";
}

// What the walk's worker shares with the scan: the worker writes `index` and `unlistable`, which
// are read only once it has ended.
struct EarlyWalk::State {
    std::u16string basePath;
    std::atomic<bool> stop{false};
    std::atomic<int64_t> done{0}, total{0};
    archive::ArchiveIndex index;
    std::vector<std::u16string> unlistable;
};

EarlyWalk::~EarlyWalk() {
    if (state_) state_->stop = true;  // then `work_` waits for the folder under way
}

void EarlyWalk::BeginOnce(std::u16string_view basePath) {
    if (state_) return;
    state_ = std::make_shared<State>();
    state_->basePath = basePath;
    if (!IsFullPath(WithFinalBackslash(basePath)) || !ArchiveUnreachable(basePath).empty()) return;
    work_ = platform::OwnedWork(platform::StartWork(1, 1, [state = state_](size_t) {
        archive::WalkObserver observer;
        observer.unlistable = [&state](std::u16string_view folder) {
            state->unlistable.emplace_back(folder);
        };
        observer.progress = [&state](int64_t done, int64_t total) {
            state->done = done;
            state->total = total;
        };
        observer.busy = [&state] { return !state->stop; };
        state->index = archive::WalkArchive(state->basePath, observer);
    }));
}

bool EarlyWalk::Take(std::u16string_view basePath, const ScanReport& report,
                     archive::ArchiveIndex* index, std::vector<std::u16string>* unlistable) {
    if (!work_ || state_->basePath != basePath) return false;
    size_t ended = 0;
    while (!platform::WaitWork(work_.Get(), 100, &ended)) {
        if (const int64_t total = state_->total; total > 0) report.Progress(state_->done, total);
        if (!report.Busy()) state_->stop = true;
    }
    platform::FinishWork(work_.Take(), false);
    *index = std::move(state_->index);
    *unlistable = std::move(state_->unlistable);
    return true;
}

WalkOutcome WalkArchiveOnce(ScanRecord* record, const ScanReport& report, EarlyWalk* early) {
    if (record->archive.walked) return WalkOutcome::kWalked;
    const std::u16string& base = record->inputs.basePath;
    // An empty or relative base path would walk the current drive or folder, not the archive.
    if (!IsFullPath(WithFinalBackslash(base))) {
        report.Info(u"Der Basis Pfad '" + base +
                    u"' ist kein vollst\u00E4ndiger Pfad; das Archiv wird nicht durchsucht.");
        return WalkOutcome::kRefused;
    }
    if (const std::u16string why = ArchiveUnreachable(base); !why.empty()) {
        report.Info(u"Das Archiv '" + base + u"' ist nicht erreichbar: " + why + u".");
        return WalkOutcome::kUnreachable;
    }
    archive::ArchiveIndex index;
    std::vector<std::u16string> unlistable;
    const auto tellUnlistable = [&report](std::u16string_view folder) {
        report.Info(u"Error examining the path '" + std::u16string(folder) + u"'");
    };
    if (early && early->Take(base, report, &index, &unlistable)) {
        for (const std::u16string& folder : unlistable) tellUnlistable(folder);
    } else {
        archive::WalkObserver observer;
        observer.unlistable = tellUnlistable;
        // After every folder: a listing costs far more than a look at the window's events, and
        // the bar moves only when one of the base path's own folders is done.
        observer.progress = [&report](int64_t done, int64_t total) {
            // An archive without folders has no steps to show: the bar stays as it is.
            if (total > 0) report.Progress(done, total);
        };
        observer.busy = [&report] { return report.Busy(); };
        index = archive::WalkArchive(base, observer);
    }
    report.ProgressEnd();
    if (!index.walked) {
        report.Info(u"Durchsuchen des Archivs angehalten");
        return WalkOutcome::kStopped;
    }
    const auto files = static_cast<int64_t>(index.filesWalked);
    const auto folders = static_cast<int64_t>(index.foldersWalked);
    report.Info(u"Archiv durchsucht: " + Decimal(files) + (files == 1 ? u" Datei" : u" Dateien") +
                u" in " + Decimal(folders) + (folders == 1 ? u" Ordner, " : u" Ordnern, ") +
                Seconds(index.milliseconds) + u" s");
    record->archive = std::move(index);
    record->candidates = archive::FindCandidates(record->archive, record->missing);
    return WalkOutcome::kWalked;
}

}  // namespace spurlese

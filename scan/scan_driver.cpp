#include "scan/scan_driver.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/archive_walk.h"
#include "scan/directory_examination.h"
#include "scan/extractor_runner.h"
#include "scan/hit_filter.h"
#include "scan/info_log.h"
#include "scan/progress.h"
#include "scan/scan_state.h"
#include "settings/app_settings.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

std::u16string WithoutFinalBackslash(std::u16string_view folder) {
    if (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    return std::u16string(folder);
}

// Sorted by text without regard to letter case, texts that differ only in letter case by the
// exact text, so that equal texts stand together; equal texts keep their order. Each text is
// lowered once, not at every comparison.
template <typename T, typename Key>
void SortIgnoringCase(std::vector<T>* items, Key key) {
    std::vector<std::pair<std::u16string, size_t>> keyed;
    keyed.reserve(items->size());
    for (size_t i = 0; i < items->size(); ++i) {
        keyed.emplace_back(platform::LowerCase(key((*items)[i])), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return key((*items)[a.second]) < key((*items)[b.second]);
    });
    std::vector<T> sorted;
    sorted.reserve(items->size());
    for (const auto& entry : keyed) sorted.push_back(std::move((*items)[entry.second]));
    *items = std::move(sorted);
}

// How many candidates of a missing file are named; "and N more" tells the rest.
constexpr size_t kCandidatesShown = 3;

// After "Done": the media files that more than one project refers to, each followed by those
// projects, then every referenced media file that is missing, each followed by the archive's
// files of the same name, where it may be now. A hit is told apart as "Treffer" shows it: by its
// exact text, letter case included. The archive is walked only when something is missing.
void ReportSharedAndMissing() {
    std::vector<HitSource> sources = HitSources();
    SortIgnoringCase(&sources, [](const HitSource& s) -> const std::u16string& { return s.hit; });
    for (size_t i = 0; i < sources.size();) {
        size_t j = i;
        while (j < sources.size() && sources[j].hit == sources[i].hit) ++j;
        if (j - i > 1) {
            AddInfoLine(sources[i].hit, {LineTarget::Kind::kFile, sources[i].hit});
            for (size_t k = i; k < j; ++k) {
                AddInfoLine(u"   " + sources[k].projectFile,
                            {LineTarget::Kind::kFile, sources[k].projectFile});
            }
        }
        i = j;
    }
    if (MissingMediaFiles().empty()) return;
    const archive::ArchiveIndex& index = WalkArchiveOnce();
    std::vector<size_t> order(MissingMediaFiles().size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    SortIgnoringCase(&order,
                     [](size_t k) -> const std::u16string& { return MissingMediaFiles()[k]; });
    for (size_t k : order) {
        AddInfoLine(u"Missing '" + MissingMediaFiles()[k] + u"'",
                    {LineTarget::Kind::kNearestFolder, MissingMediaFiles()[k]});
        const std::vector<uint32_t>& candidates = MissingCandidates()[k];
        for (size_t c = 0; c < candidates.size() && c < kCandidatesShown; ++c) {
            const std::u16string candidate = index.Path(index.files[candidates[c]]);
            AddInfoLine(u"   maybe now '" + candidate + u"'", {LineTarget::Kind::kFile, candidate});
        }
        if (candidates.size() > kCandidatesShown)
            AddInfoLine(u"   and " +
                        Decimal(static_cast<int64_t>(candidates.size() - kCandidatesShown)) +
                        u" more");
    }
}

}  // namespace

int64_t CountMatchingFiles(std::u16string_view directory, std::u16string_view pattern) {
    platform::Listing listing(directory, pattern);
    if (!listing.IsOpen()) return -1;
    std::u16string reduced(pattern);
    for (size_t at; (at = reduced.find(u"*.")) != std::u16string::npos;) reduced.erase(at, 2);
    int64_t count = 0;
    for (const platform::ListingEntry& entry : listing) {
        if (entry.isDirectory) continue;
        const size_t dot = entry.name.rfind(u'.');
        const std::u16string extension =
            dot == std::u16string::npos ? std::u16string() : entry.name.substr(dot + 1);
        if (platform::LowerCase(extension) == reduced) ++count;
    }
    return count;
}

int64_t PumpEvents() {
    FlushDisplayLinesNowAndThen();  // what was gathered shows when the window repaints
    int64_t taken = 0;
    while (platform::DropPendingEvent()) ++taken;
    return taken;
}

int64_t RunScan() {
    // Read once: the window cannot change while the scan runs.
    const ScanInputs inputs = ReadScanInputs();
    const std::u16string& directory = inputs.projectDirectory;
    ClearHitList();
    // Two rules on purpose: the total counts files whose extension is mph in any letter case,
    // while the listing takes all the wildcard accepts (on Windows also longer extensions such as
    // .mphx, through their short names), so the bar may show full before the last file.
    const int64_t total = CountMatchingFiles(directory, u"*.mph");

    platform::Listing listing(directory, u"*.mph");
    if (!listing.IsOpen()) {
        // Said, not silent: otherwise the user sees an empty page and no reason.
        AddInfoLine(u"Error examining the path '" + WithoutFinalBackslash(directory) + u"'");
        return -1;
    }
    BeginDisplayBatch();
    platform::EnableControl(ctl::ApplyFilterButton, false);
    AddInfoLine(u"Es wird gesucht unter '" + directory + u"' nach treffern in '" +
                inputs.basePathText + u"'");
    FlushDisplayLines();  // the first line shows at once
    ResetScanState();     // everything the scan keeps starts empty
    scanState.inputs = inputs;
    BeginListingCache();

    std::vector<std::u16string> projectFiles;
    for (const platform::ListingEntry& entry : listing) {
        // Joined literally: a folder that ends in a backslash (a drive root, any folder from the
        // picker) gives a doubled one, which Windows reads as one; the log shows it as it is.
        if (!entry.isDirectory) projectFiles.push_back(directory + u"\\" + entry.name);
        PumpEvents();
    }
    listing.Close();  // before the extractors start
    scanState.projectFiles = projectFiles;

    BeginProgress(total);
    RunExtractorsInTurn(projectFiles, inputs.minLength,
                        [&projectFiles, &inputs](size_t k, ExtractorRun* run) {
                            AddInfoLine(u"Filtering '" + projectFiles[k] + u"'",
                                        {LineTarget::Kind::kFile, projectFiles[k]});
                            FinishExtractor(run, inputs);
                            ShowProgress(static_cast<int64_t>(k));
                            PumpEvents();
                        });
    ShowProgress(total);
    AddInfoLine(u"Done");
    ReportSharedAndMissing();
    EndProgress();
    EndListingCache();
    EndDisplayBatch();
    platform::EnableControl(ctl::ApplyFilterButton, true);
    return 1;
}

}  // namespace spurlese

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
#include "scan/scan_work.h"

namespace spurlese {

namespace {

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

// A line that names a hit stands for the file the hit names.
LineTarget FileTarget(const ScanRecord& record, const std::u16string& hit) {
    const FileIdentity& identity = record.IdentityOf(hit);
    return {LineTarget::Kind::kFile,
            identity.kind == FileIdentity::Kind::kFile ? identity.path : hit};
}

// How many candidates of a missing file are named; "and N more" tells the rest.
constexpr size_t kCandidatesShown = 3;

// After "Done": the media files that more than one project refers to, each followed by those
// projects, then every referenced media file that is missing, each followed by the archive's
// files of the same name, where it may be now. A hit is told apart as "Treffer" shows it: by its
// exact text, letter case included. The archive is walked only when something is missing (from
// the first missing file on, on a worker: `early`).
void ReportSharedAndMissing(ScanRecord* record, const ScanReport& report, EarlyWalk* early) {
    // Each hit's references in the order met; only the hits of more than one project are sorted.
    TextMap<std::vector<size_t>> byHit;
    for (size_t k = 0; k < record->hits.size(); ++k) byHit[record->hits[k].hit].push_back(k);
    std::vector<const std::vector<size_t>*> shared;
    for (const auto& [hit, references] : byHit) {
        if (references.size() > 1) shared.push_back(&references);
    }
    SortIgnoringCase(&shared,
                     [record](const std::vector<size_t>* references) -> const std::u16string& {
                         return record->hits[references->front()].hit;
                     });
    for (const std::vector<size_t>* references : shared) {
        const std::u16string& hit = record->hits[references->front()].hit;
        report.Info(hit, FileTarget(*record, hit));
        for (size_t k : *references) {
            const std::u16string& project = record->hits[k].projectFile;
            report.Info(u"   " + project, {LineTarget::Kind::kFile, project});
        }
    }
    const std::vector<std::u16string>& missing = record->missing;
    if (missing.empty()) return;
    const bool walked = record->archiveUnreachable.empty() &&
                        WalkArchiveOnce(record, report, early) == WalkOutcome::kWalked;
    const archive::ArchiveIndex& index = record->archive;
    std::vector<size_t> order(missing.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    SortIgnoringCase(&order, [&missing](size_t k) -> const std::u16string& { return missing[k]; });
    for (size_t k : order) {
        const FileIdentity& identity = record->IdentityOf(missing[k]);
        report.Info(
            u"Missing '" + missing[k] + u"'",
            {LineTarget::Kind::kNearestFolder, identity.path.empty() ? missing[k] : identity.path});
        if (!walked) continue;
        const std::vector<uint32_t>& candidates = record->candidates[k];
        for (size_t c = 0; c < candidates.size() && c < kCandidatesShown; ++c) {
            const std::u16string candidate = index.Path(index.files[candidates[c]]);
            report.Info(u"   maybe now '" + candidate + u"'", {LineTarget::Kind::kFile, candidate});
        }
        if (candidates.size() > kCandidatesShown)
            report.Info(u"   and " +
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

std::optional<ScanRecord> RunScan(const ScanInputs& inputs, const ScanReport& report) {
    const std::u16string& directory = inputs.projectDirectory;
    // Two rules on purpose: the total counts files whose extension is mph in any letter case,
    // while the listing takes all the wildcard accepts (on Windows also longer extensions such as
    // .mphx, through their short names), so the bar may show full before the last file.
    const int64_t total = CountMatchingFiles(directory, u"*.mph");

    platform::Listing listing(directory, u"*.mph");
    if (!listing.IsOpen()) {
        // Said, not silent: otherwise the user sees an empty page and no reason.
        report.Info(u"Error examining the path '" +
                    std::u16string(WithoutFinalBackslash(directory)) + u"'");
        return std::nullopt;
    }
    report.Info(u"Es wird gesucht unter '" + directory + u"' nach treffern in '" +
                inputs.basePathText + u"'");
    report.ShowNow();  // the first line shows at once
    ScanWork work(inputs, report);

    std::vector<std::u16string>& projectFiles = work.record.projectFiles;
    for (const platform::ListingEntry& entry : listing) {
        // Joined literally: a folder that ends in a backslash (a drive root, any folder from the
        // picker) gives a doubled one, which Windows reads as one; the log shows it as it is.
        if (!entry.isDirectory) projectFiles.push_back(directory + u"\\" + entry.name);
        report.Busy();
    }
    listing.Close();  // before the extractors start

    report.Progress(0, total);
    RunExtractorsInTurn(
        projectFiles, inputs.minLength, [&work, &report, total](size_t k, ExtractorRun* run) {
            const std::u16string& file = work.record.projectFiles[k];
            report.Info(u"Filtering '" + file + u"'", {LineTarget::Kind::kFile, file});
            FinishExtractor(run, &work);
            report.Progress(static_cast<int64_t>(k), total);
            report.Busy();
        });
    report.Progress(total, total);
    report.Info(u"Done");
    // What the extractor said, once per distinct message: a licence it wants accepted, a wrong
    // argument.
    for (const ExtractorMessage& message : work.messages) {
        report.Info(u"Meldung von '" + message.program + u"' bei " + Decimal(message.projectFiles) +
                    (message.projectFiles == 1 ? u" Projektdatei:" : u" Projektdateien:"));
        report.Info(message.text);
    }
    // Said once: with the archive's drive not connected every file would look missing, and an
    // archive that is not there must never be taken for an empty one.
    ScanRecord& record = work.record;
    record.archiveUnreachable = ArchiveUnreachable(inputs.basePath);
    if (!record.archiveUnreachable.empty()) {
        report.Info(u"Das Archiv '" + inputs.basePath + u"' ist nicht erreichbar: " +
                    record.archiveUnreachable +
                    u". Listen, Kopie und \u00DCbersicht brauchen das Archiv und werden aus "
                    u"dieser Suche nicht angeboten; bitte verbinden und erneut suchen.");
    }
    ReportSharedAndMissing(&record, report, &work.walk);
    report.ProgressEnd();
    work.record.finishedAt = platform::CurrentTime();
    return std::move(work.record);
}

}  // namespace spurlese

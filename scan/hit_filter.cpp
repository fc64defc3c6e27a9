#include "scan/hit_filter.h"

#include <unordered_map>
#include <unordered_set>

#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/directory_examination.h"
#include "scan/info_log.h"
#include "scan/scan_state.h"
#include "settings/app_settings.h"

namespace spurlese {

namespace {

// The file-size answer for a candidate: from its folder's kept listing where that is certain,
// else asked once per scan. A name with "~" may be a short 8.3 alias that only the file system
// resolves.
int64_t CandidateSize(const std::u16string& candidate) {
    if (candidate.find(u'~') == std::u16string::npos) {
        switch (KeptListingKnows(candidate)) {
            case Listed::kFile:
                return 0;  // a file: its size does not matter, only that it is one
            case Listed::kFolder:
                return -2;
            case Listed::kNothing:
                return -1;
            case Listed::kUnknown:
                break;
        }
    }
    auto found = scanState.sizes.find(candidate);
    if (found != scanState.sizes.end()) return found->second;
    const int64_t size = platform::FileSize(candidate);
    scanState.sizes.emplace(candidate, size);
    return size;
}

// MatchMediaFile, also telling the candidate of the last extension that matched, if any.
std::u16string Match(std::u16string_view line, std::u16string_view extensions,
                     std::u16string* lastCandidate) {
    const size_t bar = line.find(u'|');
    const size_t folderCut = line.substr(0, bar).find_last_of(u"\\/");
    const std::u16string_view folder = folderCut == std::u16string_view::npos
                                           ? std::u16string_view()
                                           : line.substr(0, folderCut + 1);
    const size_t nameCut = line.find_last_of(u"\\/");
    std::u16string_view rawName =
        nameCut == std::u16string_view::npos ? line : line.substr(nameCut + 1);
    rawName = rawName.substr(0, rawName.find(u'"'));
    const std::u16string name = platform::LowerCase(rawName);

    size_t from = 0;
    while (from <= extensions.size()) {
        size_t comma = extensions.find(u',', from);
        if (comma == std::u16string_view::npos) comma = extensions.size();
        std::u16string needle(1, u'.');
        needle.append(extensions.substr(from, comma - from));
        from = comma + 1;
        const size_t at = name.find(needle);
        if (at == std::u16string::npos) continue;
        std::u16string candidate = std::u16string(folder) + name.substr(0, at + needle.size());
        // The listing first, so that the size can come from it.
        const bool listed = FileListedInFolder(candidate);
        const int64_t size = CandidateSize(candidate);
        if (listed) {
            RecordHitSource(candidate, appSettings.currentProjectFile);
            if (!IsSeenHit(candidate)) {
                ShowHit(candidate);
                scanState.seenHits.insert(candidate);
            }
        }
        if (size >= 0) return candidate;
        // Only what is not there at all is missing; a folder named like a picture is not.
        if (size == -1) *lastCandidate = std::move(candidate);
    }
    return {};
}

}  // namespace

BasePrefix MakeBasePrefix(std::u16string_view basePath) {
    BasePrefix prefix;
    prefix.text = platform::LowerCase(basePath);
    if (prefix.text.empty() || prefix.text.back() != u'\\') prefix.text.push_back(u'\\');
    prefix.length = prefix.text.size();
    return prefix;
}

std::u16string NormaliseSlashes(std::u16string_view text) {
    if (text.find(u'/') == std::u16string_view::npos) return std::u16string(text);
    std::u16string result;
    result.reserve(text.size());
    size_t from = 0;
    for (;;) {
        const size_t slash = text.find(u'/', from);
        const std::u16string_view field = text.substr(from, slash - from);
        if (!result.empty()) result.push_back(u'\\');
        result.append(field);
        if (slash == std::u16string_view::npos) break;
        from = slash + 1;
    }
    return result;
}

void FilterOutputLine(std::u16string_view rawLine, const BasePrefix& prefix) {
    // Normalising never lengthens a line: one shorter than the prefix can never match it.
    if (rawLine.size() < prefix.length) return;
    const std::u16string line = NormaliseSlashes(rawLine);
    if (platform::LowerCase(std::u16string_view(line).substr(0, prefix.length)) != prefix.text) {
        return;
    }
    scanState.prefixLength = prefix.length;
    std::u16string lastCandidate;
    const std::u16string result = Match(line, kMediaExtensions, &lastCandidate);
    if (!result.empty() && !IsSeenHit(result)) {
        // Found by the size query but not in its folder's listing: kept as seen, never shown.
        RecordHitSource(result, appSettings.currentProjectFile);
        scanState.seenHits.insert(result);
    }
    if (result.empty() && !lastCandidate.empty() &&
        scanState.missingSet.insert(lastCandidate).second) {
        scanState.missing.push_back(lastCandidate);
    }
}

std::u16string MatchMediaFile(std::u16string_view line, std::u16string_view extensions) {
    std::u16string lastCandidate;
    return Match(line, extensions, &lastCandidate);
}

bool IsSeenHit(std::u16string_view text) {
    return scanState.seenHits.count(std::u16string(text)) != 0;
}

void ShowHit(std::u16string_view hit) {
    if (scanState.inputs.stripBase && hit.size() > appSettings.basePath.size()) {
        const size_t cut = scanState.prefixLength ? scanState.prefixLength
                                                  : MakeBasePrefix(appSettings.basePath).length;
        AddHitLine(hit.substr(std::min(cut, hit.size())));
    } else {
        AddHitLine(hit);
    }
}

void RecordHitSource(std::u16string_view hit, std::u16string_view projectFile) {
    auto pair = std::make_pair(std::u16string(hit), std::u16string(projectFile));
    if (!scanState.hitSourcePairs.insert(pair).second) return;
    scanState.hitSources.push_back({std::move(pair.first), std::move(pair.second)});
}

void AddProjectHeader(std::u16string_view projectFile) {
    AddHitLine(u"; " + std::u16string(FileNamePart(projectFile)));
}

const std::vector<HitSource>& HitSources() {
    return scanState.hitSources;
}

const std::vector<std::u16string>& MissingMediaFiles() {
    return scanState.missing;
}

}  // namespace spurlese

#include "scan/hit_filter.h"

#include <algorithm>

#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/directory_examination.h"
#include "scan/info_log.h"
#include "scan/scan_state.h"

namespace spurlese {

namespace {

// The file-size answer for a candidate: from its folder's kept listing where that is certain,
// else asked once per scan. A name with "~" may be a short 8.3 alias that only the file system
// resolves.
int64_t CandidateSize(const std::u16string& candidate, std::u16string_view folder,
                      std::u16string_view lowerName) {
    if (lowerName.find(u'~') == std::u16string_view::npos) {
        switch (KeptListingKnowsIn(folder, lowerName)) {
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
                     const LineContext& context, std::u16string* lastCandidate) {
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
    // The folder as the listing is asked for it: without its final backslash.
    std::u16string_view listedFolder = folder;
    if (!listedFolder.empty() && listedFolder.back() == u'\\') listedFolder.remove_suffix(1);

    size_t from = 0;
    while (from <= extensions.size()) {
        size_t comma = extensions.find(u',', from);
        if (comma == std::u16string_view::npos) comma = extensions.size();
        std::u16string needle(1, u'.');
        needle.append(extensions.substr(from, comma - from));
        from = comma + 1;
        const size_t at = name.find(needle);
        if (at == std::u16string::npos) continue;
        const std::u16string_view candidateName =
            std::u16string_view(name).substr(0, at + needle.size());
        std::u16string candidate = std::u16string(folder) + std::u16string(candidateName);
        // The listing first, so that the size can come from it.
        const bool listed = FileListedIn(listedFolder, candidateName);
        const int64_t size = CandidateSize(candidate, listedFolder, candidateName);
        if (listed) {
            RecordHitSource(candidate, context.projectFile);
            if (scanState.seenHits.insert(candidate).second) ShowHit(candidate, context);
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

LineContext MakeLineContext(const ScanInputs& inputs, std::u16string_view projectFile) {
    return {MakeBasePrefix(inputs.basePath), std::u16string(projectFile), inputs.stripBase};
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

void FilterOutputLine(std::u16string_view rawLine, const LineContext& context) {
    const BasePrefix& prefix = context.prefix;
    // The base-path test on the head of the line as NormaliseSlashes would leave it (slashes at
    // the start gone, the others backslashes), before the whole line is copied: most lines of a
    // project file are no paths under the base path.
    const size_t start = std::min(rawLine.find_first_not_of(u'/'), rawLine.size());
    if (rawLine.size() - start < prefix.length) return;
    std::u16string head(rawLine.substr(start, prefix.length));
    std::replace(head.begin(), head.end(), u'/', u'\\');
    if (platform::LowerCase(head) != prefix.text) return;
    const std::u16string line = NormaliseSlashes(rawLine);
    std::u16string lastCandidate;
    const std::u16string result = Match(line, kMediaExtensions, context, &lastCandidate);
    if (!result.empty() && scanState.seenHits.insert(result).second) {
        // Found by the size query but not in its folder's listing: kept as seen, never shown.
        RecordHitSource(result, context.projectFile);
    }
    if (result.empty() && !lastCandidate.empty()) {
        scanState.missingSources.Add(lastCandidate, context.projectFile);
        if (scanState.missingSet.insert(lastCandidate).second)
            scanState.missing.push_back(lastCandidate);
    }
}

std::u16string MatchMediaFile(std::u16string_view line, std::u16string_view extensions,
                              const LineContext& context) {
    std::u16string lastCandidate;
    return Match(line, extensions, context, &lastCandidate);
}

bool IsSeenHit(std::u16string_view text) {
    return scanState.seenHits.count(text) != 0;
}

void ShowHit(std::u16string_view hit, const LineContext& context) {
    // Exactly the base path and its backslash, the part the base-path test matched.
    LineTarget target{LineTarget::Kind::kFile, std::u16string(hit)};
    if (context.stripBase && hit.size() > context.prefix.length) {
        AddHitLine(hit.substr(context.prefix.length), std::move(target));
    } else {
        AddHitLine(hit, std::move(target));
    }
}

void RecordHitSource(std::u16string_view hit, std::u16string_view projectFile) {
    scanState.hitSources.Add(hit, projectFile);
}

void AddProjectHeader(std::u16string_view projectFile) {
    AddHitLine(u"; " + std::u16string(FileNamePart(projectFile)),
               {LineTarget::Kind::kFile, std::u16string(projectFile)});
}

const std::vector<HitSource>& HitSources() {
    return scanState.hitSources.all;
}

const std::vector<std::u16string>& MissingMediaFiles() {
    return scanState.missing;
}

const std::vector<HitSource>& MissingSources() {
    return scanState.missingSources.all;
}

}  // namespace spurlese

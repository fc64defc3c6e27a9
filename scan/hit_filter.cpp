#include "scan/hit_filter.h"

#include <algorithm>

#include "archive/media_files.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/directory_examination.h"

namespace spurlese {

namespace {

// The file-size answer for a candidate: from its folder's kept listing where that is certain,
// else asked once per scan. A name with "~" may be a short 8.3 alias that only the file system
// resolves.
int64_t CandidateSize(ScanWork* work, const KeptFolder& kept, const std::u16string& candidate,
                      std::u16string_view lowerName) {
    if (kept.listable && lowerName.find(u'~') == std::u16string_view::npos) {
        if (kept.files.count(lowerName)) return 0;  // a file: its size does not matter
        return kept.folders.count(lowerName) ? -2 : -1;
    }
    auto found = work->sizes.find(candidate);
    if (found != work->sizes.end()) return found->second;
    const int64_t size = platform::FileSize(candidate);
    work->sizes.emplace(candidate, size);
    return size;
}

// Where a short name's three-letter extension stands in the lower-cased name: after a "~" (Windows
// writes "~1", Wine a hash), and not followed by another letter or digit (".jpe" of ".jpeg" is no
// short name).
size_t ShortExtensionAt(std::u16string_view name, std::u16string_view needle) {
    for (size_t at = name.find(needle); at != std::u16string_view::npos;
         at = name.find(needle, at + 1)) {
        if (name.substr(0, at).find(u'~') == std::u16string_view::npos) continue;
        const size_t after = at + needle.size();
        const bool ends = after == name.size() || !((name[after] >= u'a' && name[after] <= u'z') ||
                                                    (name[after] >= u'0' && name[after] <= u'9'));
        if (ends) return at;
    }
    return std::u16string_view::npos;
}

// Appends the hit to "Treffer", without the base path when the context says so; the line stands
// for the file the hit names.
void ShowHit(std::u16string_view hit, const LineContext& context) {
    const FileIdentity& identity = context.work->Identify(hit, true);
    LineTarget target{LineTarget::Kind::kFile, identity.kind == FileIdentity::Kind::kFile
                                                   ? identity.path
                                                   : std::u16string(hit)};
    // Exactly the base path and its backslash, the part the base-path test matched.
    if (context.stripBase && hit.size() > context.prefix.length) {
        context.work->report.Hit(hit.substr(context.prefix.length), std::move(target));
    } else {
        context.work->report.Hit(hit, std::move(target));
    }
}

// The hit text the line names (folder as written, file name lower-cased and cut right after the
// first media extension that gives an existing file), or "" when it names none. Not only a
// look-up: each candidate its folder's listing holds is recorded with the project file and, when
// new to the scan, shown in "Treffer". *lastCandidate: the candidate of the last extension that
// matched, if nothing is there.
std::u16string Match(std::u16string_view line, const LineContext& context,
                     std::u16string* lastCandidate, bool* recorded) {
    ScanWork* work = context.work;
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
    // The folder as the listing is asked for it.
    const std::u16string_view listedFolder = WithoutFinalBackslash(folder);

    // An 8.3 short name cuts a longer extension to three letters ("IMG_12~1.HEI"): such a name
    // stands for its .jpeg or .heic file.
    const bool shortName = name.find(u'~') != std::u16string::npos;
    const KeptFolder* kept = nullptr;
    for (const archive::MediaExtension& extension : archive::kMediaExtensions) {
        std::u16string needle(1, u'.');
        needle.append(extension.text);
        size_t at = name.find(needle);
        if (at == std::u16string::npos && shortName && extension.text.size() > 3) {
            needle.resize(4);
            at = ShortExtensionAt(name, needle);
        }
        if (at == std::u16string::npos) continue;
        const std::u16string_view candidateName =
            std::u16string_view(name).substr(0, at + needle.size());
        std::u16string candidate = std::u16string(folder) + std::u16string(candidateName);
        // The listing first, so that the size can come from it; the folder is looked up once for
        // the line.
        if (!kept) kept = &work->folders.Kept(listedFolder);
        const bool listed = FileListedIn(work, *kept, listedFolder, candidateName);
        const int64_t size = CandidateSize(work, *kept, candidate, candidateName);
        if (listed) {
            work->AddHit(candidate, context.projectFile);
            if (work->seenHits.insert(candidate).second) ShowHit(candidate, context);
        }
        if (size >= 0) {
            *recorded = listed;
            return candidate;
        }
        // Only what is not there at all is missing; a folder named like a picture is not.
        if (size == -1) *lastCandidate = std::move(candidate);
    }
    return {};
}

}  // namespace

BasePrefix MakeBasePrefix(std::u16string_view basePath) {
    BasePrefix prefix;
    prefix.text = WithFinalBackslash(platform::LowerCase(basePath));
    prefix.length = prefix.text.size();
    return prefix;
}

LineContext MakeLineContext(ScanWork* work, std::u16string_view projectFile) {
    const ScanInputs& inputs = work->record.inputs;
    return {MakeBasePrefix(inputs.basePath), std::u16string(projectFile), inputs.stripBase, work};
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
    // Unit by unit, without a copy: almost every line of a project file is noise that already
    // differs in its first unit (a drive letter, a backslash).
    for (size_t k = 0; k < prefix.length; ++k) {
        char16_t unit = rawLine[start + k];
        if (unit == u'/') unit = u'\\';
        if (unit >= u'A' && unit <= u'Z') {
            unit += u'a' - u'A';
        } else if (unit >= 0x80) {
            unit = platform::LowerCase(std::u16string_view(&unit, 1))[0];
        }
        if (unit != prefix.text[k]) return;
    }
    // Copied only when a slash is to become a backslash.
    std::u16string normalised;
    std::u16string_view line = rawLine;
    if (rawLine.find(u'/') != std::u16string_view::npos)
        line = normalised = NormaliseSlashes(rawLine);
    std::u16string lastCandidate;
    bool recorded = false;
    const std::u16string result = Match(line, context, &lastCandidate, &recorded);
    ScanWork* work = context.work;
    if (!result.empty() && !recorded) {
        // Found by the size query but not in its folder's listing (a short name): kept as seen,
        // never shown, and recorded for every project that names it, as a listed hit is.
        work->seenHits.insert(result);
        work->AddHit(result, context.projectFile);
    }
    if (result.empty() && !lastCandidate.empty())
        work->AddMissing(lastCandidate, context.projectFile);
}

void AddProjectHeader(const ScanReport& report, std::u16string_view projectFile) {
    report.Hit(u"; " + std::u16string(FileNamePart(projectFile)),
               {LineTarget::Kind::kFile, std::u16string(projectFile)});
}

}  // namespace spurlese

// Turns lines of extractor output into hits: lines that start with the base path and name an
// existing media file. Each hit is shown once per scan in the "Treffer" display (the hit list),
// optionally without the base path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_state.h"

namespace spurlese {

// The lower-cased base path with one final backslash, and its length in UTF-16 units.
struct BasePrefix {
    std::u16string text;
    size_t length = 0;
};
BasePrefix MakeBasePrefix(std::u16string_view basePath);

// What the filter knows of the lines of one project file.
struct LineContext {
    BasePrefix prefix;
    std::u16string projectFile;
    bool stripBase = false;  // hits are shown without the base path
};
LineContext MakeLineContext(const ScanInputs& inputs, std::u16string_view projectFile);

// The media extensions, tried in this order.
inline constexpr std::u16string_view kMediaExtensions = u"jpg,jpeg,heic,mov,mp4";

// One line of extractor output: when it starts with the prefix and names a media file, the hit is
// shown in "Treffer" (once per scan) and recorded with the project file; a named file that does
// not exist is recorded as missing, with the project file. May log
// "Error examining the path '…'".
void FilterOutputLine(std::u16string_view line, const LineContext& context);

// Every slash becomes a backslash, except that slashes at the very start disappear.
std::u16string NormaliseSlashes(std::u16string_view text);

// The hit text the line names (folder as written, file name lower-cased and cut right after the
// first media extension that gives an existing file), or "" when it names none. Not only a
// look-up: each candidate its folder's listing holds is recorded with the project file and, when
// new to the scan, shown in "Treffer".
std::u16string MatchMediaFile(std::u16string_view line, std::u16string_view extensions,
                              const LineContext& context);

bool IsSeenHit(std::u16string_view text);
// Appends the hit to "Treffer", without the base path when the context says so.
void ShowHit(std::u16string_view hit, const LineContext& context);
// Remembers that the project file refers to the hit; each pair is kept once.
void RecordHitSource(std::u16string_view hit, std::u16string_view projectFile);

// "; " + the project file's name, before its hits.
void AddProjectHeader(std::u16string_view projectFile);

// What the scan has kept (its state lives in scan/scan_state.h): every (hit, project file) pair
// met, in order.
const std::vector<HitSource>& HitSources();
// Media files that lines under the base path name but that do not exist, once each, and every
// (missing file, project file) pair, in the order met.
const std::vector<std::u16string>& MissingMediaFiles();
const std::vector<HitSource>& MissingSources();

}  // namespace spurlese

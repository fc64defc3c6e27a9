// Turns lines of extractor output into hits: lines that start with the base path and name an
// existing media file. Each hit is shown once per scan in "Treffer", optionally without the base
// path, and recorded with its project file; a named media file that is not there is recorded as
// missing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan_work.h"

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
    ScanWork* work = nullptr;
};
LineContext MakeLineContext(ScanWork* work, std::u16string_view projectFile);

// One line of extractor output: when it starts with the prefix and names a media file, the hit is
// shown in "Treffer" (once per scan) and recorded with the project file; a named file that does
// not exist is recorded as missing, with the project file. May log
// "Error examining the path '…'".
void FilterOutputLine(std::u16string_view line, const LineContext& context);

// Every slash becomes a backslash, except that slashes at the very start disappear.
std::u16string NormaliseSlashes(std::u16string_view text);

// "; " + the project file's name, before its hits.
void AddProjectHeader(const ScanReport& report, std::u16string_view projectFile);

}  // namespace spurlese

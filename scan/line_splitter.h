// Cuts the extractor's standard output into lines: a LF ends a line, every CR is dropped, the
// bytes are decoded as UTF-8 (invalid bytes become U+FFFD), and a last line without LF counts.
// A line is kept only up to kLongestLine UTF-16 units, the longest path Windows knows; the rest
// up to the next LF is dropped as it comes, so memory stays bounded whatever the extractor
// prints, and a path at the start of an over-long line is still found.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace spurlese {

inline constexpr size_t kLongestLine = 32767;

struct LineSplitter {
    size_t longestLine = kLongestLine;  // units kept of a line; tests may ask for fewer
    std::string partial;    // bytes of a line not yet ended, CRs left out, at most 3 per kept unit
                            // and one more character
    bool dropping = false;  // the line is longer than kept: its bytes up to the LF go
    std::u16string line;    // the line decoded, its room kept from line to line
};

using LineSink = std::function<void(std::u16string_view line)>;

void SplitLines(LineSplitter* splitter, std::string_view bytes, const LineSink& onLine);
// The end of the output: a line without LF still counts.
void FinishLines(LineSplitter* splitter, const LineSink& onLine);

}  // namespace spurlese

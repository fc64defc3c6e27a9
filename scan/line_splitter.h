// Cuts the extractor's standard output into lines: a LF ends a line, every CR is dropped, the
// bytes are decoded as UTF-8 (invalid bytes become U+FFFD), and a last line without LF counts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

struct LineSplitter {
    std::string partial;  // bytes of a line not yet ended
};

using LineSink = std::function<void(std::u16string_view line)>;

void SplitLines(LineSplitter* splitter, std::string_view bytes, const LineSink& onLine);
// The end of the output: a line without LF still counts.
void FinishLines(LineSplitter* splitter, const LineSink& onLine);

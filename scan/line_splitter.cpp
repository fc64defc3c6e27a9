#include "scan/line_splitter.h"

#include <algorithm>

#include "platform/platform.h"

namespace spurlese {

namespace {

// No UTF-8 character, nor an invalid sequence read as U+FFFD, takes more than three bytes per
// UTF-16 unit, so this many bytes hold the units kept. The three more hold the rest of the last
// character: a sequence the cut leaves incomplete reads as U+FFFD only after the units kept.
size_t LongestLineBytes(const LineSplitter& splitter) {
    return 3 * splitter.longestLine + 3;
}

void EmitLine(LineSplitter* splitter, const LineSink& onLine) {
    std::string& bytes = splitter->partial;
    std::u16string& line = splitter->line;
    platform::ConvertUtf8ToUtf16(bytes, &line);  // a line that cannot be decoded is empty
    if (line.size() > splitter->longestLine) {
        size_t keep = splitter->longestLine;
        if (line[keep - 1] >= 0xD800 && line[keep - 1] <= 0xDBFF) --keep;  // no half pair
        line.resize(keep);
    }
    onLine(line);
    bytes.clear();
    splitter->dropping = false;
}

// Takes the bytes of a line into the splitter, without its CRs, as far as they are kept.
void Keep(LineSplitter* splitter, std::string_view bytes) {
    std::string& partial = splitter->partial;
    for (size_t from = 0; from < bytes.size() && !splitter->dropping;) {
        const size_t cr = std::min(bytes.find('\r', from), bytes.size());
        const size_t room = LongestLineBytes(*splitter) - partial.size();
        partial.append(bytes.data() + from, std::min(cr - from, room));
        splitter->dropping = cr - from > room;
        from = cr + 1;
    }
}

}  // namespace

void SplitLines(LineSplitter* splitter, std::string_view bytes, const LineSink& onLine) {
    size_t from = 0;
    for (;;) {
        const size_t lf = bytes.find('\n', from);
        if (lf == std::string_view::npos) break;
        Keep(splitter, bytes.substr(from, lf - from));
        EmitLine(splitter, onLine);
        from = lf + 1;
    }
    Keep(splitter, bytes.substr(from));
}

void FinishLines(LineSplitter* splitter, const LineSink& onLine) {
    if (!splitter->partial.empty()) EmitLine(splitter, onLine);
}

}  // namespace spurlese

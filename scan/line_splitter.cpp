#include "scan/line_splitter.h"

#include <algorithm>

#include "platform/platform.h"

namespace spurlese {

namespace {

// No UTF-8 character takes more than three bytes per UTF-16 unit, so this many bytes always
// hold the units kept.
constexpr size_t kLongestLineBytes = 3 * kLongestLine;

void EmitLine(LineSplitter* splitter, const LineSink& onLine) {
    std::string& bytes = splitter->partial;
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
    std::u16string line = platform::Utf8ToUtf16(bytes);
    if (line.size() > kLongestLine) {
        size_t keep = kLongestLine;
        if (line[keep - 1] >= 0xD800 && line[keep - 1] <= 0xDBFF) --keep;  // no half pair
        line.resize(keep);
    }
    onLine(line);
    bytes.clear();
    splitter->dropping = false;
}

// Takes the bytes of a line into the splitter, as far as they are kept.
void Keep(LineSplitter* splitter, std::string_view bytes) {
    if (splitter->dropping) return;
    const size_t room = kLongestLineBytes - splitter->partial.size();
    splitter->partial.append(bytes.substr(0, room));
    splitter->dropping = bytes.size() > room;
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

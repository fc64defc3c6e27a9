#include "scan/line_splitter.h"

#include <algorithm>

#include "platform/platform.h"

namespace spurlese {

namespace {

// No UTF-8 character takes more than three bytes per UTF-16 unit, so this many bytes of whole
// characters always hold the units kept; three more let the last one be completed.
constexpr size_t kLongestLineBytes = 3 * kLongestLine + 3;

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The bytes of a UTF-8 sequence that the lead byte starts; 0 for a byte that starts none.
size_t SequenceLength(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

// A line cut at the cap ends after its last whole character: a sequence that the cut left
// incomplete goes, rather than read as U+FFFD. A lead byte always starts a new character, so
// what is left reads as the beginning of the whole line does.
void DropCutCharacter(std::string* bytes) {
    const size_t size = bytes->size();
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        const char byte = (*bytes)[size - back];
        if (IsContinuation(byte)) continue;
        if (SequenceLength(byte) > back) bytes->resize(size - back);
        return;
    }
}

void EmitLine(LineSplitter* splitter, const LineSink& onLine) {
    std::string& bytes = splitter->partial;
    if (splitter->dropping) DropCutCharacter(&bytes);
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

// Takes the bytes of a line into the splitter, without its CRs, as far as they are kept.
void Keep(LineSplitter* splitter, std::string_view bytes) {
    std::string& partial = splitter->partial;
    for (size_t from = 0; from < bytes.size() && !splitter->dropping;) {
        const size_t cr = std::min(bytes.find('\r', from), bytes.size());
        const size_t room = kLongestLineBytes - partial.size();
        partial.append(bytes.substr(from, std::min(cr - from, room)));
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

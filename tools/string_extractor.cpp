// Each block is scanned in three tight passes, one per kind of run; a run is only turned into
// text when it is long enough to be printed, so the common case, binary data, costs a table
// look-up per byte and nothing else.
#include "tools/string_extractor.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace extractor {

namespace {

constexpr size_t kLookAhead = 4;          // a UTF-8 sequence, or a UTF-16 unit, fits
constexpr size_t kLongestRun = 1u << 20;  // longer runs are written in pieces
constexpr int kByteScanner = 0;

// Windows-1252 bytes that are letters, as code points; 0 for the others.
constexpr std::array<char16_t, 128> MakeCp1252Letters() {
    std::array<char16_t, 128> table{};
    table[0x83 - 0x80] = 0x0192;
    table[0x8A - 0x80] = 0x0160;
    table[0x8C - 0x80] = 0x0152;
    table[0x8E - 0x80] = 0x017D;
    table[0x9A - 0x80] = 0x0161;
    table[0x9C - 0x80] = 0x0153;
    table[0x9E - 0x80] = 0x017E;
    table[0x9F - 0x80] = 0x0178;
    table[0xAA - 0x80] = 0x00AA;
    table[0xB5 - 0x80] = 0x00B5;
    table[0xBA - 0x80] = 0x00BA;
    for (int b = 0xC0; b <= 0xFF; ++b) {
        if (b != 0xD7 && b != 0xF7) table[b - 0x80] = static_cast<char16_t>(b);
    }
    return table;
}
constexpr auto kCp1252Letters = MakeCp1252Letters();

// Byte classes: 0 ends a run, 1 printable ASCII, 2 may start a letter outside ASCII.
constexpr std::array<unsigned char, 256> MakeByteClasses() {
    std::array<unsigned char, 256> table{};
    table['\t'] = 1;
    for (int b = 0x20; b <= 0x7E; ++b) table[b] = 1;
    for (int b = 0x80; b <= 0xFF; ++b) table[b] = 2;
    return table;
}
constexpr auto kByteClasses = MakeByteClasses();

// UTF-16LE characters by high byte (0 to 2; row 3 stands for all higher ones, none of which
// is taken) and low byte: printable ASCII and Latin letters.
constexpr std::array<std::array<unsigned char, 256>, 4> MakeWideChars() {
    std::array<std::array<unsigned char, 256>, 4> table{};
    for (int unit = 0; unit <= 0x24F; ++unit) {
        table[unit >> 8][unit & 0xFF] = (unit >= 0x20 && unit <= 0x7E) || unit == 0x09 ||
                                        (unit >= 0xC0 && unit != 0xD7 && unit != 0xF7);
    }
    return table;
}
constexpr auto kWideChars = MakeWideChars();

#if defined(__SSE2__)
// Bit k is set when byte k of the 16 at p can stand in no byte run: a control byte other than
// the tab, or 0x7F.
unsigned DeadBytes(const unsigned char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x1F)), v);
    const __m128i dead =
        _mm_or_si128(_mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(0x09)), control),
                     _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
    return static_cast<unsigned>(_mm_movemask_epi8(dead));
}
#endif

// Binary data is mostly zeros and small numbers, bytes that can stand in no string. Outside a
// run they are passed over sixteen at a time: the position of the first byte from `i` on that
// may stand in a byte run (a tab, 0x20 to 0x7E, or 0x80 and above), or `end`.
size_t SkipDeadBytes(const unsigned char* p, size_t i, size_t end) {
#if defined(__SSE2__)
    for (; i + 16 <= end; i += 16) {
        const unsigned alive = ~DeadBytes(p + i) & 0xFFFF;
        if (alive != 0) return i + static_cast<size_t>(__builtin_ctz(alive));
    }
#endif
    while (i < end && kByteClasses[p[i]] == 0) ++i;
    return i;
}

// The position of the first byte in [i, limit) that can stand in no byte run, or `limit`.
size_t NextDeadByte(const unsigned char* p, size_t i, size_t limit) {
#if defined(__SSE2__)
    for (; i + 16 <= limit; i += 16) {
        if (const unsigned dead = DeadBytes(p + i)) {
            return i + static_cast<size_t>(__builtin_ctz(dead));
        }
    }
#endif
    while (i < limit && kByteClasses[p[i]] != 0) ++i;
    return i;
}

// Outside a run, the UTF-16 scanners pass over units that can start no string: the position
// (same parity as `i`) of the first unit from `i` on that may stand in a UTF-16 run, or at
// least `end`. A unit may when its high byte is 1 or 2, or 0 with a tab or at least 0x20 below.
size_t SkipDeadUnits(const unsigned char* p, size_t i, size_t end, size_t size) {
#if defined(__SSE2__)
    const __m128i two = _mm_set1_epi8(2), lowest = _mm_set1_epi8(0x1F), tab = _mm_set1_epi8(0x09),
                  zero = _mm_setzero_si128();
    for (; i + 16 <= end && i + 17 <= size; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        const __m128i highSmall = _mm_cmpeq_epi8(_mm_min_epu8(high, two), high);  // high <= 2
        const __m128i lowControl = _mm_andnot_si128(_mm_cmpeq_epi8(low, tab),
                                                    _mm_cmpeq_epi8(_mm_min_epu8(low, lowest), low));
        const __m128i deadLow = _mm_and_si128(lowControl, _mm_cmpeq_epi8(high, zero));
        const __m128i alive = _mm_andnot_si128(deadLow, highSmall);
        // Only the units of this scanner's parity: every second byte position from i.
        const unsigned units = static_cast<unsigned>(_mm_movemask_epi8(alive)) & 0x5555;
        if (units != 0) return i + static_cast<size_t>(__builtin_ctz(units));
    }
#endif
    (void)size;
    while (i < end && !(p[i + 1] <= 2 && (p[i + 1] != 0 || p[i] == 0x09 || p[i] >= 0x20))) i += 2;
    return i;
}

bool IsLatinLetter(char32_t cp) {
    return cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7;
}

// Letters outside ASCII that may stand inside a byte run when written in UTF-8.
bool IsUtf8Letter(char32_t cp) {
    return cp == 0xAA || cp == 0xB5 || cp == 0xBA || IsLatinLetter(cp) ||
           (cp >= 0x370 && cp <= 0x3FF && cp != 0x37E && cp != 0x387) ||    // Greek
           (cp >= 0x400 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4FF) ||  // Cyrillic
           (cp >= 0x1E00 && cp <= 0x1EFF);                                  // Latin additional
}

// Length of the valid UTF-8 sequence of two to four bytes at p, with its code point; 0 when
// the bytes are no valid UTF-8.
size_t Utf8SequenceLength(const unsigned char* p, size_t available, char32_t* cp) {
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        length = 2;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        length = 3;
        if (p[0] == 0xE0) low = 0xA0;
        if (p[0] == 0xED) high = 0x9F;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        length = 4;
        if (p[0] == 0xF0) low = 0x90;
        if (p[0] == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || p[1] < low || p[1] > high) return 0;
    char32_t value = p[0] & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (p[k] & 0x3F);
    }
    *cp = value;
    return length;
}

// How a byte at or above 0x80 stands in a byte run: the length of a valid UTF-8 letter, 1 for a
// Windows-1252 letter where the bytes are no valid UTF-8, 0 when it ends the run (valid UTF-8
// that is no letter, or no letter in either reading).
size_t HighCharLength(const unsigned char* p, size_t available) {
    char32_t cp = 0;
    if (const size_t length = Utf8SequenceLength(p, available, &cp)) {
        return IsUtf8Letter(cp) ? length : 0;
    }
    return kCp1252Letters[p[0] - 0x80] != 0 ? 1 : 0;
}

void AppendUtf8(std::string* text, char32_t cp) {
    if (cp < 0x80) {
        text->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        text->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        text->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        text->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The raw bytes of a byte run as UTF-8: the same reading as the scan.
std::string ByteRunText(const std::string& raw) {
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    std::string text;
    text.reserve(raw.size() + 8);
    for (size_t i = 0; i < raw.size();) {
        if (p[i] < 0x80) {
            text.push_back(static_cast<char>(p[i++]));
        } else if (const size_t length = HighCharLength(p + i, raw.size() - i); length > 1) {
            text.append(raw, i, length);
            i += length;
        } else {
            AppendUtf8(&text, kCp1252Letters[p[i++] - 0x80]);
        }
    }
    return text;
}

std::string WideRunText(const std::string& raw) {
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    std::string text;
    text.reserve(raw.size() / 2 + 8);
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        AppendUtf8(&text, p[i] | (char32_t(p[i + 1]) << 8));
    return text;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsSlash(char c) {
    return c == '\\' || c == '/';
}
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Hands a finished run's text on, split before every glued drive-letter path.
void Keep(Extractor* x, int scanner, uint64_t start, const std::string& text) {
    const uint64_t bytesPerChar = scanner == kByteScanner ? 1 : 2;
    size_t pieceBegin = 0;
    uint64_t charsBefore = 0;  // characters before the current piece
    uint64_t pieceChars = 0;
    auto emit = [&](size_t end) {
        if (pieceChars >= x->minLength) {
            x->pending.push_back({start + charsBefore * bytesPerChar, scanner,
                                  text.substr(pieceBegin, end - pieceBegin)});
        }
    };
    for (size_t k = 0; k < text.size(); ++k) {
        if (IsContinuation(text[k])) continue;
        if (k > pieceBegin && k + 3 < text.size() && IsAsciiLetter(text[k]) && text[k + 1] == ':' &&
            IsSlash(text[k + 2]) && !IsSlash(text[k + 3])) {
            emit(k);
            charsBefore += pieceChars;
            pieceChars = 0;
            pieceBegin = k;
        }
        ++pieceChars;
    }
    emit(text.size());
}

void EndRun(Extractor* x, int scanner, const unsigned char* p, size_t runBegin, size_t end) {
    RunState& run = x->runs[scanner];
    if (run.chars >= x->minLength) {
        if (end > runBegin)
            run.carry.append(reinterpret_cast<const char*>(p) + runBegin, end - runBegin);
        Keep(x, scanner, run.start,
             scanner == kByteScanner ? ByteRunText(run.carry) : WideRunText(run.carry));
    }
    run.active = false;
    run.chars = 0;
    run.carry.clear();
}

// Keeps the active run's bytes of this block for the next one; a run that grew too long is
// written as it stands and followed by a new one.
void CarryRun(Extractor* x, int scanner, const unsigned char* p, size_t runBegin, size_t end) {
    RunState& run = x->runs[scanner];
    if (!run.active) return;
    if (run.carry.size() + (end - runBegin) > kLongestRun) {
        EndRun(x, scanner, p, runBegin, end);
        return;
    }
    run.carry.append(reinterpret_cast<const char*>(p) + runBegin, end - runBegin);
}

// Length of the character at p in a byte run (1 to 3 bytes); 0 when p ends a run.
size_t ByteCharLength(const unsigned char* p, size_t available) {
    switch (kByteClasses[p[0]]) {
        case 1:
            return 1;
        case 2:
            return HighCharLength(p, available);
        default:
            return 0;
    }
}

// The length of the character at p in a byte run for every pair of bytes p[0], p[1]: 0 ends
// the run, 1 or 2 bytes, or 3 when more bytes decide (leads of three- and four-byte UTF-8).
const std::array<unsigned char, 65536>& PairLengths() {
    static const std::array<unsigned char, 65536> table = [] {
        std::array<unsigned char, 65536> t{};
        for (unsigned b0 = 0; b0 < 256; ++b0) {
            for (unsigned b1 = 0; b1 < 256; ++b1) {
                const unsigned char pair[2] = {static_cast<unsigned char>(b0),
                                               static_cast<unsigned char>(b1)};
                t[b0 | (b1 << 8)] = (b0 >= 0xE0 && b0 <= 0xF4)
                                        ? 3
                                        : static_cast<unsigned char>(ByteCharLength(pair, 2));
            }
        }
        return t;
    }();
    return table;
}

// Ends a run found inside this block.
void KeepBlockRun(Extractor* x, int scanner, const unsigned char* p, size_t begin, size_t end) {
    const std::string raw(reinterpret_cast<const char*>(p) + begin, end - begin);
    Keep(x, scanner, x->offset + begin,
         scanner == kByteScanner ? ByteRunText(raw) : WideRunText(raw));
}

// Follows a run carried from the previous block to its end; returns where the scan goes on.
size_t FinishCarriedRun(Extractor* x, int scanner, const unsigned char* p, size_t size, size_t i,
                        size_t end) {
    RunState& run = x->runs[scanner];
    const size_t begin = i;
    const size_t step = scanner == kByteScanner ? 0 : 2;
    while (i < end) {
        const size_t length = step ? (p[i + 1] <= 2 && kWideChars[p[i + 1]][p[i]] ? 2 : 0)
                                   : ByteCharLength(p + i, size - i);
        if (length == 0) {
            EndRun(x, scanner, p, begin, i);
            return i + (step ? 2 : 1);
        }
        ++run.chars;
        i += length;
    }
    CarryRun(x, scanner, p, begin, i);
    return i;
}

// At the end of a block: a run still going on is carried into the next one.
void LeaveBlock(Extractor* x, int scanner, const unsigned char* p, size_t runBegin, uint64_t chars,
                size_t next) {
    RunState& run = x->runs[scanner];
    if (chars > 0) {
        run.active = true;
        run.start = x->offset + runBegin;
        run.chars = chars;
        run.carry.clear();
        CarryRun(x, scanner, p, runBegin, next);
    }
    run.next = x->offset + next;
}

// Binary data makes a run end every few bytes at random: the loops keep the run's state in
// locals and update it without branches; only the rare end of a long-enough run branches.
void ScanBytes(Extractor* x, const unsigned char* p, size_t size, size_t end) {
    RunState& run = x->runs[kByteScanner];
    size_t i = static_cast<size_t>(run.next - x->offset);
    if (run.active) i = FinishCarriedRun(x, kByteScanner, p, size, i, end);
    const auto& pairs = PairLengths();
    const uint64_t minLength = x->minLength;
    uint64_t chars = 0;
    size_t runBegin = i;
    size_t skip = 0;  // bytes still to pass of a character longer than one byte
    // The position moves one byte at a time, whatever the bytes say, so the look-ups of the
    // next bytes never wait for this one's.
    for (; i < end; ++i) {
        if (chars == 0) {
            if (kByteClasses[p[i]] == 0) {
                i = SkipDeadBytes(p, i, end);
                if (i >= end) break;
            }
            // Every run that starts before the next dead byte ends there: when that is less than
            // the minimum length away, none of them is printed and the scan goes on from it.
            const size_t limit = std::min<size_t>(end, i + minLength);
            const size_t dead = NextDeadByte(p, i, limit);
            if (dead < limit) {
                i = dead - 1;
                continue;
            }
        }
        size_t length = pairs[p[i] | (p[i + 1] << 8)];
        if (skip > 0) {
            --skip;
            continue;
        }
        if (length == 3) length = ByteCharLength(p + i, size - i);
        runBegin = chars == 0 ? i : runBegin;
        if (length == 0 && chars >= minLength) KeepBlockRun(x, kByteScanner, p, runBegin, i);
        const uint64_t keep = length != 0;
        chars = (chars + 1) & (0 - keep);
        skip = length - keep;
    }
    i += skip;  // a character that reaches into the look-ahead bytes is passed whole
    LeaveBlock(x, kByteScanner, p, runBegin, chars, i);
}

void ScanWide(Extractor* x, int scanner, const unsigned char* p, size_t size, size_t end) {
    RunState& run = x->runs[scanner];
    size_t i = static_cast<size_t>(run.next - x->offset);
    if (run.active) i = FinishCarriedRun(x, scanner, p, size, i, end);
    const uint64_t minLength = x->minLength;
    uint64_t chars = 0;
    size_t runBegin = i;
    for (; i < end; i += 2) {
        if (chars == 0) {
            i = SkipDeadUnits(p, i, end, size);
            if (i >= end) break;
        }
        const unsigned high = p[i + 1];
        const uint64_t keep = kWideChars[std::min(high, 3u)][p[i]];
        runBegin = chars == 0 ? i : runBegin;
        if (!keep && chars >= minLength) KeepBlockRun(x, scanner, p, runBegin, i);
        chars = (chars + 1) & (0 - keep);
    }
    LeaveBlock(x, scanner, p, runBegin, chars, i);
}

// Writes every pending string that starts before `horizon`, in file order.
void Flush(Extractor* x, uint64_t horizon) {
    if (x->pending.empty()) return;
    std::stable_sort(x->pending.begin(), x->pending.end(), [](const Pending& a, const Pending& b) {
        return a.start != b.start ? a.start < b.start : a.scanner < b.scanner;
    });
    size_t done = 0;
    for (; done < x->pending.size() && x->pending[done].start < horizon; ++done) {
        x->out->append(x->pending[done].text);
        x->out->push_back('\n');
    }
    x->pending.erase(x->pending.begin(), x->pending.begin() + static_cast<ptrdiff_t>(done));
}

// Scans block positions [0, end); the bytes after `end` serve as look-ahead only.
void ScanBlock(Extractor* x, size_t end) {
    const auto* p = reinterpret_cast<const unsigned char*>(x->block.data());
    ScanBytes(x, p, x->block.size(), end);
    // A UTF-16 unit needs its second byte: the last unit of the file may lack it.
    const size_t wideEnd = std::min(end, x->block.size() - 1);
    ScanWide(x, 1, p, x->block.size(), wideEnd);
    ScanWide(x, 2, p, x->block.size(), wideEnd);
    uint64_t horizon = x->offset + end;
    for (const RunState& run : x->runs) {
        if (run.active) horizon = std::min(horizon, run.start);
    }
    Flush(x, horizon);
}

}  // namespace

void ExtractorStart(Extractor* x, uint64_t minLength, std::string* out) {
    *x = Extractor{};
    x->minLength = std::max<uint64_t>(minLength, 1);
    x->out = out;
    x->runs[1].next = 0;
    x->runs[2].next = 1;
}

void ExtractorFeed(Extractor* x, const char* data, size_t size) {
    x->block.append(data, size);
    if (x->block.size() <= kLookAhead) return;
    const size_t end = x->block.size() - kLookAhead;
    ScanBlock(x, end);
    x->block.erase(0, end);
    x->offset += end;
}

void ExtractorFinish(Extractor* x) {
    if (!x->block.empty()) ScanBlock(x, x->block.size());
    // The scan has carried every active run's bytes; what is left is to end the runs.
    for (int scanner = 0; scanner < 3; ++scanner) {
        if (x->runs[scanner].active) EndRun(x, scanner, nullptr, 0, 0);
    }
    Flush(x, UINT64_MAX);
    x->offset += x->block.size();
    x->block.clear();
}

std::string ExtractStrings(const std::string& bytes, uint64_t minLength) {
    std::string out;
    Extractor x;
    ExtractorStart(&x, minLength, &out);
    ExtractorFeed(&x, bytes.data(), bytes.size());
    ExtractorFinish(&x);
    return out;
}

}  // namespace extractor

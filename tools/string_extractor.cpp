// Each block is read once, 64 bytes at a time: every byte is classified into bit masks, for byte
// runs and for UTF-16LE units at both parities (vector compares; UTF-8 sequences are checked one
// by one, at the few places where a lead byte is followed by a continuation byte), and the runs
// of all three kinds are read off the masks with bit scans, so binary data costs a few
// operations per byte. A run is only turned into text when it is long enough to be printed.
// Drive-letter paths are found first, from the colons of the block, and read character by
// character by their wider rules; their bytes are then taken out of the masks of their kind, so a
// run ends where a path starts and begins again where it ends.
#include "tools/string_extractor.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__) && !defined(SPURLESE_PORTABLE_SCAN)
#define SPURLESE_SSE2_SCAN
#include <emmintrin.h>
#endif

namespace spurlese {

namespace extractor {
inline namespace SPURLESE_EXTRACTOR_BUILD {

namespace {

constexpr size_t kLookAhead = 4;        // a UTF-8 sequence, or a UTF-16 unit, fits
constexpr size_t kPadding = 64 + 16;    // readable bytes after a block, read 64 bytes at a time
constexpr size_t kBlockLookAhead = 16;  // a path's start fits: drive letter, colon, slash, one more
constexpr int kByteScanner = 0;
constexpr int kPathStrings = 3;  // Extractor::pending of the paths

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

constexpr bool IsLatinLetter(char32_t cp) {
    return cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7;
}

// Letters outside ASCII that may stand inside a byte run when written in UTF-8.
constexpr bool IsUtf8Letter(char32_t cp) {
    return cp == 0xAA || cp == 0xB5 || cp == 0xBA || IsLatinLetter(cp) ||
           (cp >= 0x370 && cp <= 0x3FF && cp != 0x37E && cp != 0x387) ||    // Greek
           (cp >= 0x400 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4FF) ||  // Cyrillic
           (cp >= 0x1E00 && cp <= 0x1EFF);                                  // Latin additional
}

// IsUtf8Letter for the code points of two-byte UTF-8 (below U+0800), one bit each: the scan
// meets these at random in binary data.
constexpr std::array<uint64_t, 32> MakeTwoByteLetters() {
    std::array<uint64_t, 32> bits{};
    for (char32_t cp = 0; cp < 0x800; ++cp) {
        if (IsUtf8Letter(cp)) bits[cp >> 6] |= uint64_t{1} << (cp & 63);
    }
    return bits;
}
constexpr auto kTwoByteLetters = MakeTwoByteLetters();

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

void AppendUtf8(std::string* text, char32_t cp) {
    if (cp < 0x80) {
        text->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        text->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        text->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        text->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        text->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        text->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Windows-1252 letters in UTF-8, two bytes each (all lie below U+0800), by byte - 0x80.
const std::array<std::array<char, 2>, 128>& Cp1252Utf8() {
    static const auto table = [] {
        std::array<std::array<char, 2>, 128> t{};
        for (size_t b = 0; b < 128; ++b) {
            const char32_t cp = kCp1252Letters[b];
            t[b] = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        }
        return t;
    }();
    return table;
}

// Appends the raw bytes of a byte run as UTF-8: the same reading as the scan. Inside a run, a
// byte at or above 0x80 starts either a UTF-8 letter or a single Windows-1252 letter, which
// takes two bytes in UTF-8: the text is at most twice as long as the run.
void AppendByteRunText(std::string* text, const unsigned char* p, size_t size) {
    const auto* high = std::find_if(p, p + size, [](unsigned char b) { return b >= 0x80; });
    const size_t ascii = static_cast<size_t>(high - p);
    const size_t textBegin = text->size();
    text->resize(textBegin + ascii + 2 * (size - ascii));
    char* out = text->data() + textBegin;
    std::memcpy(out, p, ascii);
    out += ascii;
    const auto& cp1252 = Cp1252Utf8();
    for (size_t i = ascii; i < size;) {
        if (p[i] < 0x80) {
            *out++ = static_cast<char>(p[i++]);
            continue;
        }
        char32_t cp = 0;
        size_t length = 0;
        if (p[i] >= 0xC2 && p[i] < 0xE0) {  // two-byte UTF-8 needs only a continuation byte
            length = i + 1 < size && (p[i + 1] & 0xC0) == 0x80 ? 2 : 0;
        } else if (p[i] >= 0xE0) {
            length = Utf8SequenceLength(p + i, size - i, &cp);
        }
        if (length > 0) {
            for (const size_t end = i + length; i < end;) *out++ = static_cast<char>(p[i++]);
        } else {
            const auto& letter = cp1252[p[i++] - 0x80];
            *out++ = letter[0];
            *out++ = letter[1];
        }
    }
    text->resize(static_cast<size_t>(out - text->data()));
}

void AppendWideRunText(std::string* text, const unsigned char* p, size_t size) {
    for (size_t i = 0; i + 1 < size; i += 2) AppendUtf8(text, p[i] | (char32_t(p[i + 1]) << 8));
}

// The bytes of the character at p in a byte run: a valid UTF-8 sequence, or a single byte.
size_t ByteRunCharLength(const unsigned char* p, size_t available) {
    if (p[0] < 0xC2) return 1;
    char32_t cp = 0;
    const size_t length = Utf8SequenceLength(p, available, &cp);
    return length > 0 ? length : 1;
}

// Where the piece of a long run that starts at p ends: before the first character that starts
// x->pieceBytes or more bytes later; `size` when none starts before the end.
size_t PieceEnd(const Extractor* x, int scanner, const unsigned char* p, size_t size) {
    const size_t piece = x->pieceBytes;
    if (scanner != kByteScanner) return std::min(size, (piece + 1) / 2 * 2);  // two-byte units
    size_t at = 0;
    while (at < piece && at < size) at += ByteRunCharLength(p + at, size - at);
    return std::min(at, size);
}

// Raw bytes of a run, as the text of one line.
void KeepText(Extractor* x, int scanner, uint64_t start, const unsigned char* p, size_t size) {
    PendingStrings& pending = x->pending[scanner];
    const size_t textBegin = pending.text.size();
    if (scanner == kByteScanner) {
        AppendByteRunText(&pending.text, p, size);
    } else {
        AppendWideRunText(&pending.text, p, size);
    }
    pending.strings.push_back({start, textBegin, pending.text.size()});
}

// The raw bytes of the rest of a run, in pieces (see PieceEnd).
void KeepPieces(Extractor* x, int scanner, uint64_t start, const unsigned char* p, size_t size) {
    for (size_t cut; size > x->pieceBytes && (cut = PieceEnd(x, scanner, p, size)) < size;) {
        KeepText(x, scanner, start, p, cut);
        p += cut;
        size -= cut;
        start += cut;
    }
    KeepText(x, scanner, start, p, size);
}

// A finished run of raw bytes is kept when it has at least the minimum of characters. Runs never
// hold a drive-letter path: every path is read on its own (ReadPath) and ends the run before it.
void KeepRun(Extractor* x, int scanner, uint64_t start, const unsigned char* p, size_t size,
             uint64_t chars) {
    if (chars >= x->minLength) KeepPieces(x, scanner, start, p, size);
}

// Bits 0 to n - 1, for n from 0 to 64.
uint64_t BitsBelow(size_t n) {
    return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

// ---- Drive-letter paths ---------------------------------------------------------------------
// A path is read whole, whatever characters its folder and file names hold: from a drive letter,
// a colon and a slash or backslash (not two slashes, as in "file://") on, every character
// Windows allows in a file name belongs to it. That is any character from U+0020 up but
// < > " | ? * and a second colon: in byte runs a valid UTF-8 sequence, or else one byte read as
// Windows-1252; in UTF-16LE a unit or a surrogate pair. A path also ends right before another
// path of the same kind, and after kLongestPath characters, as no Windows path is longer. Only
// paths are read so wide: other runs keep the narrow rules above, so the noise printed for
// binary data does not grow.

constexpr uint64_t kLongestPath = 32767;

// Windows-1252 from 0x80 to 0x9F as code points (0 where the byte is unassigned); from 0xA0 on
// the byte is its code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The bytes of a block as far as they have been fed; `final` once the file has no more.
struct Fed {
    const unsigned char* p;
    size_t size;
    bool final;
};

enum class Read { kYes, kNo, kMore };  // kMore: only the bytes not yet fed can tell

bool IsAsciiLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsSlash(char32_t c) {
    return c == '\\' || c == '/';
}
constexpr bool IsAllowedInPath(char32_t c) {
    switch (c) {
        case '<':
        case '>':
        case '"':
        case '|':
        case '?':
        case '*':
        case ':':
            return false;
        default:
            return c >= 0x20;
    }
}

// Whether the bytes [at, at + n) have been fed: kNo when the file ends before.
Read Have(const Fed& d, size_t at, size_t n) {
    return at + n <= d.size ? Read::kYes : d.final ? Read::kNo : Read::kMore;
}

// The character of a path at `at` (`step` 1: bytes, 2: UTF-16LE), any code point from 0 up, with
// its length in bytes; kNo where none can stand in a path.
Read PathChar(const Fed& d, size_t at, size_t step, char32_t* cp, size_t* length) {
    if (const Read have = Have(d, at, step); have != Read::kYes) return have;
    const unsigned char* p = d.p + at;
    if (step == 2) {
        const char32_t unit = p[0] | (p[1] << 8);
        *cp = unit;
        *length = 2;
        if (unit < 0xD800 || unit > 0xDFFF) return Read::kYes;
        if (unit > 0xDBFF) return Read::kNo;  // a low surrogate alone
        if (const Read have = Have(d, at + 2, 2); have != Read::kYes) return have;
        const char32_t low = p[2] | (p[3] << 8);
        if (low < 0xDC00 || low > 0xDFFF) return Read::kNo;
        *cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        *length = 4;
        return Read::kYes;
    }
    *length = 1;
    if (p[0] < 0x80) {
        *cp = p[0];
        return Read::kYes;
    }
    // A sequence whose bytes are not all fed yet may still turn out valid.
    const size_t want = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : 2;
    if (p[0] >= 0xC2 && p[0] <= 0xF4 && Have(d, at, want) == Read::kMore) return Read::kMore;
    if (const size_t sequence = Utf8SequenceLength(p, d.size - at, cp); sequence > 0) {
        *length = sequence;
        return Read::kYes;
    }
    *cp = p[0] >= 0xA0 ? p[0] : kCp1252High[p[0] - 0x80];
    return *cp != 0 ? Read::kYes : Read::kNo;
}

// Whether a path starts at `at`: a letter, a colon, a slash or backslash, then a character that
// may stand in a path and is no slash.
Read PathStart(const Fed& d, size_t at, size_t step) {
    char32_t cp = 0;
    size_t length = 0;
    for (int k = 0; k < 4; ++k, at += length) {
        const Read read = PathChar(d, at, step, &cp, &length);
        if (read != Read::kYes) return read;
        const bool fits = k == 0   ? IsAsciiLetter(cp)
                          : k == 1 ? cp == ':'
                          : k == 2 ? IsSlash(cp)
                                   : IsAllowedInPath(cp) && !IsSlash(cp);
        if (!fits) return Read::kNo;
    }
    return Read::kYes;
}

// Reads the path that starts at `start` and appends its text, as UTF-8, to *text; *end is where
// it ends, *chars how many characters it has.
// ASCII characters that may stand in a path, one bit each.
constexpr std::array<bool, 128> MakePathAscii() {
    std::array<bool, 128> allowed{};
    for (char32_t c = 0; c < 128; ++c) allowed[c] = IsAllowedInPath(c);
    return allowed;
}
constexpr auto kPathAscii = MakePathAscii();

// An ASCII character of a path at p that no other path can start at: most of a path.
bool PlainPathAscii(const unsigned char* p, size_t step) {
    return p[0] < 0x80 && (step == 1 || p[1] == 0) && kPathAscii[p[0]] &&
           !(IsAsciiLetter(p[0]) && p[step] == ':');
}

Read ReadPath(const Fed& d, size_t start, size_t step, std::string* text, size_t* end,
              uint64_t* chars) {
    const size_t textBegin = text->size();
    size_t at = start;
    *chars = 0;
    while (*chars < kLongestPath) {
        if (*chars >= 3) {  // plain ASCII in one go; the padding makes reading p[step] safe
            for (; *chars < kLongestPath && at + step <= d.size && PlainPathAscii(d.p + at, step);
                 at += step, ++*chars) {
                text->push_back(static_cast<char>(d.p[at]));
            }
            if (*chars == kLongestPath) break;
        }
        char32_t cp = 0;
        size_t length = 0;
        Read read = PathChar(d, at, step, &cp, &length);
        // The colon after the drive letter is the only one a path holds.
        if (read == Read::kYes && *chars != 1 && !IsAllowedInPath(cp)) break;
        if (read == Read::kYes && *chars >= 3 && IsAsciiLetter(cp)) {
            read = PathStart(d, at, step);
            if (read == Read::kYes) break;  // the next path begins here
            if (read == Read::kNo) read = Read::kYes;
        }
        if (read == Read::kMore) {
            text->resize(textBegin);
            return Read::kMore;
        }
        if (read == Read::kNo) break;
        AppendUtf8(text, cp);
        at += length;
        ++*chars;
    }
    *end = at;
    return Read::kYes;
}

// Reads every path that starts at a block position before `end`, in file order, and returns where
// the block's scan is to end: before the first path whose end the bytes not yet fed must tell.
size_t ReadPaths(Extractor* x, const Fed& d, size_t end) {
    for (int scanner = 0; scanner < 3; ++scanner) {
        x->paths[scanner].clear();
        if (x->pathEnd[scanner] > x->offset)  // a path of an earlier block reaches into this one
            x->paths[scanner].push_back({0, static_cast<size_t>(x->pathEnd[scanner] - x->offset)});
    }
    PendingStrings& pending = x->pending[kPathStrings];
    // A path's colon follows its letter: one byte later in bytes, two in UTF-16LE; a colon is
    // rare in binary data.
    const size_t last = std::min(d.size, end + 2);
    for (size_t colon = 1; colon < last; ++colon) {
        const void* found = std::memchr(d.p + colon, ':', last - colon);
        if (!found) break;
        colon = static_cast<size_t>(static_cast<const unsigned char*>(found) - d.p);
        for (size_t step = 2; step >= 1; --step) {  // the UTF-16LE start lies first
            if (colon < step || colon - step >= end) continue;
            const size_t start = colon - step;
            const Read isPath = PathStart(d, start, step);
            if (isPath == Read::kNo) continue;
            size_t pathEnd = 0;
            uint64_t chars = 0;
            const size_t textBegin = pending.text.size();
            if (isPath == Read::kMore ||
                ReadPath(d, start, step, &pending.text, &pathEnd, &chars) == Read::kMore) {
                return start;
            }
            if (chars >= x->minLength) {
                pending.strings.push_back({x->offset + start, textBegin, pending.text.size()});
            } else {
                pending.text.resize(textBegin);
            }
            const int scanner =
                step == 1 ? kByteScanner : 1 + static_cast<int>((x->offset + start) & 1);
            x->paths[scanner].push_back({start, pathEnd});
            x->pathEnd[scanner] = x->offset + pathEnd;
        }
    }
    return end;
}

// Bits of the 64 block positions from `base` that this scanner's paths hold.
uint64_t PathBits(const std::vector<PathSpan>& spans, size_t* first, size_t base) {
    while (*first < spans.size() && spans[*first].end <= base) ++*first;
    uint64_t bits = 0;
    for (size_t k = *first; k < spans.size() && spans[k].begin < base + 64; ++k) {
        const size_t from = spans[k].begin > base ? spans[k].begin - base : 0;
        bits |= BitsBelow(std::min<size_t>(spans[k].end - base, 64)) & ~BitsBelow(from);
    }
    return bits;
}

void EndRun(Extractor* x, int scanner, const unsigned char* p, size_t runBegin, size_t end) {
    RunState& run = x->runs[scanner];
    if (run.chars >= x->minLength || run.split) {
        if (end > runBegin)
            run.carry.append(reinterpret_cast<const char*>(p) + runBegin, end - runBegin);
        KeepPieces(x, scanner, run.start, reinterpret_cast<const unsigned char*>(run.carry.data()),
                   run.carry.size());
    }
    run.active = false;
    run.split = false;
    run.chars = 0;
    run.carry.clear();
}

// Keeps the active run's bytes of this block for the next one. A run known to be kept writes its
// whole pieces as it grows, so memory stays bounded; a piece's end is told once the character
// that may straddle it has been fed.
void CarryRun(Extractor* x, int scanner, const unsigned char* p, size_t runBegin, size_t end) {
    RunState& run = x->runs[scanner];
    if (!run.active) return;
    run.carry.append(reinterpret_cast<const char*>(p) + runBegin, end - runBegin);
    if (run.chars < x->minLength) return;
    const auto* carried = reinterpret_cast<const unsigned char*>(run.carry.data());
    size_t written = 0;
    while (run.carry.size() - written >= x->pieceBytes + 1 + kLookAhead) {
        const size_t cut = PieceEnd(x, scanner, carried + written, run.carry.size() - written);
        KeepText(x, scanner, run.start, carried + written, cut);
        run.start += cut;
        written += cut;
        run.split = true;
    }
    run.carry.erase(0, written);
}

// Ends a run found inside this block.
void KeepBlockRun(Extractor* x, int scanner, const unsigned char* p, size_t begin, size_t end,
                  uint64_t chars) {
    KeepRun(x, scanner, x->offset + begin, p + begin, end - begin, chars);
}

// How 64 bytes stand in byte runs; bit k stands for byte k.
struct ByteMasks {
    uint64_t alive;   // the byte belongs to a character a run may hold
    uint64_t starts;  // ... and is its first byte
    uint64_t wide;    // the UTF-16LE unit starting at the byte is a character of a run
};

// Bytes of UTF-8 sequences that reach into the next 64.
struct SequenceCarry {
    uint64_t letter = 0;  // continuation bytes of a letter
    uint64_t dead = 0;    // bytes of a sequence that is no letter
};

// Per byte of 64: printable ASCII or tab; a Windows-1252 letter; a UTF-8 lead byte followed by a
// continuation byte (a sequence may start here); a UTF-16LE unit starting here that is a
// character of a run (printable ASCII or a Latin letter).
struct PlainMasks {
    uint64_t ascii = 0;
    uint64_t cp1252 = 0;
    uint64_t leads = 0;
    uint64_t wide = 0;
};

#if defined(SPURLESE_SSE2_SCAN)
PlainMasks ClassifyPlain(const unsigned char* p) {
    // Signed byte compares: 0x80 and above are negative.
    const auto s8 = [](int b) { return _mm_set1_epi8(static_cast<char>(b)); };
    const auto load = [p](int at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    };
    const auto bits = [](__m128i v, int k) {
        return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << (16 * k);
    };
    PlainMasks m;
    uint64_t high = 0;
    __m128i ascii[4];
    for (int k = 0; k < 4; ++k) {
        const __m128i v = load(16 * k), next = load(16 * k + 1);
        ascii[k] =
            _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi8(v, s8(0x1F)), _mm_cmplt_epi8(v, s8(0x7F))),
                         _mm_cmpeq_epi8(v, s8('\t')));
        // Units with high byte 1, or 2 and a low byte up to 0x4F; high byte 0 waits for the
        // letters below.
        const __m128i wide = _mm_or_si128(
            _mm_cmpeq_epi8(next, s8(1)),
            _mm_and_si128(_mm_cmpeq_epi8(next, s8(2)),
                          _mm_and_si128(_mm_cmpgt_epi8(v, s8(-1)), _mm_cmplt_epi8(v, s8(0x50)))));
        m.ascii |= bits(ascii[k], k);
        m.wide |= bits(_mm_or_si128(wide, _mm_and_si128(_mm_cmpeq_epi8(next, s8(0)), ascii[k])), k);
        high |= bits(v, k);
    }
    if (high == 0) return m;  // no letters outside ASCII: the common case
    for (int k = 0; k < 4; ++k) {
        const __m128i v = load(16 * k), next = load(16 * k + 1);
        // 0xC0 and above but 0xD7 and 0xF7: Latin-1 letters, in both kinds of run.
        const __m128i latin =
            _mm_andnot_si128(_mm_or_si128(_mm_cmpeq_epi8(v, s8(0xD7)), _mm_cmpeq_epi8(v, s8(0xF7))),
                             _mm_and_si128(_mm_cmpgt_epi8(v, s8(0xBF)), _mm_cmplt_epi8(v, s8(0))));
        m.wide |= bits(_mm_and_si128(_mm_cmpeq_epi8(next, s8(0)), latin), k);
        // Windows-1252 has eleven more letters between 0x80 and 0xBF: 0x8A, 0x8C, 0x8E and
        // 0xAA differ from 0x9A, 0x9C, 0x9E and 0xBA only in bit 4.
        const __m128i folded = _mm_or_si128(v, s8(0x10));
        __m128i cp1252 = latin;
        for (int b : {0x9A, 0x9C, 0x9E, 0xBA})
            cp1252 = _mm_or_si128(cp1252, _mm_cmpeq_epi8(folded, s8(b)));
        for (int b : {0x83, 0x9F, 0xB5}) cp1252 = _mm_or_si128(cp1252, _mm_cmpeq_epi8(v, s8(b)));
        const __m128i leads =
            _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi8(v, s8(0xC1)), _mm_cmplt_epi8(v, s8(0xF5))),
                          _mm_cmplt_epi8(next, s8(0xC0)));
        m.cp1252 |= bits(cp1252, k);
        m.leads |= bits(leads, k);
    }
    return m;
}
#else
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

PlainMasks ClassifyPlain(const unsigned char* p) {
    PlainMasks m;
    for (int k = 0; k < 64; ++k) {
        const uint64_t bit = uint64_t{1} << k;
        if ((p[k] >= 0x20 && p[k] <= 0x7E) || p[k] == '\t') m.ascii |= bit;
        if (p[k] >= 0x80 && kCp1252Letters[p[k] - 0x80] != 0) m.cp1252 |= bit;
        if (p[k] >= 0xC2 && p[k] <= 0xF4 && (p[k + 1] & 0xC0) == 0x80) m.leads |= bit;
        if (p[k + 1] <= 2 && kWideChars[p[k + 1]][p[k]]) m.wide |= bit;
    }
    return m;
}
#endif

// Reads the 64 bytes at p (with three more readable after them). A valid UTF-8 sequence is one
// character: a letter, or a piece of no run as a whole. Any other byte at or above 0x80 stands
// alone, read as Windows-1252.
ByteMasks ClassifyBytes(const unsigned char* p, SequenceCarry* carry) {
    const PlainMasks plain = ClassifyPlain(p);
    uint64_t letterLeads = 0, letterRest = carry->letter, dead = carry->dead;
    *carry = SequenceCarry{};
    for (uint64_t leads = plain.leads; leads != 0; leads &= leads - 1) {
        const int at = std::countr_zero(leads);
        // A lead byte below 0xE0 followed by a continuation byte is valid UTF-8 as it stands.
        char32_t cp = ((p[at] & 0x1F) << 6) | (p[at + 1] & 0x3F);
        const size_t length = p[at] < 0xE0 ? 2 : Utf8SequenceLength(p + at, kLookAhead, &cp);
        if (length == 0) continue;
        const uint64_t bytes = (uint64_t{1} << length) - 1;
        const uint64_t here = bytes << at;
        const uint64_t next = at + length > 64 ? bytes >> (64 - at) : 0;
        if (length == 2 ? (kTwoByteLetters[cp >> 6] >> (cp & 63)) & 1 : IsUtf8Letter(cp)) {
            letterLeads |= uint64_t{1} << at;
            letterRest |= here & (here - 1);
            carry->letter |= next;
        } else {
            dead |= here;
            carry->dead |= next;
        }
    }
    const uint64_t starts = plain.ascii | letterLeads | (plain.cp1252 & ~(dead | letterRest));
    return {starts | letterRest, starts, plain.wide};
}

// Where a block may end: not inside a valid UTF-8 sequence, so that a sequence is always read
// whole. `end` has at least three bytes after it.
size_t SequenceBoundary(const unsigned char* p, size_t end) {
    for (size_t back = 1; back <= 3 && back <= end; ++back) {
        char32_t cp = 0;
        const size_t length = Utf8SequenceLength(p + end - back, back + 3, &cp);
        if (length > back) return end - back + length;
    }
    return end;
}

// A scanner's place among the runs of a block, whose characters are read as bit masks.
struct RunCursor {
    bool active = false;
    bool carried = false;  // the active run began in an earlier block
    uint64_t chars = 0;
    size_t runBegin = 0;  // block position of the active run, unless carried
    size_t first = 0;     // block position of the scanner's first character in this block
};

RunCursor StartCursor(const Extractor* x, int scanner) {
    const RunState& run = x->runs[scanner];
    RunCursor cursor;
    cursor.active = cursor.carried = run.active;
    cursor.chars = run.chars;
    cursor.first = static_cast<size_t>(run.next - x->offset);
    return cursor;
}

// Finds stretches of at least n set bits (n at most 64) in a few shift-and steps: after a step
// by `by`, bit k stands for bits k to k + covered - 1 of the original.
struct StretchSteps {
    int count = 0;
    unsigned by[8] = {};
};

StretchSteps MakeStretchSteps(uint64_t n) {
    n = std::min<uint64_t>(n, 64);
    StretchSteps steps;
    uint64_t covered = 1;
    for (; covered * 2 <= n; covered *= 2) steps.by[steps.count++] = static_cast<unsigned>(covered);
    if (covered < n) steps.by[steps.count++] = static_cast<unsigned>(n - covered);
    return steps;
}

// Bit k is set when bits k to k + n - 1 of v are all set, bits past 63 counting as set.
uint64_t LongStretches(uint64_t v, const StretchSteps& steps) {
    for (int k = 0; k < steps.count; ++k) v &= ~(~v >> steps.by[k]);  // ones shifted in at the top
    return v;
}

// Reads `count` characters' bits: bit k stands for the character at block position
// base + k * step; `alive` marks the bytes a run may hold, and `rest` those of them that continue
// a character rather than start one.
void ReadRuns(Extractor* x, int scanner, const unsigned char* p, RunCursor* c,
              const StretchSteps& stretch, uint64_t alive, uint64_t rest, size_t count, size_t base,
              size_t step) {
    const uint64_t inside = BitsBelow(count);
    alive &= inside;
    if (!c->active && alive == 0) return;
    const uint64_t stops = ~alive & inside;
    rest &= alive;
    // Runs that start here and end before `count` with fewer bytes than the minimum are passed
    // over: only starts of stretches of at least that many bytes, or reaching `count`, are read.
    const uint64_t starts = alive & ~(alive << 1) & LongStretches(alive | ~inside, stretch);
    for (size_t at = 0; at < count;) {
        if (!c->active) {
            const uint64_t ahead = starts >> at;
            if (ahead == 0) return;
            at += static_cast<size_t>(std::countr_zero(ahead));
            c->active = true;
            c->runBegin = base + at * step;
            c->chars = 0;
        }
        const uint64_t stop = stops >> at;
        const size_t runEnd = stop == 0 ? count : at + static_cast<size_t>(std::countr_zero(stop));
        c->chars += runEnd - at;
        if (const uint64_t inRun = rest & BitsBelow(runEnd) & ~BitsBelow(at)) {
            c->chars -= static_cast<uint64_t>(std::popcount(inRun));
        }
        if (stop == 0) return;  // the run goes on
        const size_t end = base + runEnd * step;
        if (c->carried) {
            x->runs[scanner].chars = c->chars;
            EndRun(x, scanner, p, c->first, end);
            c->carried = false;
        } else if (c->chars >= x->minLength) {
            KeepBlockRun(x, scanner, p, c->runBegin, end, c->chars);
        }
        c->active = false;
        at = runEnd + 1;
    }
}

// At the end of a block, at block position `next`: a run still going on is carried into the
// next block.
void LeaveBlock(Extractor* x, int scanner, const unsigned char* p, const RunCursor& c,
                size_t next) {
    RunState& run = x->runs[scanner];
    if (c.active && c.carried) {
        run.chars = c.chars;
        CarryRun(x, scanner, p, c.first, next);
    } else if (c.active) {
        run.active = true;
        run.split = false;
        run.start = x->offset + c.runBegin;
        run.chars = c.chars;
        run.carry.clear();
        CarryRun(x, scanner, p, c.runBegin, next);
    }
    run.next = x->offset + next;
}

// Bits 0, 2, 4, ... of v gathered into bits 0 to 31.
uint64_t EvenBits(uint64_t v) {
    v &= 0x5555555555555555;
    v = (v | (v >> 1)) & 0x3333333333333333;
    v = (v | (v >> 2)) & 0x0F0F0F0F0F0F0F0F;
    v = (v | (v >> 4)) & 0x00FF00FF00FF00FF;
    v = (v | (v >> 8)) & 0x0000FFFF0000FFFF;
    return (v | (v >> 16)) & 0x00000000FFFFFFFF;
}

// Reads the runs of block positions [0, end), 64 bytes at a time: byte runs, which end at a
// character boundary, and UTF-16LE runs at both parities of units that start before `wideEnd`.
void ScanRuns(Extractor* x, const unsigned char* p, size_t end, size_t wideEnd) {
    RunCursor cursors[3] = {StartCursor(x, 0), StartCursor(x, 1), StartCursor(x, 2)};
    const StretchSteps stretch = MakeStretchSteps(x->minLength);
    SequenceCarry sequences;
    const bool anyPath = !x->paths[0].empty() || !x->paths[1].empty() || !x->paths[2].empty();
    size_t firstPath[3] = {};
    for (size_t base = 0; base < end; base += 64) {
        uint64_t inPath[3] = {};
        if (anyPath) {
            for (int scanner = 0; scanner < 3; ++scanner)
                inPath[scanner] = PathBits(x->paths[scanner], &firstPath[scanner], base);
        }
        const ByteMasks masks = ClassifyBytes(p + base, &sequences);
        ReadRuns(x, kByteScanner, p, &cursors[0], stretch, masks.alive & ~inPath[0],
                 masks.alive & ~masks.starts, std::min<size_t>(64, end - base), base, 1);
        for (int scanner = 1; scanner <= 2; ++scanner) {
            RunCursor& cursor = cursors[scanner];
            const size_t parity = cursor.first & 1;
            const size_t from = base + parity;
            if (from >= wideEnd) continue;
            const uint64_t wide = (masks.wide & ~inPath[scanner]) >> parity;
            if (!cursor.active && (wide & 0x5555555555555555) == 0) continue;
            ReadRuns(x, scanner, p, &cursor, stretch, EvenBits(wide), 0,
                     std::min<size_t>(32, (wideEnd - from + 1) / 2), from, 2);
        }
    }
    LeaveBlock(x, kByteScanner, p, cursors[0], end);
    for (int scanner = 1; scanner <= 2; ++scanner) {
        size_t next = cursors[scanner].first;
        if (next < wideEnd) next += (wideEnd - next + 1) / 2 * 2;  // the first unit from wideEnd on
        LeaveBlock(x, scanner, p, cursors[scanner], next);
    }
}

// Writes every pending string that starts before `horizon`, in file order: each scanner's
// strings are in order, so they are merged; at the same place, byte runs come first.
void Flush(Extractor* x, uint64_t horizon) {
    for (;;) {
        PendingStrings* first = nullptr;
        for (PendingStrings& pending : x->pending) {
            if (pending.next < pending.strings.size() &&
                pending.strings[pending.next].start < horizon &&
                (!first ||
                 pending.strings[pending.next].start < first->strings[first->next].start)) {
                first = &pending;
            }
        }
        if (!first) break;
        const Pending& string = first->strings[first->next++];
        x->out->append(first->text, string.begin, string.end - string.begin);
        x->out->push_back('\n');
    }
    for (PendingStrings& pending : x->pending) {
        if (pending.next == pending.strings.size()) {
            pending.text.clear();
            pending.strings.clear();
            pending.next = 0;
        } else if (pending.next > 0) {  // a run of another scanner holds these back
            const size_t drop = pending.strings[pending.next].begin;
            pending.strings.erase(pending.strings.begin(),
                                  pending.strings.begin() + static_cast<ptrdiff_t>(pending.next));
            pending.next = 0;
            for (Pending& string : pending.strings) {
                string.begin -= drop;
                string.end -= drop;
            }
            pending.text.erase(0, drop);
        }
    }
}

// Scans block positions [0, end), or less where a path needs bytes not yet fed, and returns
// how far it scanned; the bytes after that serve as look-ahead only.
size_t ScanBlock(Extractor* x, size_t end, bool final) {
    const size_t size = x->block.size();
    x->block.append(kPadding, '\0');  // zeros read like the end of the file
    const auto* p = reinterpret_cast<const unsigned char*>(x->block.data());
    end = ReadPaths(x, Fed{p, size, final}, end);
    if (end > 0) {
        // A UTF-16 unit needs its second byte: the last unit of the file may lack it.
        ScanRuns(x, p, end, std::min(end, size - 1));
        uint64_t horizon = x->offset + end;
        for (const RunState& run : x->runs) {
            if (run.active) horizon = std::min(horizon, run.start);
        }
        Flush(x, horizon);
    }
    x->block.resize(size);
    return end;
}

}  // namespace

void ExtractorStart(Extractor* x, uint64_t minLength, std::string* out, size_t pieceBytes) {
    *x = Extractor{};
    x->minLength = std::max<uint64_t>(minLength, 1);
    x->pieceBytes = std::max<size_t>(pieceBytes, 1);
    x->out = out;
    x->runs[1].next = 0;
    x->runs[2].next = 1;
}

void ExtractorFeed(Extractor* x, const char* data, size_t size) {
    x->block.append(data, size);
    if (x->block.size() <= kBlockLookAhead) return;
    size_t end = SequenceBoundary(reinterpret_cast<const unsigned char*>(x->block.data()),
                                  x->block.size() - kBlockLookAhead);
    end = ScanBlock(x, end, false);
    x->block.erase(0, end);
    x->offset += end;
}

void ExtractorFinish(Extractor* x) {
    if (!x->block.empty()) ScanBlock(x, x->block.size(), true);
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

}  // namespace SPURLESE_EXTRACTOR_BUILD
}  // namespace extractor

}  // namespace spurlese

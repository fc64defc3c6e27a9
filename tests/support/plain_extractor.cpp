#include "tests/support/plain_extractor.h"

#include <algorithm>
#include <vector>

#include "tools/string_extractor.h"

namespace spurlese {

namespace {

// One character of a reading: in bytes a valid UTF-8 sequence or a single byte, in UTF-16LE a
// unit. `run` tells whether a run may hold it; `path` is what it is in a path (0: nothing).
struct Char {
    uint64_t offset;
    size_t bytes;
    bool run;
    char32_t path;
    std::string utf8;  // its text in a run
};

struct Found {
    uint64_t offset;
    int kind;  // at the same offset: byte runs, then UTF-16LE runs, then paths
    std::string text;
};

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool IsPrintableAscii(char32_t c) {
    return c == '\t' || (c >= 0x20 && c <= 0x7E);
}

bool IsLatinLetter(char32_t c) {
    return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7;
}

bool IsUtf8Letter(char32_t c) {
    return c == 0xAA || c == 0xB5 || c == 0xBA || IsLatinLetter(c) ||
           (c >= 0x370 && c <= 0x3FF && c != 0x37E && c != 0x387) || (c >= 0x400 && c <= 0x481) ||
           (c >= 0x48A && c <= 0x4FF) || (c >= 0x1E00 && c <= 0x1EFF);
}

// Windows-1252 from 0x80 on; 0 for the five unassigned bytes.
char32_t Cp1252(unsigned char b) {
    static const char32_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    return b >= 0xA0 ? b : high[b - 0x80];
}

bool IsCp1252Letter(unsigned char b) {
    const char32_t c = Cp1252(b);
    return c == 0x192 || c == 0x160 || c == 0x152 || c == 0x17D || c == 0x161 || c == 0x153 ||
           c == 0x17E || c == 0x178 || c == 0xAA || c == 0xB5 || c == 0xBA || IsLatinLetter(c);
}

// Decodes the UTF-8 sequence of two to four bytes at i by the book (shortest form, no
// surrogates, nothing past U+10FFFF); its length, or 0.
size_t DecodeUtf8(const std::string& bytes, size_t i, char32_t* cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const size_t length = byte(i) >= 0xF8   ? 0  // no lead byte
                          : byte(i) >= 0xF0 ? 4
                          : byte(i) >= 0xE0 ? 3
                          : byte(i) >= 0xC0 ? 2
                                            : 0;
    if (length == 0 || i + length > bytes.size()) return 0;
    char32_t value = byte(i) & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < least[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
    *cp = value;
    return length;
}

std::vector<Char> ReadBytes(const std::string& bytes) {
    std::vector<Char> chars;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        char32_t cp = 0;
        const size_t length = b >= 0x80 ? DecodeUtf8(bytes, i, &cp) : 0;
        if (length > 0) {
            chars.push_back({i, length, IsUtf8Letter(cp), cp, bytes.substr(i, length)});
        } else if (b >= 0x80) {
            chars.push_back({i, 1, IsCp1252Letter(b), Cp1252(b), Utf8(Cp1252(b))});
        } else {
            chars.push_back({i, 1, IsPrintableAscii(b), b, std::string(1, static_cast<char>(b))});
        }
        i += chars.back().bytes;
    }
    return chars;
}

// UTF-16LE units at one parity; a unit's `path` is the unit itself, surrogates too (a pair is
// put together where a path reads it).
std::vector<Char> ReadUnits(const std::string& bytes, size_t parity) {
    std::vector<Char> chars;
    for (size_t i = parity; i + 1 < bytes.size(); i += 2) {
        const char32_t unit =
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        chars.push_back({i, 2, IsPrintableAscii(unit) || IsLatinLetter(unit), unit, Utf8(unit)});
    }
    return chars;
}

bool IsSurrogate(char32_t c, char32_t first) {
    return c >= first && c <= first + 0x3FF;
}

// The path character at k, with how many characters of the reading it takes; 0 for none.
size_t PathCharAt(const std::vector<Char>& c, size_t k, char32_t* cp) {
    if (k >= c.size() || c[k].path == 0) return 0;
    *cp = c[k].path;
    if (IsSurrogate(*cp, 0xDC00)) return 0;
    if (!IsSurrogate(*cp, 0xD800)) return 1;
    if (k + 1 >= c.size() || !IsSurrogate(c[k + 1].path, 0xDC00)) return 0;
    *cp = 0x10000 + ((*cp - 0xD800) << 10) + (c[k + 1].path - 0xDC00);
    return 2;
}

bool AllowedInPath(char32_t c) {
    return c >= 0x20 && std::u32string_view(U"<>\"|?*:").find(c) == std::u32string_view::npos;
}

bool IsSlash(char32_t c) {
    return c == '\\' || c == '/';
}

bool PathStartsAt(const std::vector<Char>& c, size_t k) {
    char32_t fourth = 0;
    return k + 3 < c.size() &&
           ((c[k].path >= 'A' && c[k].path <= 'Z') || (c[k].path >= 'a' && c[k].path <= 'z')) &&
           c[k + 1].path == ':' && IsSlash(c[k + 2].path) && PathCharAt(c, k + 3, &fourth) > 0 &&
           AllowedInPath(fourth) && !IsSlash(fourth);
}

// A run long enough is kept; a very long one in pieces, each ending before the first character
// that starts `pieceBytes` or more after the piece's start.
void KeepRun(std::vector<Char>* run, int kind, uint64_t minLength, size_t pieceBytes,
             std::vector<Found>* found) {
    if (!run->empty() && run->size() >= minLength) {
        found->push_back({run->front().offset, kind, ""});
        for (const Char& c : *run) {
            if (c.offset >= found->back().offset + pieceBytes)
                found->push_back({c.offset, kind, ""});
            found->back().text += c.utf8;
        }
    }
    run->clear();
}

// Runs of one reading, each path read whole by its own rules.
void Extract(const std::vector<Char>& c, int kind, uint64_t minLength, size_t pieceBytes,
             std::vector<Found>* found) {
    std::vector<Char> run;
    for (size_t k = 0; k < c.size();) {
        if (!PathStartsAt(c, k)) {
            if (c[k].run) {
                run.push_back(c[k]);
            } else {
                KeepRun(&run, kind, minLength, pieceBytes, found);
            }
            ++k;
            continue;
        }
        KeepRun(&run, kind, minLength, pieceBytes, found);
        const uint64_t offset = c[k].offset;
        std::string text = "X:";
        text[0] = static_cast<char>(c[k].path);
        uint64_t chars = 2;
        for (k += 2; chars < 32767; ++chars) {
            char32_t cp = 0;
            const size_t taken = PathCharAt(c, k, &cp);
            if (taken == 0 || !AllowedInPath(cp) || (chars > 2 && PathStartsAt(c, k))) break;
            text += Utf8(cp);
            k += taken;
        }
        if (chars >= minLength) found->push_back({offset, 2, text});
    }
    KeepRun(&run, kind, minLength, pieceBytes, found);
}

}  // namespace

std::string PlainExtract(const std::string& bytes, uint64_t minLength, size_t pieceBytes) {
    minLength = std::max<uint64_t>(minLength, 1);
    std::vector<Found> found;
    Extract(ReadBytes(bytes), 0, minLength, pieceBytes, &found);
    Extract(ReadUnits(bytes, 0), 1, minLength, pieceBytes, &found);
    Extract(ReadUnits(bytes, 1), 1, minLength, pieceBytes, &found);
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.kind < b.kind;
    });
    std::string out;
    for (const Found& f : found) out += f.text + "\n";
    return out;
}

}  // namespace spurlese

// Text procedures of the headless platform: the same results as CharLowerBuffW and
// MultiByteToWideChar / WideCharToMultiByte with CP_UTF8 give on Windows.
#include <algorithm>

#include "platform/headless/lower_case_table.h"
#include "platform/platform.h"

namespace spurlese {

namespace platform {

namespace {

char16_t LowerUnit(char16_t unit) {
    if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? unit + 32 : unit;
    const auto* end = std::end(kLowerCaseRuns);
    const auto* run =
        std::upper_bound(std::begin(kLowerCaseRuns), end, unit,
                         [](char16_t u, const LowerCaseRun& r) { return u < r.first; });
    if (run == std::begin(kLowerCaseRuns)) return unit;
    --run;
    if (unit > run->last || (unit - run->first) % run->step != 0) return unit;
    return static_cast<char16_t>(unit + run->delta);
}

constexpr char16_t kReplacement = 0xFFFD;

bool gFailNextConversion = false;

// A fault asked for by a test: the conversion fails once.
bool ConversionFails() {
    const bool fails = gFailNextConversion;
    gFailNextConversion = false;
    return fails;
}

}  // namespace

std::u16string LowerCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out) unit = LowerUnit(unit);
    return out;
}

void ResetText() {
    gFailNextConversion = false;
}

bool ConvertUtf8ToUtf16(std::string_view bytes, std::u16string* text) {
    std::u16string& out = *text;
    out.clear();
    if (ConversionFails()) return false;
    out.reserve(bytes.size());
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte (this excludes overlong forms,
        // surrogates and values above U+10FFFF, as the Unicode standard asks).
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            if (b0 == 0xE0) lo = 0xA0;
            if (b0 == 0xED) hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            if (b0 == 0xF0) lo = 0x90;
            if (b0 == 0xF4) hi = 0x8F;
        }
        if (len == 0) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t cp = b0 & (0x7F >> len);
        int taken = 1;
        bool valid = true;
        for (; taken < len; ++taken) {
            if (i + taken >= n) {
                valid = false;
                break;
            }
            const auto b = static_cast<unsigned char>(bytes[i + taken]);
            const unsigned char min = taken == 1 ? lo : 0x80;
            const unsigned char max = taken == 1 ? hi : 0xBF;
            if (b < min || b > max) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!valid) {
            // A truncated or broken sequence is one replacement; the byte that broke it starts
            // afresh.
            out.push_back(kReplacement);
            i += taken;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return true;
}

bool ConvertUtf16ToUtf8(std::u16string_view text, std::string* bytes) {
    std::string& out = *bytes;
    out.clear();
    if (ConversionFails()) return false;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

}  // namespace platform

namespace headless {

void FailNextConversion() {
    platform::gFailNextConversion = true;
}

}  // namespace headless

}  // namespace spurlese

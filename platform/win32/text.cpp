// Text procedures over the Windows API itself, so the program lower-cases and decodes exactly
// as the file system and the shell do.
#include "platform/win32/win32_internal.h"

#include <algorithm>

namespace spurlese {

namespace platform {

using win32::U;

std::u16string LowerCase(std::u16string_view text) {
    std::u16string out(text);
    // ASCII is lowered here, as CharLowerBuffW lowers it: the system is asked only for a text with
    // other letters (under Wine a call costs microseconds, and the scan lowers a name per line).
    bool ascii = true;
    for (char16_t& unit : out) {
        if (unit >= 0x80) {
            ascii = false;
            break;
        }
        if (unit >= u'A' && unit <= u'Z') unit += u'a' - u'A';
    }
    if (!ascii)
        CharLowerBuffW(reinterpret_cast<wchar_t*>(out.data()), static_cast<DWORD>(out.size()));
    return out;
}

namespace {

// The API counts in int: a text is converted in pieces of at most this many units or bytes, each
// ending at a character's end, so no size is ever narrowed.
constexpr size_t kPiece = size_t{1} << 28;

// Where the piece from `at` ends in UTF-8: not inside a sequence.
size_t Utf8PieceEnd(std::string_view bytes, size_t at) {
    size_t end = at + std::min(kPiece, bytes.size() - at);
    for (int back = 0; back < 3 && end < bytes.size() && (bytes[end] & 0xC0) == 0x80; ++back) --end;
    return end;
}

// Where the piece from `at` ends in UTF-16: not between the halves of a pair.
size_t Utf16PieceEnd(std::u16string_view text, size_t at) {
    size_t end = at + std::min(kPiece, text.size() - at);
    if (end < text.size() && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
    return end;
}

}  // namespace

bool ConvertUtf8ToUtf16(std::string_view bytes, std::u16string* text) {
    text->clear();
    // Most of what an extractor prints is ASCII, which widens unit by unit; the system is asked
    // only for the rest (two calls a piece, costly for millions of short lines).
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        text->assign(bytes.begin(), bytes.end());
        return true;
    }
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = Utf8PieceEnd(bytes, at);
        const int size = static_cast<int>(end - at);
        const int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + at, size, nullptr, 0);
        const size_t done = text->size();
        if (units > 0) text->resize(done + static_cast<size_t>(units));
        if (units <= 0 ||
            MultiByteToWideChar(CP_UTF8, 0, bytes.data() + at, size,
                                reinterpret_cast<wchar_t*>(text->data() + done), units) != units) {
            text->clear();
            return false;
        }
        at = end;
    }
    return true;
}

bool ConvertUtf16ToUtf8(std::u16string_view text, std::string* bytes) {
    bytes->clear();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    for (size_t at = 0; at < text.size();) {
        const size_t end = Utf16PieceEnd(text, at);
        const int size = static_cast<int>(end - at);
        const int count =
            WideCharToMultiByte(CP_UTF8, 0, wide + at, size, nullptr, 0, nullptr, nullptr);
        const size_t done = bytes->size();
        if (count > 0) bytes->resize(done + static_cast<size_t>(count));
        if (count <= 0 || WideCharToMultiByte(CP_UTF8, 0, wide + at, size, bytes->data() + done,
                                              count, nullptr, nullptr) != count) {
            bytes->clear();
            return false;
        }
        at = end;
    }
    return true;
}

}  // namespace platform

}  // namespace spurlese

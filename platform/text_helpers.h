// Small text and byte helpers the program's logic and both platforms share: no system calls,
// header only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace spurlese {

// A number in decimal, as the program shows and writes numbers: no leading zeros or blanks, a
// minus sign when negative.
inline std::u16string Decimal(int64_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

// A number of a date or time with two digits at least: "07".
inline std::u16string TwoDigits(int number) {
    return (number >= 0 && number < 10 ? u"0" : u"") + Decimal(number);
}

// A number with the dots German puts between thousands: "47.395.123".
inline std::u16string Grouped(int64_t number) {
    std::u16string digits = Decimal(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > (digits[0] == u'-' ? 1 : 0); at -= 3)
        digits.insert(static_cast<size_t>(at), 1, u'.');
    return digits;
}

// The name part of a path: what follows its last backslash or slash (the whole text without one).
inline std::u16string_view FileNamePart(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

// The folder part of a path: up to and including its last backslash or slash (empty without one).
inline std::u16string_view FolderPart(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string_view::npos ? std::u16string_view() : path.substr(0, cut + 1);
}

// A folder as the start of the paths in it: with a final backslash ("D:\Fotos\"). A text that
// ends in one stays as it is.
inline std::u16string WithFinalBackslash(std::u16string_view folder) {
    std::u16string result(folder);
    if (result.empty() || result.back() != u'\\') result.push_back(u'\\');
    return result;
}

// A folder as a listing is asked for it, and as paths are joined to it: without final
// backslashes ("D:\" is "D:").
inline std::u16string_view WithoutFinalBackslash(std::u16string_view folder) {
    while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    return folder;
}

// The unsigned little-endian number in `size` (up to 4) bytes at `at`, as Windows file formats
// store them; the caller checks that the bytes are there.
inline uint32_t LittleEndian(std::string_view bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

}  // namespace spurlese

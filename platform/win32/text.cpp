// Text procedures over the Windows API itself, so the program lower-cases and decodes exactly
// as the file system and the shell do.
#include "platform/win32/win32_internal.h"

namespace platform {

using win32::U;

std::u16string LowerCase(std::u16string_view text) {
    std::u16string out(text);
    if (!out.empty()) {
        CharLowerBuffW(reinterpret_cast<wchar_t*>(out.data()), static_cast<DWORD>(out.size()));
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::u16string out(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(out.data()),
                        units);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, size, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace platform

// Paths over 259 characters are handed to Windows in the "\\?\" form, which lifts the MAX_PATH
// limit of the file functions (archives often hold deep folders with long names). Shared by the
// Win32 file layer and our extractor.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <string>

namespace spurlese {

namespace longpath {

inline bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The form of a path to hand to the file functions: unchanged up to 259 characters, for a
// relative path and for one already in a "\\?\" or "\\.\" form; else "\\?\D:\..." or
// "\\?\UNC\server\share\...". That form is taken literally, so the path is first made whole as
// Windows makes a short one (slashes, doubled separators, "." and "..").
inline std::wstring LongPathForm(const std::wstring& path) {
    constexpr size_t kLongestPlainPath = MAX_PATH - 1;
    if (path.size() <= kLongestPlainPath) return path;
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0) return path;
    const bool unc = IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool drive =
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && IsSeparator(path[2]);
    if (!unc && !drive) return path;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return unc ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

}  // namespace longpath

}  // namespace spurlese

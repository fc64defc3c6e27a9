// The test drive D: is a folder of the build tree that scripts/wine_run maps into the Wine
// prefix; a marker file proves it before anything on it is removed.
#ifndef UNICODE
#define UNICODE
#endif
#include "platform/win32/win32_internal.h"

#include <richedit.h>
#include <windows.h>

#include <tlhelp32.h>

#include <string>
#include <thread>

#include "platform/file_faults.h"
#include "platform/platform.h"
#include "program/program.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace testsupport {

namespace {

using platform::win32::W;

constexpr wchar_t kMarker[] = L"D:\\.spurlese-test-drive";

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (folder == L"D:" && path == kMarker) continue;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

}  // namespace

void ResetForTest() {
    platform::ReleasePlatform();
    platform::ClearFileFaults();
    SetCurrentDirectoryW(L"C:\\");  // never stand on the drive that is emptied
    ResetProgramLists();
    if (GetFileAttributesW(kMarker) == INVALID_FILE_ATTRIBUTES) {
        // Not our test drive: leave it alone and let the tests fail loudly.
        std::fprintf(stderr,
                     "D: is not the test drive (no marker); run through scripts/wine_run\n");
        return;
    }
    RemoveTree(L"D:");
}

const char* PlatformName() {
    return "win32";
}

bool MakeTestFolder(std::u16string_view path) {
    std::wstring wide = Wide(path);
    for (size_t i = 3; i <= wide.size(); ++i) {
        if (i == wide.size() || wide[i] == L'\\' || wide[i] == L'/') {
            CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
        }
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeTestFile(std::u16string_view path, std::string_view bytes, bool hidden) {
    const size_t cut = path.find_last_of(u"\\/");
    if (cut != std::u16string_view::npos && cut > 2 && !MakeTestFolder(path.substr(0, cut))) {
        return false;
    }
    if (!platform::WriteFileBytes(path, bytes)) return false;
    return !hidden || SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
}

bool MakeHardLink(std::u16string_view path, std::u16string_view existing) {
    return CreateHardLinkW(Wide(path).c_str(), Wide(existing).c_str(), nullptr) != 0;
}

bool SetLastWriteTime(std::u16string_view path, int64_t lastWrite) {
    HANDLE file = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const FILETIME time = {static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &time) != 0;
    CloseHandle(file);
    return set;
}

void SetWorkingDirectory(std::u16string_view path) {
    SetCurrentDirectoryW(Wide(path).c_str());
}

// The built tools lie beside the test executables (tests\) and in tools\ of the build tree.
bool InstallExtractor(std::u16string_view folder, ExtractorKind kind) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir = self;
    dir.resize(dir.find_last_of(L'\\') + 1);
    const std::wstring source = kind == ExtractorKind::Strings
                                    ? dir + L"..\\tools\\spurlese_strings.exe"
                                    : dir + L"cat_tool.exe";
    // The stand-in learns how to behave from its environment, which it inherits.
    SetEnvironmentVariableW(L"SPURLESE_STAND_IN",
                            kind == ExtractorKind::Refusing ? L"refuse" : nullptr);
    return CopyFileW(source.c_str(), (Wide(folder) + L"strings64.exe").c_str(), FALSE) != 0;
}

void HoldFileOpen(std::u16string_view path, bool hold) {
    static HANDLE held = INVALID_HANDLE_VALUE;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    if (hold) {
        held = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
}

void HoldFileOpenFor(std::u16string_view path, int milliseconds) {
    HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return;
    std::thread([held, milliseconds] {
        Sleep(static_cast<DWORD>(milliseconds));
        CloseHandle(held);
    }).detach();
}

uint32_t OtherRunningProcessId() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    uint32_t other = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && other == 0;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId())
            other = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return other;
}

bool InsertionPointInView(int control) {
    HWND hwnd = platform::win32::ControlHandle(control);
    if (!hwnd) return false;
    CHARRANGE selection = {};
    SendMessageW(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LONG caret = selection.cpMax > 0 ? selection.cpMax - 1 : 0;
    POINTL at = {};
    SendMessageW(hwnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), caret);
    RECT client;
    GetClientRect(hwnd, &client);
    return at.y >= client.top && at.y < client.bottom;
}

}  // namespace testsupport

}  // namespace spurlese

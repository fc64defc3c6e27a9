#include "tests/support/remote_window.h"

namespace spurlese {

namespace remote {

namespace {

struct Search {
    DWORD number;  // process id or control id
    const wchar_t* text;
    HWND found;
};

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

}  // namespace

std::wstring Text(HWND hwnd) {
    wchar_t buffer[16384] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 16384, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        5000, &length);
    return std::wstring(buffer, length);
}

HWND TopWindow(DWORD process, const wchar_t* title) {
    Search search{process, title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->number || !IsWindowVisible(hwnd)) return TRUE;
            wchar_t text[256] = {};
            GetWindowTextW(hwnd, text, 256);
            if (lstrcmpW(text, s->text) != 0) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Child(HWND window, int id) {
    Search search{static_cast<DWORD>(id), nullptr, nullptr};
    EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(hwnd) != static_cast<int>(s->number)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildOfClass(HWND window, const wchar_t* className) {
    Search search{0, className, nullptr};
    EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (lstrcmpiW(ClassOf(hwnd).c_str(), s->text) != 0 || !IsWindowVisible(hwnd)) {
                return TRUE;
            }
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring BoxText(HWND box) {
    std::wstring all;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiW(ClassOf(child).c_str(), L"Static") == 0) all += Text(child);
    }
    return all;
}

bool TypeAndConfirm(HWND dialog, const std::wstring& text) {
    HWND field = dialog ? ChildOfClass(dialog, L"Edit") : nullptr;
    if (!field) return false;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return true;
}

HWND OpenMenu(DWORD process) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
                 menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(menu, &owner);
                if (owner == process && IsWindowVisible(menu)) found = menu;
            }
            return found != nullptr;
        },
        5000);
    return found;
}

bool ChooseFromSaveMenu(DWORD process, HWND main, int item) {
    PostMessageW(Child(main, 20), WM_KEYDOWN, VK_F4, 0);
    HWND menu = OpenMenu(process);
    if (!menu) return false;
    for (int k = 0; k <= item; ++k) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

RunningProgram::~RunningProgram() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
}

bool RunningProgram::Start(const std::wstring& program, const std::wstring& workingDirectory) {
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &info_)) {
        return false;
    }
    CloseHandle(info_.hThread);
    return true;
}

HWND RunningProgram::Window(const wchar_t* title, DWORD patience) {
    HWND found = nullptr;
    WaitFor([&] { return (found = TopWindow(info_.dwProcessId, title)) != nullptr; }, patience);
    return found;
}

long RunningProgram::ExitCode(DWORD patience) {
    if (WaitForSingleObject(info_.hProcess, patience) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

}  // namespace remote

}  // namespace spurlese

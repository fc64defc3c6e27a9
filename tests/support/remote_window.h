// Driving another process's window as a user would: find its windows by title, its controls by
// number at any depth, read texts across the process boundary. Used by the end-to-end tests
// and the demo.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <string>

namespace spurlese {

namespace remote {

// Polls the condition every 50 ms until it holds or the patience (ms) runs out.
template <typename Condition>
bool WaitFor(Condition condition, DWORD patience = 20000) {
    const ULONGLONG end = GetTickCount64() + patience;
    while (GetTickCount64() < end) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

// A control's or window's text, asked with WM_GETTEXT (works across processes).
std::wstring Text(HWND hwnd);
// A visible top-level window of the process with exactly this title; nullptr when none.
HWND TopWindow(DWORD process, const wchar_t* title);
// A control by id at any depth below the window; nullptr when none.
HWND Child(HWND window, int id);
// The first visible child of the window class at any depth.
HWND ChildOfClass(HWND window, const wchar_t* className);
// The static texts of a message box, joined.
std::wstring BoxText(HWND box);
// Types the text into the dialog's edit field (a file name or a folder) and presses OK; false
// when there is no dialog or no field.
bool TypeAndConfirm(HWND dialog, const std::wstring& text);
// The popup menu the process shows; nullptr when none shows within 5 s.
HWND OpenMenu(DWORD process);
// As a keyboard user: F4 on "Ergebnis speichern" opens its menu, the arrow keys go to the
// item'th entry (0 for the first; separators are passed over), Enter takes it.
bool ChooseFromSaveMenu(DWORD process, HWND main, int item);

// A program started in a working directory; ended by force if still running at destruction.
class RunningProgram {
public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();
    bool Start(const std::wstring& program, const std::wstring& workingDirectory);
    // Waits for a visible top-level window of the program with the title.
    HWND Window(const wchar_t* title, DWORD patience = 20000);
    // The exit code once it ended, or -1 when it did not end within the patience.
    long ExitCode(DWORD patience = 20000);
    DWORD Id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_ = {};
};

}  // namespace remote

}  // namespace spurlese

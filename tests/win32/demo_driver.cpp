// The demo's hands: starts Spurlese.exe, presses "Filter anwenden", waits for "Done", saves the
// hits through the program's own save dialog, prints them, opens the menu of "Ergebnis
// speichern" and saves the cross-reference through it (as Spurlese_Querverweis.csv beside the
// hits), and closes the program once the demo script has taken its screenshots.
//
//   demo_driver.exe PROGRAM WORKING_DIRECTORY HITS_FILE SIGNAL_FOLDER
//
// With the settings page, the results page and the menu shown, it writes SIGNAL_FOLDER\<page>
// .ready and waits for <page>.done, so that the demo can take its screenshots.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/remote_window.h"

using namespace spurlese;

namespace {

using remote::Child;
using remote::Text;
using remote::WaitFor;

void Print(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

int Fail(const wchar_t* what) {
    Print(std::wstring(L"demo: ") + what + L"\n");
    return 1;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Repaints the window, frame included, and waits until the demo has looked at it.
void ShowAndWait(HWND main, const std::wstring& signals, const wchar_t* page) {
    RedrawWindow(main, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    const std::wstring base = signals + L"\\" + page;
    HANDLE ready = CreateFileW((base + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               0, nullptr);
    CloseHandle(ready);
    WaitFor([&] { return Exists(base + L".done"); }, 60000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return Fail(L"usage: PROGRAM WORKDIR HITS_FILE SIGNAL_FOLDER");
    remote::RunningProgram program;
    if (!program.Start(argv[1], argv[2])) return Fail(L"cannot start the program");
    HWND main = program.Window(L"Spurlese");
    if (!main) return Fail(L"no window titled Spurlese");
    ShowAndWait(main, argv[4], L"settings-page");

    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    const bool done = WaitFor(
        [&] {
            return IsWindowEnabled(Child(main, 20)) &&
                   Text(Child(main, 16)).find(L"Done") != std::wstring::npos;
        },
        120000);
    if (!done) return Fail(L"the scan did not finish");

    PostMessageW(Child(main, 20), BM_CLICK, 0, 0);
    HWND dialog = program.Window(L"Ergebnis speichern");
    HWND name = dialog ? remote::ChildOfClass(dialog, L"Edit") : nullptr;
    if (!name) return Fail(L"no save dialog");
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND success = program.Window(L"Success");
    if (!success) return Fail(L"no Success message");
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return remote::TopWindow(program.Id(), L"Success") == nullptr; });

    Print(L"Informationen:\n" + Text(Child(main, 16)) + L"\n\nTreffer:\n" + Text(Child(main, 19)) +
          L"\n");
    ShowAndWait(main, argv[4], L"results-page");

    PostMessageW(Child(main, 20), WM_KEYDOWN, VK_F4, 0);
    HWND menu = remote::OpenMenu(program.Id());
    if (!menu) return Fail(L"no menu on \"Ergebnis speichern\"");
    ShowAndWait(main, argv[4], L"results-menu");
    for (int k = 0; k < 2; ++k) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    std::wstring crossReference = argv[3];
    crossReference = crossReference.substr(0, crossReference.find_last_of(L'\\') + 1) +
                     L"Spurlese_Querverweis.csv";
    if (!remote::TypeAndConfirm(program.Window(L"Querverweis f\u00fcr Excel speichern"),
                                crossReference))
        return Fail(L"no save dialog for the cross-reference");
    success = program.Window(L"Success");
    if (!success) return Fail(L"no Success message for the cross-reference");
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return remote::TopWindow(program.Id(), L"Success") == nullptr; });

    // The overview page with its thumbnails, through the same menu.
    if (!remote::ChooseFromSaveMenu(program.Id(), main, 4))
        return Fail(L"no menu for the overview page");
    const std::wstring overview = crossReference.substr(0, crossReference.find_last_of(L'\\') + 1) +
                                  L"Spurlese_\u00dcbersicht.html";
    if (!remote::TypeAndConfirm(program.Window(L"\u00dcbersicht als Webseite speichern"), overview))
        return Fail(L"no save dialog for the overview page");
    success = program.Window(L"Success", 120000);
    if (!success) return Fail(L"no Success message for the overview page");
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return remote::TopWindow(program.Id(), L"Success") == nullptr; });
    PostMessageW(main, WM_CLOSE, 0, 0);
    return program.ExitCode() == 0 ? 0 : Fail(L"the program did not end with exit code 0");
}

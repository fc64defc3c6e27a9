// Stands in for strings64.exe in the runner tests: prints the bytes of the file named last on
// its command line exactly as they are, so a test decides what the extractor "prints". With
// SPURLESE_STAND_IN=refuse in its environment it refuses every file as a downloaded strings64.exe
// does before its licence is accepted; with SPURLESE_STAND_IN=silent:<seconds> it first waits
// that long without a word; with SPURLESE_STAND_IN=window it first asks in a window of its own
// ("Sysinternals License Agreement") and goes on once that is closed.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "tests/support/test_platform.h"

// A window that opens without taking the foreground, as a background process's window opens on
// Windows, and goes on once it is closed.
void AskInAWindow() {
    WNDCLASSW type = {};
    type.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, w, l);
    };
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"StandInQuestion";
    RegisterClassW(&type);
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Sysinternals License Agreement",
                                  WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr,
                                  type.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const wchar_t* behaviour = _wgetenv(L"SPURLESE_STAND_IN");
    if (behaviour && std::wcscmp(behaviour, L"refuse") == 0) {
        std::fputs(spurlese::testsupport::kRefusal, stderr);
        return 1;
    }
    if (behaviour && std::wcscmp(behaviour, L"window") == 0) AskInAWindow();
    if (behaviour && std::wcsncmp(behaviour, L"silent:", 7) == 0)
        Sleep(static_cast<DWORD>(std::wcstol(behaviour + 7, nullptr, 10)) * 1000);
    FILE* file = _wfopen(argv[argc - 1], L"rb");
    if (!file) return 1;
    _setmode(_fileno(stdout), _O_BINARY);
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        std::fwrite(buffer, 1, got, stdout);
    std::fclose(file);
    return 0;
}

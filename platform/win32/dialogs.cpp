// Message boxes, the folder picker, the save dialog, the shell, and the end of the process.
#include "platform/win32/win32_internal.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <type_traits>

#include "platform/event_queue.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// A modal box belongs to the program's window in the foreground, if there is one.
HWND Owner() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    if (foreground && process == GetCurrentProcessId()) return foreground;
    return MainWindowHandle();
}

int CALLBACK PickerStarted(HWND picker, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, start);
    }
    return 0;
}

}  // namespace

int ShowMessageBox(std::u16string_view title, std::u16string_view text, unsigned flags) {
    const std::u16string caption(title), body(text);
    return MessageBoxW(Owner(), W(body), W(caption), flags);
}

std::u16string ChooseFolder(std::u16string_view instruction, std::u16string_view startFolder) {
    const ComScope com;  // the new dialog style needs COM on this thread
    const std::u16string title(instruction), start(startFolder);
    BROWSEINFOW info = {};
    info.hwndOwner = Owner();
    info.lpszTitle = W(title);
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = PickerStarted;
    info.lParam = reinterpret_cast<LPARAM>(W(start));
    std::u16string chosen;
    const CoTaskMemPtr<std::remove_pointer_t<PIDLIST_ABSOLUTE>> list(SHBrowseForFolderW(&info));
    wchar_t path[MAX_PATH] = {};
    if (list && SHGetPathFromIDListW(list.get(), path)) {
        chosen = U(path, wcslen(path));
        if (!chosen.empty() && chosen.back() != u'\\') chosen.push_back(u'\\');
    }
    return chosen;
}

std::u16string ChooseSaveFile(std::u16string_view title, std::u16string_view proposedFile,
                              std::u16string_view filter, int filterIndex) {
    // "|" separates descriptions and patterns; the dialog wants them NUL-separated, with an
    // empty pattern where the text gives none, and two NULs at the end.
    std::u16string filters(filter);
    for (char16_t& unit : filters) {
        if (unit == u'|') unit = u'\0';
    }
    filters.append(u"\0\0\0", 3);
    const std::u16string caption(title);
    wchar_t path[MAX_PATH] = {};
    const std::u16string proposed(proposedFile.substr(0, MAX_PATH - 1));
    std::copy(proposed.begin(), proposed.end(), path);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = W(filters);
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex);
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = W(caption);
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return {};
    return U(path, wcslen(path));
}

bool ShellOpen(std::u16string_view file, std::u16string_view parameters,
               std::u16string_view workingDirectory) {
    const std::u16string what(file), arguments(parameters), folder(workingDirectory);
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", W(what), arguments.empty() ? nullptr : W(arguments),
                      folder.empty() ? nullptr : W(folder), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::u16string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return U(path.c_str(), length);
        path.resize(path.size() * 2);
    }
}

void ReleasePlatform() {
    CloseWindow(kMainWindow);
    ReleaseWindowResources();
    events::Clear(true);
}

void EndProcess(int exitCode) {
    ReleasePlatform();
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace platform

}  // namespace spurlese

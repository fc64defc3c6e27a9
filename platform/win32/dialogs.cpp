// Message boxes, the folder picker, the save dialog, the shell, and the end of the process.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/event_queue.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// A modal box belongs to the program's window in the foreground, if there is one.
HWND DialogOwner() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    if (foreground && process == GetCurrentProcessId()) return foreground;
    return MainWindowHandle();
}

// The system's words for a failure.
std::u16string Reason(HRESULT result) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string reason = text ? U(text, length) : std::u16string();
    LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == u'\n' || reason.back() == u'\r' || reason.back() == u' '))
        reason.pop_back();
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
    return reason.empty() ? U(code, wcslen(code)) : reason + u" (" + U(code, wcslen(code)) + u")";
}

DialogResult Failed(HRESULT result) {
    return {DialogOutcome::kFailed, {}, Reason(result)};
}

// A file system path of a shell item; empty when it has none.
std::u16string PathOf(IShellItem* item) {
    wchar_t* path = nullptr;
    if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
    const CoTaskMemPtr<wchar_t> owned(path);
    return U(path, wcslen(path));
}

bool IsFullPath(std::u16string_view path) {
    return (path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/')) ||
           (path.size() >= 2 && (path[0] == u'\\' || path[0] == u'/') &&
            (path[1] == u'\\' || path[1] == u'/'));
}

bool IsFolder(const std::u16string& path) {
    return FileSize(path) == -2;
}

// The file dialogs' own handling of a typed name goes through buffers of MAX_PATH characters
// (Wine's cuts the name, and stops answering from some 335 characters on), so a name that makes a
// path that long is taken here, when OK is pressed, before the dialog sees it: the dialog's window
// is subclassed as soon as it shows its first folder. Shorter names go the dialog's own way, which
// also opens a folder whose name is typed.
class LongNameTaker final : public IFileDialogEvents {
public:
    LongNameTaker(IFileDialog* dialog, bool folder) : dialog_(dialog), pickFolder_(folder) {}
    ~LongNameTaker() {
        if (window_ && IsWindow(window_)) RemoveWindowSubclass(window_, OkPressed, 1);
    }
    LongNameTaker(const LongNameTaker&) = delete;
    LongNameTaker& operator=(const LongNameTaker&) = delete;

    std::u16string chosen;  // a long path taken here

    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IFileDialogEvents) {
            *object = static_cast<IFileDialogEvents*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    IFACEMETHODIMP_(ULONG) Release() override { return --references_; }  // lives on the stack

    IFACEMETHODIMP OnFolderChange(IFileDialog*) override {
        IOleWindow* ole = nullptr;
        if (!window_ && SUCCEEDED(dialog_->QueryInterface(IID_PPV_ARGS(&ole)))) {
            const ComPtr<IOleWindow> owned(ole);
            if (SUCCEEDED(ole->GetWindow(&window_)) &&
                !SetWindowSubclass(window_, OkPressed, 1, reinterpret_cast<DWORD_PTR>(this))) {
                window_ = nullptr;
            }
        }
        return S_OK;
    }
    IFACEMETHODIMP OnFileOk(IFileDialog*) override { return S_OK; }
    IFACEMETHODIMP OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    IFACEMETHODIMP OnSelectionChange(IFileDialog*) override { return S_OK; }
    IFACEMETHODIMP OnShareViolation(IFileDialog*, IShellItem*,
                                    FDE_SHAREVIOLATION_RESPONSE*) override {
        return S_OK;
    }
    IFACEMETHODIMP OnTypeChange(IFileDialog*) override { return S_OK; }
    IFACEMETHODIMP OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override {
        return S_OK;
    }

private:
    static LRESULT CALLBACK OkPressed(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self) {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK &&
            reinterpret_cast<LongNameTaker*>(self)->TakeLongPath()) {
            return 0;
        }
        if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, OkPressed, id);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    // True when the typed name makes a path too long for the dialog, which is then taken (or
    // refused, with the reason, when the folder does not exist).
    bool TakeLongPath() {
        wchar_t* typed = nullptr;
        if (FAILED(dialog_->GetFileName(&typed)) || !typed) return false;
        const CoTaskMemPtr<wchar_t> owned(typed);
        std::u16string path = U(typed, wcslen(typed));
        if (!IsFullPath(path)) {
            IShellItem* folder = nullptr;
            if (FAILED(dialog_->GetFolder(&folder))) return false;
            const ComPtr<IShellItem> ownedFolder(folder);
            std::u16string base = PathOf(folder);
            if (base.empty()) return false;
            if (base.back() != u'\\') base.push_back(u'\\');
            path = base + path;
        }
        if (path.size() < MAX_PATH) return false;
        std::u16string folder = pickFolder_ ? path : std::u16string(FolderPart(path));
        while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
        if (!IsFolder(folder)) {
            const std::u16string text = u"Den Ordner '" + folder + u"' gibt es nicht.";
            MessageBoxW(window_, W(text), L"Spurlese", MB_ICONWARNING);
            return true;
        }
        chosen = path;
        dialog_->Close(S_OK);
        return true;
    }

    IFileDialog* dialog_;
    bool pickFolder_;
    HWND window_ = nullptr;
    ULONG references_ = 1;
};

// Shows the dialog and takes the path chosen: a long typed one as LongNameTaker took it, any
// other from the dialog's result.
DialogResult ShowDialog(IFileDialog* dialog, bool folder) {
    LongNameTaker events(dialog, folder);
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog->Advise(&events, &cookie));
    HRESULT result = dialog->Show(DialogOwner());
    if (advised) dialog->Unadvise(cookie);
    if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {};
    if (FAILED(result)) return Failed(result);
    std::u16string path = events.chosen;
    if (path.empty()) {
        IShellItem* chosen = nullptr;
        result = dialog->GetResult(&chosen);
        if (FAILED(result)) return Failed(result);
        const ComPtr<IShellItem> owned(chosen);
        path = PathOf(chosen);
    }
    if (path.empty()) return Failed(E_FAIL);
    return {DialogOutcome::kChosen, path, {}};
}

}  // namespace

int ShowMessageBox(std::u16string_view title, std::u16string_view text, unsigned flags) {
    const std::u16string caption(title), body(text);
    return MessageBoxW(DialogOwner(), W(body), W(caption), flags);
}

DialogResult ChooseFolder(std::u16string_view instruction, std::u16string_view startFolder) {
    const ComScope com;
    IFileOpenDialog* created = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&created));
    if (FAILED(result)) return Failed(result);
    const ComPtr<IFileOpenDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.Get()->GetOptions(&options);
    dialog.Get()->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                             FOS_NOCHANGEDIR);
    dialog.Get()->SetTitle(W(std::u16string(instruction)));
    IShellItem* start = nullptr;
    const std::u16string startPath(startFolder);
    if (!startPath.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(W(startPath), nullptr, IID_PPV_ARGS(&start)))) {
        const ComPtr<IShellItem> owned(start);
        dialog.Get()->SetFolder(start);
    }
    DialogResult picked = ShowDialog(dialog.Get(), true);
    std::u16string& path = picked.path;
    if (picked.outcome == DialogOutcome::kChosen && path.back() != u'\\') path.push_back(u'\\');
    return picked;
}

DialogResult ChooseSaveFile(std::u16string_view title, std::u16string_view proposedFile,
                            std::u16string_view filter, int filterIndex) {
    const ComScope com;
    IFileSaveDialog* created = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&created));
    if (FAILED(result)) return Failed(result);
    const ComPtr<IFileSaveDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.Get()->GetOptions(&options);
    // No overwrite question: the program replaces a file safely and says so by its title.
    dialog.Get()->SetOptions((options & ~FOS_OVERWRITEPROMPT) | FOS_FORCEFILESYSTEM |
                             FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    dialog.Get()->SetTitle(W(std::u16string(title)));
    dialog.Get()->SetFileName(W(std::u16string(proposedFile)));
    // "|" separates descriptions and patterns; a description without a pattern lists every file.
    std::vector<std::u16string> parts;
    for (size_t from = 0;;) {
        const size_t bar = filter.find(u'|', from);
        parts.emplace_back(filter.substr(from, bar - from));
        if (bar == std::u16string_view::npos) break;
        from = bar + 1;
    }
    if (parts.size() % 2) parts.emplace_back();
    for (size_t k = 1; k < parts.size(); k += 2) {
        if (parts[k].empty()) parts[k] = u"*.*";
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (size_t k = 0; k + 1 < parts.size(); k += 2)
        types.push_back({W(parts[k]), W(parts[k + 1])});
    dialog.Get()->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    dialog.Get()->SetFileTypeIndex(static_cast<UINT>(filterIndex));
    return ShowDialog(dialog.Get(), false);
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
    StopStartingProcesses();
    StopCopies();
    ForgetTaskbar();
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

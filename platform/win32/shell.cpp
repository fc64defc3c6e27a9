// Explorer and the taskbar: a file shown selected in its folder, the progress on the program's
// taskbar button.
#include "platform/win32/win32_internal.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <memory>

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// The shell takes no "\\?\" form: a long path goes to it by its short names, where the volume
// has them.
std::u16string ShellPath(std::u16string_view path) {
    if (path.size() < MAX_PATH) return std::u16string(path);
    const std::u16string native = NativePath(path);
    const DWORD size = GetShortPathNameW(W(native), nullptr, 0);
    if (size == 0) return std::u16string(path);
    std::u16string shortPath(size, u'\0');
    const DWORD length =
        GetShortPathNameW(W(native), reinterpret_cast<wchar_t*>(shortPath.data()), size);
    if (length == 0 || length >= size) return std::u16string(path);
    shortPath.resize(length);
    if (shortPath.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + shortPath.substr(8);
    if (shortPath.rfind(u"\\\\?\\", 0) == 0) return shortPath.substr(4);
    return shortPath;
}

// The taskbar's interface for the window, made at its first use and kept while the window lasts.
struct Taskbar {
    ComScope com;
    ComPtr<ITaskbarList3> list;
    HWND window = nullptr;
};
std::unique_ptr<Taskbar> gTaskbar;

ITaskbarList3* TaskbarFor(HWND window) {
    if (gTaskbar && gTaskbar->window == window) return gTaskbar->list.Get();
    gTaskbar = std::make_unique<Taskbar>();
    gTaskbar->window = window;
    ITaskbarList3* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&list)))) {
        gTaskbar->list = ComPtr<ITaskbarList3>(list);
        if (FAILED(list->HrInit())) gTaskbar->list.Reset();
    }
    return gTaskbar->list.Get();
}

}  // namespace

namespace win32 {

void ForgetTaskbar() {
    gTaskbar.reset();
}

}  // namespace win32

bool ShowInFolder(std::u16string_view path) {
    const ComScope com;
    const std::u16string shellPath = ShellPath(path);
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHParseDisplayName(W(shellPath), nullptr, &item, 0, nullptr)) || !item) return false;
    const CoTaskMemPtr<ITEMIDLIST> owned(item);
    return SUCCEEDED(SHOpenFolderAndSelectItems(item, 0, nullptr, 0));
}

void SetTaskbarProgress(TaskbarState state, int64_t done, int64_t total) {
    HWND window = MainWindowHandle();
    if (!window) return;
    ITaskbarList3* list = TaskbarFor(window);
    if (!list) return;  // a system without a taskbar, or one that offers none to programs
    switch (state) {
        case TaskbarState::kNone:
            list->SetProgressState(window, TBPF_NOPROGRESS);
            return;
        case TaskbarState::kNormal:
        case TaskbarState::kError:
            list->SetProgressState(window,
                                   state == TaskbarState::kError ? TBPF_ERROR : TBPF_NORMAL);
            if (total > 0)
                list->SetProgressValue(window, static_cast<ULONGLONG>(std::max<int64_t>(done, 0)),
                                       static_cast<ULONGLONG>(total));
            return;
    }
}

}  // namespace platform

}  // namespace spurlese

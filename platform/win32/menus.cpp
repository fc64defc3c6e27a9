// The menus the program gives its controls: a split button's on its arrow, a display's after its
// own items in its context menu. A chosen item becomes the program's kMenuCommand event.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <map>
#include <vector>

#include "platform/event_queue.h"

namespace spurlese {

namespace platform {

namespace win32 {

namespace {

std::map<int, std::vector<MenuItem>> gMenus;

}  // namespace

void AppendProgramItems(HMENU menu, int control, UINT firstId) {
    const auto found = gMenus.find(control);
    if (found == gMenus.end()) return;
    for (size_t k = 0; k < found->second.size(); ++k) {
        const MenuItem& item = found->second[k];
        if (item.command == 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING | (item.enabled ? 0 : MF_GRAYED),
                        firstId + static_cast<UINT>(k), W(item.text));
        }
    }
}

bool TakeProgramItem(int control, UINT chosen, UINT firstId, int64_t line) {
    const auto found = gMenus.find(control);
    if (found == gMenus.end() || chosen < firstId || chosen - firstId >= found->second.size())
        return false;
    const MenuItem& item = found->second[chosen - firstId];
    events::Push({kMenuCommand, control, kMainWindow, item.command, line});
    return true;
}

void OpenButtonMenu(int control) {
    HWND button = ControlHandle(control);
    if (!button || !gMenus.count(control) || !IsWindowEnabled(button)) return;
    const OwnedMenu menu(CreatePopupMenu());
    if (!menu) return;
    constexpr UINT kFirstId = 1;
    AppendProgramItems(menu.Get(), control, kFirstId);
    RECT area = {};
    GetWindowRect(button, &area);
    // Below the button, as Windows opens a split button's menu.
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                       area.left, area.bottom, 0, GetParent(button), nullptr));
    TakeProgramItem(control, chosen, kFirstId, -1);
}

void ForgetMenus() {
    gMenus.clear();
}

}  // namespace win32

void SetControlMenu(int control, const std::vector<MenuItem>& items) {
    win32::gMenus[control] = items;
}

std::vector<MenuItem> GetControlMenu(int control) {
    const auto found = win32::gMenus.find(control);
    return found == win32::gMenus.end() ? std::vector<MenuItem>() : found->second;
}

}  // namespace platform

}  // namespace spurlese

#include "app/show_in_folder.h"

#include "platform/platform.h"

namespace spurlese {

namespace {

constexpr std::u16string_view kTitle = u"Im Ordner anzeigen";

}  // namespace

std::u16string NearestExistingFolder(std::u16string_view path) {
    // The path, then each folder above it; a drive's root with its backslash ("D:\").
    for (size_t end = path.size(); end != std::u16string_view::npos && end > 0;
         end = path.find_last_of(u'\\', end - 1)) {
        std::u16string folder(path.substr(0, end));
        if (folder.size() == 2 && folder[1] == u':') folder.push_back(u'\\');
        if (platform::KindOfPath(folder) == platform::PathKind::kFolder) return folder;
    }
    return {};
}

void ShowLineInFolder(const LineTarget& target) {
    switch (target.kind) {
        case LineTarget::Kind::kNone:
            return;
        case LineTarget::Kind::kFile:
            if (platform::KindOfPath(target.path) == platform::PathKind::kNone) {
                platform::ShowMessageBox(kTitle,
                                         u"Die Datei '" + target.path +
                                             u"' ist nicht mehr da.\nSie wurde nach der Suche "
                                             u"gelöscht, umbenannt oder verschoben.",
                                         platform::kWarningIcon);
            } else if (!platform::ShowInFolder(target.path)) {
                platform::ShowMessageBox(
                    kTitle, u"Der Explorer ließ sich für '" + target.path + u"' nicht öffnen.",
                    platform::kWarningIcon);
            }
            return;
        case LineTarget::Kind::kNearestFolder: {
            const std::u16string folder = NearestExistingFolder(target.path);
            if (folder.empty()) {
                platform::ShowMessageBox(kTitle,
                                         u"Von '" + target.path + u"' ist kein Ordner mehr da.",
                                         platform::kWarningIcon);
            } else if (!platform::ShellOpen(folder, u"", u"")) {
                platform::ShowMessageBox(
                    kTitle, u"Der Explorer ließ sich für '" + folder + u"' nicht öffnen.",
                    platform::kWarningIcon);
            }
            return;
        }
    }
}

}  // namespace spurlese

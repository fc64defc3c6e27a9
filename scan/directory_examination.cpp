#include "scan/directory_examination.h"

#include <string>

#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

bool FileListedIn(ScanWork* work, std::u16string_view folder, std::u16string_view lowerName) {
    return FileListedIn(work, work->folders.Kept(folder), folder, lowerName);
}

bool FileListedIn(ScanWork* work, const KeptFolder& kept, std::u16string_view folder,
                  std::u16string_view lowerName) {
    if (!kept.listable) {
        work->report.Info(u"Error examining the path '" + std::u16string(folder) + u"'");
        return false;
    }
    return kept.files.count(lowerName) != 0;
}

bool FileListedInFolder(std::u16string_view path, const ScanReport& report) {
    const std::u16string_view name = FileNamePart(path);
    ScanWork work({}, report);
    return FileListedIn(&work, WithoutFinalBackslash(FolderPart(path)),
                        platform::LowerCase(name.substr(0, name.find(u'"'))));
}

}  // namespace spurlese

// "Verwendete Dateien kopieren nach…": every file of the last scan's hits that exists goes into a
// folder the user picks, below it in the folders it has below the base path (copy/file_copy.h).
// The progress bar, the taskbar button and "Informationen" follow the copy; the window stays
// usable, and the close box or Escape asks whether to stop after the current file. At the end one
// summary line, and the list Spurlese_Kopie.txt in the target folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spurlese {

// True when the user closed the window during the copy and agreed to stop: the program ends.
bool CopyUsedFiles();

// The summary line of a copy, as "Informationen" shows it.
struct CopyCounts {
    int64_t copied = 0, alreadyThere = 0, conflicts = 0, failed = 0, bytes = 0;
};
std::u16string CopySummaryLine(const CopyCounts& counts, bool stopped, bool diskFull);

// The list the target folder gets: the archive path of each file it now holds a copy of.
std::u16string CopyListText(const std::vector<std::u16string>& paths);

constexpr std::u16string_view kCopyListName = u"Spurlese_Kopie.txt";

}  // namespace spurlese

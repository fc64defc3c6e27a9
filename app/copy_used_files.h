// "Verwendete Dateien kopieren nach…": every file a scan's hits name that exists goes, once
// however the projects spelt it, into a folder the user picks, below it in the folders it has
// below the base path, named as the archive names them (copy/file_copy.h). The progress bar, the
// taskbar button and "Informationen" follow the copy; the window stays usable, and the close box
// or Escape asks whether to stop (the busy loop's copy rule): the file under way is abandoned. At
// the end one summary line, and the list Spurlese_Kopie.txt in the target folder, which keeps the
// files of earlier copies that are still there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "copy/file_copy.h"
#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

// The plan for the files the record's shows use (ScanRecord::Used): each archive file once, in the
// order "Treffer" shows them; a hit that names no archive file for certain is not copied but named.
copying::CopyPlan PlanUsedFiles(const ScanRecord& record, std::u16string_view targetFolder);

// `lastTarget`: the folder picked the time before, where the picker starts; the chosen one
// afterwards. True when the user closed the window during the copy and agreed to stop: the
// program ends.
bool CopyUsedFiles(const ScanRecord& record, ResultsPage* page, std::u16string* lastTarget);

// The summary line of a copy, as "Informationen" shows it.
struct CopyCounts {
    int64_t copied = 0, alreadyThere = 0, conflicts = 0, failed = 0, bytes = 0;
};
std::u16string CopySummaryLine(const CopyCounts& counts, bool stopped, bool diskFull);

// The list the target folder gets: the archive path of each file it now holds a copy of; then the
// project files the scan could not read, whose files may be missing from the copy; then the note.
std::u16string CopyListText(const std::vector<std::u16string>& paths,
                            const std::vector<UnreadProject>& unread = {});

constexpr std::u16string_view kCopyListName = u"Spurlese_Kopie.txt";
// The list's last line, below an empty line: what the copy did and how to undo it.
constexpr std::u16string_view kCopyListNote =
    u"Spurlese hat diese Dateien aus dem Archiv hierher kopiert; im Archiv wurde nichts "
    u"ver\u00E4ndert. R\u00FCckg\u00E4ngig machen: die kopierten Dateien in diesem Ordner "
    u"l\u00F6schen.";

}  // namespace spurlese

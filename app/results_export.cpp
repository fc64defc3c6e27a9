#include "app/results_export.h"

#include <string>

#include "app/cross_reference.h"
#include "app/unused_files.h"
#include "platform/platform.h"
#include "scan/archive_walk.h"
#include "scan/hit_filter.h"
#include "scan/scan_state.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

// Text lines as the program writes them: byte-order mark, UTF-8, CR LF after every line. A text
// that cannot be converted whole is not written in part.
bool TextFileBytes(std::u16string_view text, std::string* bytes) {
    if (!platform::ConvertUtf16ToUtf8(text, bytes)) return false;
    *bytes = "\xEF\xBB\xBF" + *bytes + "\r\n";
    return true;
}

}  // namespace

SaveResult ExportResults() {
    const std::u16string text = platform::GetText(ctl::HitsText);
    // The filter has no "|": one entry described as "Text *.txt", listing every file.
    return SaveThroughDialog(kHitListDialog,
                             [&text](std::string* bytes) { return TextFileBytes(text, bytes); });
}

SaveResult SaveCrossReference() {
    return SaveThroughDialog(kCrossReferenceDialog, [](std::string* bytes) {
        return TextFileBytes(
            CrossReferenceText(scanState.projectFiles, HitSources(), MissingSources(),
                               MissingMediaFiles(), MissingCandidates(), scanState.archive),
            bytes);
    });
}

SaveResult SaveUnusedFiles() {
    return SaveThroughDialog(kUnusedFilesDialog, [](std::string* bytes) {
        return TextFileBytes(UnusedFilesText(WalkArchiveOnce(), HitSources()), bytes);
    });
}

}  // namespace spurlese

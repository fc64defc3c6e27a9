#include "app/results_export.h"

#include <string>

#include "platform/file_replace.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

int ExportResults() {
    const std::u16string text = platform::GetText(ctl::HitsText);
    // The filter has no "|": one entry described as "Text *.txt", with no pattern.
    const std::u16string path =
        platform::ChooseSaveFile(u"Ergebnis speichern", u"Spurlese_Hits.txt", u"Text *.txt", 1);
    if (path.empty()) return -1;
    std::string bytes;
    // A text that cannot be converted whole is not written in part: no "Success", old file kept.
    if (!platform::ConvertUtf16ToUtf8(text, &bytes)) return -1;
    return WriteFileReplacing(path, "\xEF\xBB\xBF" + bytes + "\r\n");
}

}  // namespace spurlese

#include "app/results_export.h"

#include <string>

#include "platform/platform.h"
#include "ui/controls.h"

namespace spurlese {

SaveResult ExportResults() {
    const std::u16string text = platform::GetText(ctl::HitsText);
    // The filter has no "|": one entry described as "Text *.txt", listing every file.
    return SaveThroughDialog(kHitListDialog, [&text](std::string* bytes) {
        if (!platform::ConvertUtf16ToUtf8(text, bytes)) return false;
        *bytes = "\xEF\xBB\xBF" + *bytes + "\r\n";
        return true;
    });
}

}  // namespace spurlese

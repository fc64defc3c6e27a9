// A line of "Treffer" or "Informationen" shown in Explorer (a double click, Enter, or "Im Ordner
// anzeigen" in its context menu): a file selected in its folder, a missing file's nearest folder
// that exists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan_report.h"

namespace spurlese {

// Does nothing for a line that stands for nothing (an empty one, a "Filtering" line); tells the
// user when the file is gone since the scan.
void ShowLineInFolder(const LineTarget& target);

// The path's nearest folder that exists, the path itself included; empty when there is none.
std::u16string NearestExistingFolder(std::u16string_view path);

}  // namespace spurlese

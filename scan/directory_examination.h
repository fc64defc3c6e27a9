// Whether a folder's listing holds a file: the scan's test that a named media file is there.
#pragma once

#include <string_view>

#include "scan/scan_report.h"
#include "scan/scan_work.h"

namespace spurlese {

// True when the folder (without a final backslash) lists a regular file whose name, lower-cased,
// is `lowerName`; each folder is listed once per scan. A folder that cannot be listed is logged
// as "Error examining the path '<folder>'" and gives false, on every call.
bool FileListedIn(ScanWork* work, std::u16string_view folder, std::u16string_view lowerName);
// The same with the folder's kept listing already at hand.
bool FileListedIn(ScanWork* work, const KeptFolder& kept, std::u16string_view folder,
                  std::u16string_view lowerName);

// The same for a whole path, its folder listed afresh: the file name ends before a double quote,
// letter case is ignored.
bool FileListedInFolder(std::u16string_view path, const ScanReport& report);

}  // namespace spurlese

// "Filter anwenden": scans every project file (*.mph) of the project directory.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "scan/scan_record.h"
#include "scan/scan_report.h"

namespace spurlese {

// Scans with the inputs the program read from the window. Tells the report: in "Informationen"
// the opening line, "Filtering '<file>'" per project file, what the hit filter and the extractors
// log, "Done" and the report of shared and missing media; every new hit; the progress per file;
// `busy` between files. Returns the record of what it found; none when the project directory
// cannot be listed, which is logged.
std::optional<ScanRecord> RunScan(const ScanInputs& inputs, const ScanReport& report);

// Regular files of the listing whose extension, lower-cased, equals the pattern without "*.";
// -1 when the directory cannot be listed.
int64_t CountMatchingFiles(std::u16string_view directory, std::u16string_view pattern);

}  // namespace spurlese

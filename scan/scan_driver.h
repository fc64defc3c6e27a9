// "Filter anwenden": scans every project file (*.mph) of the project directory.
#pragma once

#include <cstdint>
#include <string_view>

namespace spurlese {

// Reads its inputs once (ReadScanInputs) and starts scanState afresh. Shows: "Treffer" emptied,
// then every new hit; in "Informationen" the opening line, "Filtering '<file>'" per project file,
// what the hit filter and the extractors log, "Done" and the report of shared and missing media;
// the progress bar per file; "Filter anwenden" disabled while it runs. 1 when the scan ran; -1
// when the project directory cannot be listed, which is logged and changes nothing else.
int64_t RunScan();

// Regular files of the listing whose extension, lower-cased, equals the pattern without "*.";
// -1 when the directory cannot be listed.
int64_t CountMatchingFiles(std::u16string_view directory, std::u16string_view pattern);

// Takes every pending window event without acting on it; returns how many.
int64_t PumpEvents();

}  // namespace spurlese

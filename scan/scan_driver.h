// "Filter anwenden": scans every project file (*.mph) of the project directory.
#pragma once

#include <cstdint>
#include <string_view>

namespace spurlese {

// 1 when the scan ran; -1 when the project directory cannot be listed.
int64_t RunScan();

// Regular files of the listing whose extension, lower-cased, equals the pattern without "*.";
// -1 when the directory cannot be listed.
int64_t CountMatchingFiles(std::u16string_view directory, std::u16string_view pattern);

// Takes every pending window event without acting on it; returns how many.
int64_t PumpEvents();

}  // namespace spurlese

// The one thing kept between runs: where the main window stood and how large it was, in
// Spurlese.ini in the working directory.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/settings_file.h"

namespace spurlese {

constexpr std::u16string_view kSettingsFileName = u"Spurlese.ini";
constexpr int64_t kSettingsFileOptions = kCompactLines | kLineEndLf | kNoByteOrderMark;

// Restores the main window's placement, pulled onto the primary display.
void LoadSettings();
// Stores the main window's placement.
void SaveSettings();

// lower when value is below it, else upper when value is above it, else value.
int64_t Clamp(int64_t value, int64_t lower, int64_t upper);

// The number at the start of a field: blanks and tabs skipped, an optional sign, then "$" and
// hex digits, "%" and binary digits, or decimal digits. 0 without digits; saturated at the ends
// of the 64-bit range.
int64_t FieldNumber(std::u16string_view field);

}  // namespace spurlese

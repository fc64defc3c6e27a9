// The working values of one run. Nothing here is stored between runs: every start begins from
// the fixed start values, and only the window placement is kept in the settings file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace spurlese {

// The range of the minimum string length, the slider's.
constexpr int64_t kShortestMinLength = 8;
constexpr int64_t kLongestMinLength = 40;

struct AppSettings {
    std::u16string basePath;            // base path of the family picture archive
    std::u16string projectDirectory;    // folder of the *.mph project files
    int64_t minStringLength = 0;        // shortest string the extractor prints
    platform::ImageHandle helpImage = platform::ImageHandle::kNone;  // of the help buttons
};

extern AppSettings appSettings;

// Back to the empty record the program starts with.
void ResetAppSettings();

}  // namespace spurlese

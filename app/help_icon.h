// The help buttons' picture, carried in the program as an ICO file.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace spurlese {

// The whole ICO file (generated from resources/make_icons.py at build time).
std::string_view HelpIconFile();

// One picture of an ICO file: its size, colour depth and stored bytes.
struct IconPicture {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::string_view bytes;
};

// The picture of the size of the file's first entry with the greatest colour depth stored for
// that size. False for anything that is not a well-formed ICO file.
bool PickIconPicture(std::string_view iconFile, IconPicture* picture);

// An image of that picture; 0 when the file or the platform cannot give one.
platform::ImageHandle CreateImageFromIconFile(std::string_view iconFile);

}  // namespace spurlese

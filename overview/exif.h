// What the first bytes of a camera's JPEG tell without decoding it: how the picture is to be
// turned (the EXIF orientation) and where its embedded thumbnail lies.
#pragma once

#include <cstddef>
#include <string_view>

namespace spurlese::overview {

struct JpegFacts {
    bool jpeg = false;
    int orientation =
        1;  // EXIF: 1 upright, 3 turned half round, 6 and 8 a quarter, 2/4/5/7 mirrored
    // The embedded thumbnail (itself a JPEG) within the bytes; length 0 when there is none.
    size_t thumbnailOffset = 0;
    size_t thumbnailLength = 0;
};

// The width and height a JPEG's frame header gives; false when it has none in `bytes`.
bool JpegDimensions(std::string_view bytes, int* width, int* height);

// Reads the EXIF block (APP1) of a JPEG's first bytes; whatever is malformed or cut off is taken
// as not there. Never reads outside `bytes`.
JpegFacts ReadJpegFacts(std::string_view bytes);

}  // namespace spurlese::overview

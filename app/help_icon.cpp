#include "app/help_icon.h"

#include <cstdint>

#include "platform/text_helpers.h"

namespace spurlese {

namespace {

constexpr size_t kHeader = 6;
constexpr size_t kEntry = 16;

}  // namespace

bool PickIconPicture(std::string_view file, IconPicture* picture) {
    if (file.size() < kHeader || LittleEndian(file, 0, 2) != 0 || LittleEndian(file, 2, 2) != 1)
        return false;
    const size_t count = LittleEndian(file, 4, 2);
    if (count == 0 || file.size() < kHeader + count * kEntry) return false;
    // A width or height byte of 0 means 256.
    auto side = [&file](size_t entry, size_t field) {
        const uint32_t value = LittleEndian(file, kHeader + entry * kEntry + field, 1);
        return static_cast<int>(value == 0 ? 256 : value);
    };
    const int width = side(0, 0), height = side(0, 1);
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
        if (side(i, 0) != width || side(i, 1) != height) continue;
        const size_t entry = kHeader + i * kEntry;
        const uint32_t size = LittleEndian(file, entry + 8, 4);
        const uint32_t offset = LittleEndian(file, entry + 12, 4);
        if (offset > file.size() || size > file.size() - offset || size < 40) continue;
        const std::string_view bytes = file.substr(offset, size);
        // The directory's depth may be 0; the picture's own header always knows it.
        const int bits = static_cast<int>(LittleEndian(bytes, 14, 2));
        if (!found || bits > picture->bitsPerPixel) {
            *picture = {width, height, bits, bytes};
            found = true;
        }
    }
    return found;
}

platform::ImageHandle CreateImageFromIconFile(std::string_view file) {
    IconPicture picture;
    if (!PickIconPicture(file, &picture)) return platform::ImageHandle::kNone;
    return platform::CreateIconImage(picture.bytes, picture.width, picture.height);
}

}  // namespace spurlese

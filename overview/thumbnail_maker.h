// One file's thumbnail for the overview page, made on a worker thread: a camera's embedded
// thumbnail where it has one (taken as it is when the picture is upright), else the picture
// decoded by the system; a video's frame where the system gives one.
#pragma once

#include <string>
#include <string_view>

#include "overview/overview_page.h"

namespace spurlese::overview {

inline constexpr int kThumbnailSide = 256;

// The thumbnail's name in the page's folder: the same file gets the same name on every save, so
// that an older page still finds the thumbnails of its files while a new folder is put in place.
std::u16string ThumbnailName(std::u16string_view file);
// Whether a name is one ThumbnailName gives: 16 hexadecimal digits and ".jpg".
bool IsThumbnailName(std::u16string_view name);

// Writes the thumbnail of `file` into `folder` (ending in a backslash).
Thumbnail MakeThumbnail(const std::u16string& file, const std::u16string& folder);

}  // namespace spurlese::overview

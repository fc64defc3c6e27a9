// The media files the program looks for, in one list: the scan tries their extensions in this
// order, the archive's walk keeps the files that have one, the lists tell pictures from videos.
#pragma once

#include <string_view>

namespace spurlese::archive {

enum class MediaKind { kNone, kPicture, kVideo };

struct MediaExtension {
    std::u16string_view text;  // lower-case, without the full stop
    MediaKind kind;
};

inline constexpr MediaExtension kMediaExtensions[] = {
    {u"jpg", MediaKind::kPicture}, {u"jpeg", MediaKind::kPicture}, {u"heic", MediaKind::kPicture},
    {u"mov", MediaKind::kVideo},   {u"mp4", MediaKind::kVideo},
};

// By the name's extension (after its last full stop), letter case ignored.
MediaKind MediaKindOf(std::u16string_view name);

}  // namespace spurlese::archive

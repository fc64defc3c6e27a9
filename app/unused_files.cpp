#include "app/unused_files.h"

#include <algorithm>

#include "archive/logical_order.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

constexpr std::u16string_view kPictures = u"jpg,jpeg,heic";
constexpr std::u16string_view kVideos = u"mov,mp4";

// A path as a key: lower-cased, with doubled backslashes (as a project may write them) single.
std::u16string PathKey(std::u16string_view path) {
    std::u16string key = platform::LowerCase(path);
    for (size_t at = 1; (at = key.find(u"\\\\", at)) != std::u16string::npos;) key.erase(at, 1);
    return key;
}

std::u16string_view Stem(std::u16string_view name) {
    return name.substr(0, name.rfind(u'.'));
}

}  // namespace

std::u16string UnusedFilesText(const archive::ArchiveIndex& index,
                               const std::vector<HitSource>& hits) {
    TextSet used;
    for (const HitSource& hit : hits) used.insert(PathKey(hit.hit));
    std::vector<std::u16string> folderKeys;
    folderKeys.reserve(index.folders.size());
    for (const std::u16string& folder : index.folders) folderKeys.push_back(PathKey(folder));

    // The used pictures by their lower-cased paths without extension, for their live photos'
    // videos.
    TextMap<std::u16string_view> usedPictures;
    struct Unused {
        std::u16string key;  // lower-cased path, for the order
        uint32_t file;
    };
    std::vector<Unused> unused;
    size_t usedCount = 0;
    for (uint32_t f = 0; f < index.files.size(); ++f) {
        const archive::ArchiveFile& file = index.files[f];
        const std::u16string_view name = index.Name(file);
        std::u16string key = folderKeys[file.folder] + u"\\" + platform::LowerCase(name);
        if (used.count(key)) {
            ++usedCount;
            if (archive::HasExtension(name, kPictures)) usedPictures.emplace(Stem(key), name);
        } else {
            unused.push_back({std::move(key), f});
        }
    }
    std::sort(unused.begin(), unused.end(), [](const Unused& a, const Unused& b) {
        return archive::LogicalPathCompare(a.key, b.key) < 0;
    });
    std::u16string text = u"Mediendateien im Archiv: " +
                          Decimal(static_cast<int64_t>(index.files.size())) + u", verwendet: " +
                          Decimal(static_cast<int64_t>(usedCount)) + u", nicht verwendet: " +
                          Decimal(static_cast<int64_t>(unused.size()));
    for (const Unused& entry : unused) {
        const archive::ArchiveFile& file = index.files[entry.file];
        const std::u16string_view name = index.Name(file);
        text += u"\r\n" + index.Path(file);
        if (!archive::HasExtension(name, kVideos)) continue;
        const auto picture = usedPictures.find(Stem(entry.key));
        if (picture != usedPictures.end())
            text +=
                u"\tgeh\u00F6rt zum verwendeten Bild '" + std::u16string(picture->second) + u"'";
    }
    return text;
}

}  // namespace spurlese

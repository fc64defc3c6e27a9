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
    // The hits by folder: each folder's used names, looked up once per folder, not per file.
    TextMap<TextSet> usedByFolder;
    for (const HitSource& hit : hits) {
        const std::u16string key = PathKey(hit.hit);
        const size_t cut = key.rfind(u'\\');
        if (cut == std::u16string::npos) continue;
        usedByFolder[key.substr(0, cut)].insert(key.substr(cut + 1));
    }
    std::vector<std::u16string> folderKeys;
    folderKeys.reserve(index.folders.size());
    for (const std::u16string& folder : index.folders) folderKeys.push_back(PathKey(folder));

    // Explorer's order of whole paths, in two steps: the folders once (each with a final
    // backslash, so that a folder's subfolders come before its own files), then the names
    // within a folder. Comparing whole paths would compare the base path again for every pair.
    std::vector<uint32_t> folderOrder(index.folders.size());
    for (uint32_t k = 0; k < folderOrder.size(); ++k) folderOrder[k] = k;
    std::vector<std::u16string> folderOrderKeys;
    folderOrderKeys.reserve(folderKeys.size());
    for (const std::u16string& key : folderKeys) folderOrderKeys.push_back(key + u"\\");
    std::sort(folderOrder.begin(), folderOrder.end(), [&](uint32_t a, uint32_t b) {
        return archive::LogicalPathCompare(folderOrderKeys[a], folderOrderKeys[b]) < 0;
    });
    std::vector<uint32_t> folderRank(index.folders.size());
    for (uint32_t k = 0; k < folderOrder.size(); ++k) folderRank[folderOrder[k]] = k;
    std::vector<const TextSet*> usedIn(index.folders.size(), nullptr);
    for (uint32_t k = 0; k < folderKeys.size(); ++k) {
        const auto found = usedByFolder.find(folderKeys[k]);
        if (found != usedByFolder.end()) usedIn[k] = &found->second;
    }

    // The used pictures by folder and lower-cased name without extension, for their live
    // photos' videos.
    const auto pictureKey = [](uint32_t folder, std::u16string_view lowerName) {
        std::u16string key{static_cast<char16_t>(folder & 0xFFFF),
                           static_cast<char16_t>(folder >> 16)};
        return key.append(Stem(lowerName));
    };
    TextMap<std::u16string_view> usedPictures;
    struct Unused {
        std::u16string lowerName;
        uint32_t folderRank;
        uint32_t file;
    };
    std::vector<Unused> unused;
    unused.reserve(index.files.size());
    size_t usedCount = 0;
    for (uint32_t f = 0; f < index.files.size(); ++f) {
        const archive::ArchiveFile& file = index.files[f];
        const std::u16string_view name = index.Name(file);
        std::u16string lowerName = platform::LowerCase(name);
        const TextSet* usedHere = usedIn[file.folder];
        if (usedHere && usedHere->count(lowerName)) {
            ++usedCount;
            if (archive::HasExtension(name, kPictures))
                usedPictures.emplace(pictureKey(file.folder, lowerName), name);
        } else {
            unused.push_back({std::move(lowerName), folderRank[file.folder], f});
        }
    }
    std::sort(unused.begin(), unused.end(), [](const Unused& a, const Unused& b) {
        if (a.folderRank != b.folderRank) return a.folderRank < b.folderRank;
        return archive::LogicalCompare(a.lowerName, b.lowerName) < 0;
    });
    std::u16string text = u"Mediendateien im Archiv: " +
                          Decimal(static_cast<int64_t>(index.files.size())) + u", verwendet: " +
                          Decimal(static_cast<int64_t>(usedCount)) + u", nicht verwendet: " +
                          Decimal(static_cast<int64_t>(unused.size()));
    size_t length = text.size();
    for (const Unused& entry : unused)
        length += 3 + index.folders[index.files[entry.file].folder].size() + entry.lowerName.size();
    text.reserve(length);
    for (const Unused& entry : unused) {
        const archive::ArchiveFile& file = index.files[entry.file];
        const std::u16string_view name = index.Name(file);
        text.append(u"\r\n").append(index.folders[file.folder]).append(u"\\").append(name);
        if (!archive::HasExtension(name, kVideos)) continue;
        const auto picture = usedPictures.find(pictureKey(file.folder, entry.lowerName));
        if (picture != usedPictures.end())
            text +=
                u"\tgeh\u00F6rt zum verwendeten Bild '" + std::u16string(picture->second) + u"'";
    }
    return text;
}

}  // namespace spurlese

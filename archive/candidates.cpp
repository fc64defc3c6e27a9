#include "archive/candidates.h"

#include <algorithm>
#include <unordered_map>

#include "archive/logical_order.h"
#include "archive/name_key.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese::archive {

namespace {

// The folder names of a path's folder, as keys, the last first.
std::vector<std::u16string> FolderKeysFromTheEnd(std::u16string_view folder) {
    std::vector<std::u16string> keys;
    while (!folder.empty()) {
        const size_t cut = folder.find_last_of(u"\\/");
        const std::u16string_view name =
            cut == std::u16string_view::npos ? folder : folder.substr(cut + 1);
        keys.push_back(NameKey(name));
        folder = cut == std::u16string_view::npos ? std::u16string_view() : folder.substr(0, cut);
    }
    return keys;
}

size_t TrailingInCommon(const std::vector<std::u16string>& a,
                        const std::vector<std::u16string>& b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::vector<std::vector<uint32_t>> FindCandidates(const ArchiveIndex& index,
                                                  const std::vector<std::u16string>& missing) {
    std::vector<std::vector<uint32_t>> found(missing.size());
    if (missing.empty()) return found;
    std::unordered_multimap<std::u16string, size_t> wanted;
    for (size_t m = 0; m < missing.size(); ++m)
        wanted.emplace(NameKey(FileNamePart(missing[m])), m);
    std::u16string key;
    for (uint32_t f = 0; f < index.files.size(); ++f) {
        AssignNameKey(index.Name(index.files[f]), &key);
        const auto [first, last] = wanted.equal_range(key);
        for (auto it = first; it != last; ++it) found[it->second].push_back(f);
    }
    // The most likely first; only the few files of one name are compared.
    std::vector<uint32_t> folderRank;
    std::unordered_map<uint32_t, std::vector<std::u16string>> folderKeys;
    for (size_t m = 0; m < missing.size(); ++m) {
        if (found[m].empty()) continue;
        if (folderRank.empty()) {
            const std::vector<uint32_t> order = FolderOrder(index);
            folderRank.resize(order.size());
            for (uint32_t k = 0; k < order.size(); ++k) folderRank[order[k]] = k;
        }
        const std::u16string_view missingFolder = WithoutFinalBackslash(FolderPart(missing[m]));
        const std::vector<std::u16string> wantedKeys = FolderKeysFromTheEnd(missingFolder);
        struct Ranked {
            uint32_t file;
            size_t common;
            uint32_t folderRank;
        };
        std::vector<Ranked> ranked;
        for (uint32_t f : found[m]) {
            const uint32_t folder = index.files[f].folder;
            auto keys = folderKeys.find(folder);
            if (keys == folderKeys.end())
                keys =
                    folderKeys.emplace(folder, FolderKeysFromTheEnd(index.folders[folder])).first;
            ranked.push_back({f, TrailingInCommon(wantedKeys, keys->second), folderRank[folder]});
        }
        // Then in Explorer's order: by folder, and in one folder (a name spelt composed and
        // decomposed) by name.
        std::sort(ranked.begin(), ranked.end(), [&](const Ranked& a, const Ranked& b) {
            if (a.common != b.common) return a.common > b.common;
            if (a.folderRank != b.folderRank) return a.folderRank < b.folderRank;
            return LogicalCompare(platform::LowerCase(index.Name(index.files[a.file])),
                                  platform::LowerCase(index.Name(index.files[b.file]))) < 0;
        });
        for (size_t k = 0; k < ranked.size(); ++k) found[m][k] = ranked[k].file;
    }
    return found;
}

}  // namespace spurlese::archive

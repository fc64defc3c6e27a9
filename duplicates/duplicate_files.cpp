#include "duplicates/duplicate_files.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/owners.h"
#include "platform/platform.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace spurlese::duplicates {

namespace {

constexpr int64_t kEdge = 64 << 10;        // the first and the last this many bytes
constexpr int64_t kPiece = 1 << 20;        // read at a time for the full hash
constexpr int64_t kReadWhole = 4 * kEdge;  // a file no larger is read once, whole

using Hash = std::pair<uint64_t, uint64_t>;

Hash HashOf(const XXH128_hash_t& hash) {
    return {hash.high64, hash.low64};
}

// The hash of the file's first and last kEdge bytes (of all of a file no longer than twice
// that), and the file's key from the same handle (a second open costs as much again under Wine);
// false when it cannot be read. A file of at most kReadWhole bytes is read whole at once, and
// *whole is the hash of all its bytes, for the step after, which then need not open it again.
bool EdgeHash(const std::u16string& path, int64_t size, std::string* buffer, Hash* hash,
              platform::FileKey* key, std::optional<Hash>* whole) {
    const platform::OwnedFile file(platform::OpenFileForReading(path));
    if (!file || !platform::KeyOfOpenFile(file.Get(), key)) return false;
    whole->reset();
    if (size <= kReadWhole) {
        buffer->resize(static_cast<size_t>(size));
        if (platform::ReadFromFile(file.Get(), 0, buffer->data(), size) != size) return false;
        const int64_t tailFrom = std::max(std::min(size, kEdge), size - kEdge);
        XXH3_state_t state;
        XXH3_128bits_reset(&state);
        XXH3_128bits_update(&state, buffer->data(), static_cast<size_t>(std::min(size, kEdge)));
        XXH3_128bits_update(&state, buffer->data() + tailFrom,
                            static_cast<size_t>(size - tailFrom));
        *hash = HashOf(XXH3_128bits_digest(&state));
        *whole = HashOf(XXH3_128bits(buffer->data(), buffer->size()));
        return true;
    }
    const int64_t head = std::min(size, kEdge);
    const int64_t tailFrom = std::max(head, size - kEdge);
    buffer->resize(static_cast<size_t>(head + (size - tailFrom)));
    if (platform::ReadFromFile(file.Get(), 0, buffer->data(), head) != head) return false;
    if (tailFrom < size && platform::ReadFromFile(file.Get(), tailFrom, buffer->data() + head,
                                                  size - tailFrom) != size - tailFrom)
        return false;
    *hash = HashOf(XXH3_128bits(buffer->data(), buffer->size()));
    return true;
}

// The hash of all of the file's bytes, read piece by piece; false when it cannot be read whole
// or its size changed.
bool FullHash(const std::u16string& path, int64_t size, std::string* buffer, Hash* hash,
              const std::function<void(int64_t)>& read) {
    const platform::OwnedFile file(platform::OpenFileForReading(path));
    if (!file) return false;
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    buffer->resize(static_cast<size_t>(kPiece));
    int64_t done = 0;
    for (;;) {
        const int64_t got = platform::ReadFromFile(file.Get(), done, buffer->data(), kPiece);
        if (got < 0) return false;
        XXH3_128bits_update(&state, buffer->data(), static_cast<size_t>(got));
        done += got;
        read(got);
        if (got < kPiece) break;
    }
    if (done != size) return false;
    *hash = HashOf(XXH3_128bits_digest(&state));
    return true;
}

// Splits the files by a key; only the parts of two or more go on.
template <typename Key>
std::vector<std::vector<uint32_t>> Split(const std::vector<uint32_t>& files,
                                         const std::vector<Key>& keys) {
    std::map<Key, std::vector<uint32_t>> parts;
    for (size_t k = 0; k < files.size(); ++k) parts[keys[k]].push_back(files[k]);
    std::vector<std::vector<uint32_t>> kept;
    for (auto& [key, part] : parts) {
        if (part.size() > 1) kept.push_back(std::move(part));
    }
    return kept;
}

}  // namespace

DuplicateSearch FindDuplicates(const archive::ArchiveIndex& index, const WorkReport& report) {
    DuplicateSearch search;
    // By size: only a file with another of its size may be a duplicate. Empty files say nothing.
    std::unordered_map<int64_t, std::vector<uint32_t>> bySize;
    for (uint32_t f = 0; f < index.files.size(); ++f) {
        if (index.files[f].size > 0) bySize[index.files[f].size].push_back(f);
    }
    std::vector<std::vector<uint32_t>> candidates;
    int64_t total = 0;  // what may have to be read: the edges, then all bytes
    for (auto& [size, files] : bySize) {
        if (files.size() < 2) continue;
        total += static_cast<int64_t>(files.size()) * (std::min(size, 2 * kEdge) + size);
        candidates.push_back(std::move(files));
    }
    int64_t read = 0;
    const auto stopped = [&] {
        report.Progress(read, total);
        if (report.Busy()) return false;
        search.outcome = SearchOutcome::kStopped;
        return true;
    };
    std::string buffer;
    std::vector<platform::FileKey> keys(index.files.size());
    std::vector<std::optional<Hash>> wholes(index.files.size());
    // Two names of one file (hard links) are one file, with all its names.
    const auto addGroup = [&](int64_t size, std::vector<uint32_t> same) {
        std::sort(same.begin(), same.end());
        std::vector<std::vector<uint32_t>> files;
        std::vector<platform::FileKey> seen;
        for (uint32_t f : same) {
            const auto known = std::find(seen.begin(), seen.end(), keys[f]);
            if (known != seen.end()) {
                files[static_cast<size_t>(known - seen.begin())].push_back(f);
                continue;
            }
            seen.push_back(keys[f]);
            files.push_back({f});
        }
        if (files.size() > 1) search.groups.push_back({size, std::move(files)});
    };
    for (std::vector<uint32_t>& sameSize : candidates) {
        const int64_t size = index.files[sameSize.front()].size;
        std::vector<uint32_t> readable;
        std::vector<Hash> edges;
        for (uint32_t f : sameSize) {
            if (stopped()) return search;
            Hash hash;
            if (EdgeHash(index.Path(index.files[f]), size, &buffer, &hash, &keys[f], &wholes[f])) {
                readable.push_back(f);
                edges.push_back(hash);
            } else {
                search.unreadable.push_back(f);
            }
            read += std::min(size, 2 * kEdge);
        }
        for (std::vector<uint32_t>& sameEdges : Split(readable, edges)) {
            // A file no longer than its two edges was hashed whole already.
            if (size <= 2 * kEdge) {
                addGroup(size, std::move(sameEdges));
                continue;
            }
            std::vector<uint32_t> whole;
            std::vector<Hash> hashes;
            for (uint32_t f : sameEdges) {
                if (stopped()) return search;
                Hash hash;
                if (wholes[f]) {
                    whole.push_back(f);
                    hashes.push_back(*wholes[f]);
                } else if (FullHash(index.Path(index.files[f]), size, &buffer, &hash,
                                    [&](int64_t got) {
                                        read += got;
                                        report.Progress(read, total);
                                    })) {
                    whole.push_back(f);
                    hashes.push_back(hash);
                } else {
                    search.unreadable.push_back(f);
                }
            }
            for (std::vector<uint32_t>& same : Split(whole, hashes))
                addGroup(size, std::move(same));
        }
    }
    std::sort(search.groups.begin(), search.groups.end(),
              [](const DuplicateGroup& a, const DuplicateGroup& b) {
                  return a.size != b.size ? a.size > b.size
                                          : a.files.front().front() < b.files.front().front();
              });
    std::sort(search.unreadable.begin(), search.unreadable.end());
    report.Progress(total, total);
    return search;
}

}  // namespace spurlese::duplicates

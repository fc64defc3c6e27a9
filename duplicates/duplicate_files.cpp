#include "duplicates/duplicate_files.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/owners.h"
#include "platform/platform.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace spurlese::duplicates {

namespace {

constexpr int64_t kEdge = 64 << 10;  // the first and the last this many bytes
constexpr int64_t kPiece = 1 << 20;  // read at a time for the full hash

using Hash = std::pair<uint64_t, uint64_t>;

Hash HashOf(const XXH128_hash_t& hash) {
    return {hash.high64, hash.low64};
}

// The hash of the file's first and last kEdge bytes (of all of a file no longer than twice
// that); false when it cannot be read.
bool EdgeHash(const std::u16string& path, int64_t size, std::string* buffer, Hash* hash) {
    const platform::OwnedFile file(platform::OpenFileForReading(path));
    if (!file) return false;
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
    for (std::vector<uint32_t>& sameSize : candidates) {
        const int64_t size = index.files[sameSize.front()].size;
        // One name per file: a hard link's other names are the same bytes, never a copy.
        std::vector<uint32_t> files;
        std::vector<platform::FileKey> seen;
        for (uint32_t f : sameSize) {
            platform::FileKey key;
            if (!platform::KeyOfFile(index.Path(index.files[f]), &key)) {
                search.unreadable.push_back(f);
                continue;
            }
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
            seen.push_back(key);
            files.push_back(f);
        }
        if (files.size() < 2) continue;
        std::vector<Hash> edges(files.size());
        std::vector<uint32_t> readable;
        std::vector<Hash> readableEdges;
        for (size_t k = 0; k < files.size(); ++k) {
            if (stopped()) return search;
            if (EdgeHash(index.Path(index.files[files[k]]), size, &buffer, &edges[k])) {
                readable.push_back(files[k]);
                readableEdges.push_back(edges[k]);
            } else {
                search.unreadable.push_back(files[k]);
            }
            read += std::min(size, 2 * kEdge);
        }
        for (std::vector<uint32_t>& sameEdges : Split(readable, readableEdges)) {
            // A file no longer than its two edges was hashed whole already.
            if (size <= 2 * kEdge) {
                search.groups.push_back({size, std::move(sameEdges)});
                continue;
            }
            std::vector<uint32_t> whole;
            std::vector<Hash> hashes;
            for (uint32_t f : sameEdges) {
                if (stopped()) return search;
                Hash hash;
                if (FullHash(index.Path(index.files[f]), size, &buffer, &hash, [&](int64_t got) {
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
                search.groups.push_back({size, std::move(same)});
        }
    }
    for (DuplicateGroup& group : search.groups) std::sort(group.files.begin(), group.files.end());
    std::sort(search.groups.begin(), search.groups.end(),
              [](const DuplicateGroup& a, const DuplicateGroup& b) {
                  return a.size != b.size ? a.size > b.size : a.files.front() < b.files.front();
              });
    std::sort(search.unreadable.begin(), search.unreadable.end());
    report.Progress(total, total);
    return search;
}

}  // namespace spurlese::duplicates

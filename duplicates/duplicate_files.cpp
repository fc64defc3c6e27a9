#include "duplicates/duplicate_files.h"

#include <algorithm>
#include <atomic>
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
    // Each size on a job of its own, two threads per processor: most of the time goes into
    // opening files, where a thread waits for the file system (Wine's server, a network share),
    // and another can go on meanwhile (under Wine 1.5 s against 2.0 s with one per processor, and
    // no faster with more). A job touches its own files' keys and its own result only.
    std::vector<platform::FileKey> keys(index.files.size());
    struct Found {
        std::vector<DuplicateGroup> groups;
        std::vector<uint32_t> unreadable;
    };
    std::vector<Found> found(candidates.size());
    std::atomic<int64_t> read{0};
    const auto search1 = [&](size_t job) {
        std::vector<uint32_t>& sameSize = candidates[job];
        Found& out = found[job];
        const int64_t size = index.files[sameSize.front()].size;
        std::string buffer;
        std::unordered_map<uint32_t, Hash> wholes;
        std::vector<uint32_t> readable;
        std::vector<Hash> edges;
        for (uint32_t f : sameSize) {
            Hash hash;
            std::optional<Hash> whole;
            if (EdgeHash(index.Path(index.files[f]), size, &buffer, &hash, &keys[f], &whole)) {
                readable.push_back(f);
                edges.push_back(hash);
                if (whole) wholes.emplace(f, *whole);
            } else {
                out.unreadable.push_back(f);
            }
            read += std::min(size, 2 * kEdge);
        }
        // Two names of one file (hard links) are one file, with all its names.
        const auto addGroup = [&](std::vector<uint32_t> same) {
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
            if (files.size() > 1) out.groups.push_back({size, std::move(files)});
        };
        for (std::vector<uint32_t>& sameEdges : Split(readable, edges)) {
            // A file no longer than its two edges was hashed whole already.
            if (size <= 2 * kEdge) {
                addGroup(std::move(sameEdges));
                continue;
            }
            std::vector<uint32_t> whole;
            std::vector<Hash> hashes;
            for (uint32_t f : sameEdges) {
                Hash hash;
                if (const auto known = wholes.find(f); known != wholes.end()) {
                    whole.push_back(f);
                    hashes.push_back(known->second);
                } else if (FullHash(index.Path(index.files[f]), size, &buffer, &hash,
                                    [&](int64_t got) { read += got; })) {
                    whole.push_back(f);
                    hashes.push_back(hash);
                } else {
                    out.unreadable.push_back(f);
                }
            }
            for (std::vector<uint32_t>& same : Split(whole, hashes)) addGroup(std::move(same));
        }
    };
    constexpr int kWaitStep = 50;  // milliseconds between looks at the window
    platform::OwnedWork work(
        platform::StartWork(candidates.size(), 2 * platform::ProcessorCount(), search1));
    if (!work) {
        // No thread to spare: the same work, one size after the other, here.
        for (size_t job = 0; job < candidates.size(); ++job) {
            report.Progress(read, total);
            if (!report.Busy()) {
                search.outcome = SearchOutcome::kStopped;
                return search;
            }
            search1(job);
        }
    } else {
        size_t done = 0;
        bool stopped = false;
        while (!platform::WaitWork(work.Get(), kWaitStep, &done)) {
            report.Progress(read, total);
            if (!report.Busy()) {
                stopped = true;
                break;
            }
        }
        platform::FinishWork(work.Take(), stopped);
        if (stopped) {
            search.outcome = SearchOutcome::kStopped;
            return search;
        }
    }
    for (Found& part : found) {
        for (DuplicateGroup& group : part.groups) search.groups.push_back(std::move(group));
        search.unreadable.insert(search.unreadable.end(), part.unreadable.begin(),
                                 part.unreadable.end());
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

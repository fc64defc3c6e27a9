// Move-only owners for what the platform hands out. Each lets go of its handle when it goes out
// of scope, so an early return, or a scan that stops with extractors still started, leaks
// nothing.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/platform.h"

namespace spurlese::platform {

// What no handle looks like: kNone for the platform's own handle types, null for pointers. A
// platform passes its own test for native handles that have more than one (Windows returns null
// or INVALID_HANDLE_VALUE).
template <typename Handle>
bool IsNoHandle(Handle handle) {
    if constexpr (std::is_pointer_v<Handle>) {
        return handle == nullptr;
    } else {
        return handle == Handle::kNone;
    }
}

// The one owner of every handle: the platform's and, inside a platform, the native ones. The
// release's result is not looked at; where it matters, Take the handle and release it yourself.
template <typename Handle, auto Release, auto IsNone = &IsNoHandle<Handle>>
class Owner {
public:
    Owner() = default;
    explicit Owner(Handle handle) : handle_(handle) {}
    Owner(Owner&& other) noexcept : handle_(other.Take()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.Take();
        }
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return !IsNone(handle_); }
    // Hands the handle over, for a release whose result matters (CloseFile).
    Handle Take() { return std::exchange(handle_, Handle{}); }
    void Reset() {
        if (!IsNone(handle_)) Release(Take());
        handle_ = Handle{};
    }

private:
    Handle handle_{};
};

inline void CloseFileUnchecked(FileHandle file) {
    CloseFile(file);
}

inline void FinishFileCopyUnchecked(CopyHandle copy) {
    FinishFileCopy(copy);
}

// Work left to its owner is stopped: no further job begins, those under way are waited for.
inline void CancelWork(WorkHandle work) {
    FinishWork(work, true);
}

using OwnedProcess = Owner<ProcessHandle, CloseProcess>;
using OwnedWork = Owner<WorkHandle, CancelWork>;
using OwnedFile = Owner<FileHandle, CloseFileUnchecked>;
using OwnedCopy = Owner<CopyHandle, FinishFileCopyUnchecked>;

// A folder listing, read in a range-for:
//     for (const ListingEntry& entry : Listing(folder, u"*.*")) ...
// A folder that cannot be listed gives no entries; IsOpen tells it from an empty one. A listing
// is read once: begin() starts reading where the listing stands.
class Listing {
public:
    Listing(std::u16string_view folder, std::u16string_view pattern)
        : listing_(OpenListing(folder, pattern)) {}
    bool IsOpen() const { return static_cast<bool>(listing_); }
    void Close() { listing_.Reset(); }

    class Iterator {
    public:
        using value_type = ListingEntry;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        explicit Iterator(ListingHandle listing) : listing_(listing) { ++*this; }
        const ListingEntry& operator*() const { return entry_; }
        const ListingEntry* operator->() const { return &entry_; }
        Iterator& operator++() {
            if (listing_ != ListingHandle::kNone && !NextListingEntry(listing_, &entry_)) {
                listing_ = ListingHandle::kNone;
            }
            return *this;
        }
        void operator++(int) { ++*this; }
        bool operator==(std::default_sentinel_t) const { return listing_ == ListingHandle::kNone; }

    private:
        ListingHandle listing_ = ListingHandle::kNone;
        ListingEntry entry_;
    };
    Iterator begin() { return Iterator(listing_.Get()); }
    std::default_sentinel_t end() { return {}; }

private:
    Owner<ListingHandle, CloseListing> listing_;
};

}  // namespace spurlese::platform

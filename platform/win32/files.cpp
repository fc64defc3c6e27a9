// Files and folder listings through the Windows API: FindFirstFileW lists in the file system's
// own order and matches wildcards as Windows does.
#include <map>

#include "platform/text_helpers.h"
#include "platform/win32/long_path.h"
#include "platform/win32/win32_internal.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

struct Listing {
    OwnedFind find;
    WIN32_FIND_DATAW data = {};
    bool pending = false;  // `data` holds an entry not yet handed out
};

std::map<ListingHandle, Listing> gListings;
intptr_t gNextListing = 1;

// Every path goes to Windows through here, in its long form where it is long.
std::u16string Native(std::u16string_view path) {
    const std::wstring form = longpath::LongPathForm(
        std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size()));
    return U(form.data(), form.size());
}

// Opens a file for whole-file access; INVALID_HANDLE_VALUE on failure.
HANDLE OpenFile(std::u16string_view path, bool write) {
    return CreateFileW(W(Native(path)), write ? GENERIC_WRITE : GENERIC_READ,
                       write ? 0 : FILE_SHARE_READ, nullptr, write ? CREATE_ALWAYS : OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int64_t FileSize(std::u16string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(W(Native(path)), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -2;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

ListingHandle OpenListing(std::u16string_view folder, std::u16string_view pattern) {
    const std::u16string query = Native(std::u16string(folder) + u"\\" + std::u16string(pattern));
    Listing listing;
    listing.find = OwnedFind(FindFirstFileW(W(query), &listing.data));
    if (!listing.find.valid()) {
        // An existing folder with no matching entry is an empty listing, not a failure.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return ListingHandle::kNone;
        const DWORD attributes = GetFileAttributesW(W(Native(std::u16string(folder) + u"\\")));
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return ListingHandle::kNone;
        }
    } else {
        listing.pending = true;
    }
    const ListingHandle handle{gNextListing++};
    gListings[handle] = std::move(listing);
    return handle;
}

bool NextListingEntry(ListingHandle listing, ListingEntry* entry) {
    auto it = gListings.find(listing);
    if (it == gListings.end()) return false;
    Listing& l = it->second;
    if (!l.pending) {
        if (!l.find.valid() || !FindNextFileW(l.find.get(), &l.data)) return false;
    }
    l.pending = false;
    entry->name = U(l.data.cFileName, wcslen(l.data.cFileName));
    entry->isDirectory = (l.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

void CloseListing(ListingHandle listing) {
    gListings.erase(listing);  // its owner closes the find handle
}

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
    const OwnedHandle file(OpenFile(path, false));
    if (!file.valid()) return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) && got > 0) {
        bytes->append(buffer, got);
    }
    return ok;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
    const FileHandle file = CreateFileForWriting(path);
    if (file == FileHandle::kNone) return false;
    const bool written = WriteToFile(file, bytes) && FlushFile(file);
    return CloseFile(file) && written;
}

FileHandle CreateFileForWriting(std::u16string_view path) {
    HANDLE file = OpenFile(path, true);
    return file == INVALID_HANDLE_VALUE ? FileHandle::kNone : HandleOf<FileHandle>(file);
}

bool WriteToFile(FileHandle file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(NativeOf<HANDLE>(file), bytes.data() + done, chunk, &written, nullptr) ||
            written != chunk) {
            return false;
        }
        done += written;
    }
    return true;
}

bool FlushFile(FileHandle file) {
    return FlushFileBuffers(NativeOf<HANDLE>(file)) != 0;
}

bool CloseFile(FileHandle file) {
    return CloseHandle(NativeOf<HANDLE>(file)) != 0;
}

namespace {

// The full path of a file: ReplaceFileW takes only those under Wine.
std::u16string FullPath(const std::u16string& path) {
    const wchar_t* wide = W(path);
    const DWORD size = GetFullPathNameW(wide, 0, nullptr, nullptr);
    if (size == 0) return path;
    std::u16string full(size, u'\0');
    const DWORD length =
        GetFullPathNameW(wide, size, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

}  // namespace

bool MoveFileReplacing(std::u16string_view source, std::u16string_view target) {
    const std::u16string from = FullPath(Native(source)), to = FullPath(Native(target));
    const auto move = [&] {
        return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    const DWORD attributes = GetFileAttributesW(W(to));
    if (attributes == INVALID_FILE_ATTRIBUTES) return move();
    // ReplaceFileW keeps what the target had: its security and its creation time; its
    // attributes are set again, as not every implementation keeps them (Wine's does not).
    if (!ReplaceFileW(W(to), W(from), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        // The target is gone and the new bytes still have the temporary name: finish the move.
        if (GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT || !move()) return false;
    }
    // What the user gave the file; the archive bit rightly says it changed.
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesW(W(to));
    if (now != INVALID_FILE_ATTRIBUTES && (now & kKept) != (attributes & kKept)) {
        const DWORD wanted = (now & ~kKept & ~FILE_ATTRIBUTE_NORMAL) | (attributes & kKept);
        SetFileAttributesW(W(to), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

bool WritableFile(std::u16string_view path) {
    const OwnedHandle file(CreateFileW(W(Native(path)), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) return true;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    // Not there yet: writable when its folder exists.
    const std::u16string folder(FolderPart(path));
    if (folder.empty()) return true;
    const DWORD attributes = GetFileAttributesW(W(Native(folder)));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFilePath(std::u16string_view path) {
    return DeleteFileW(W(Native(path))) != 0;
}

}  // namespace platform

}  // namespace spurlese

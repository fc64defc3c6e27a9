// Files and folder listings through the Windows API: FindFirstFileW lists in the file system's
// own order and matches wildcards as Windows does.
#include <algorithm>
#include <cwchar>
#include <map>
#include <utility>

#include "platform/file_faults.h"
#include "platform/text_helpers.h"
#include "platform/win32/long_path.h"
#include "platform/win32/win32_internal.h"

#include <cstring>

namespace spurlese {

namespace platform {

namespace win32 {

std::u16string NativePath(std::u16string_view path) {
    const std::wstring form = longpath::LongPathForm(
        std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size()));
    return U(form.data(), form.size());
}

FileError ErrorOf(DWORD code) {
    FileError error;
    error.kind = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL
                     ? FileErrorKind::kDiskFull
                 : code == ERROR_NOT_SAME_DEVICE ? FileErrorKind::kOtherVolume
                                                 : FileErrorKind::kOther;
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length > 0 && text) {
        error.reason = U(text, length);
        while (!error.reason.empty() &&
               (error.reason.back() == u'\n' || error.reason.back() == u'\r' ||
                error.reason.back() == u' ')) {
            error.reason.pop_back();
        }
    }
    LocalFree(text);
    if (error.reason.empty()) error.reason = u"Fehler " + std::u16string(Decimal(code));
    return error;
}

}  // namespace win32

using namespace win32;

namespace {

struct OpenFind {
    OwnedFind find;
    WIN32_FIND_DATAW data = {};
    bool pending = false;  // `data` holds an entry not yet handed out
};

// Listings are opened on the program's thread and on workers at once (the archive's walk while a
// scan lists folders): the registry is shared under its lock, each listing used by its owner.
SRWLOCK gListingsLock = SRWLOCK_INIT;
std::map<ListingHandle, OpenFind> gListings;
intptr_t gNextListing = 1;

std::u16string Native(std::u16string_view path) {
    return NativePath(path);
}

// An injected fault fails as Windows fails a device that stops working.
bool Injected(FileOperation operation) {
    if (!FileOperationFails(operation)) return false;
    SetLastError(ERROR_GEN_FAILURE);
    return true;
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

bool FileFacts(std::u16string_view path, int64_t* size, int64_t* lastWrite) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(W(Native(path)), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    *size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    *lastWrite = (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                 data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool ToLocalTime(int64_t lastWrite, LocalTime* time) {
    const FILETIME utc = {static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
    SYSTEMTIME universal, local;
    FILETIME universalAgain, localAgain;
    // The time zone's rule for that day, summer time included.
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !SystemTimeToFileTime(&universal, &universalAgain) ||
        !SystemTimeToFileTime(&local, &localAgain)) {
        return false;
    }
    const auto count = [](FILETIME t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    *time = {local.wYear,
             local.wMonth,
             local.wDay,
             local.wHour,
             local.wMinute,
             local.wSecond,
             static_cast<int>((count(localAgain) - count(universalAgain)) / 600000000)};
    return true;
}

ListingHandle OpenListing(std::u16string_view folder, std::u16string_view pattern) {
    const std::u16string query = Native(std::u16string(folder) + u"\\" + std::u16string(pattern));
    OpenFind listing;
    // Without short names (8.3 names are still matched by the pattern, only not handed out), and
    // in large pieces: a listing of thousands of entries takes fewer trips to the file system.
    listing.find =
        OwnedFind(FindFirstFileExW(W(query), FindExInfoBasic, &listing.data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!static_cast<bool>(listing.find)) {
        // An existing folder with no matching entry is an empty listing, not a failure.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return ListingHandle::kNone;
        const DWORD attributes = GetFileAttributesW(W(Native(std::u16string(folder) + u"\\")));
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return ListingHandle::kNone;
        }
    } else {
        listing.pending = true;
    }
    AcquireSRWLockExclusive(&gListingsLock);
    const ListingHandle handle{gNextListing++};
    gListings[handle] = std::move(listing);
    ReleaseSRWLockExclusive(&gListingsLock);
    return handle;
}

bool NextListingEntry(ListingHandle listing, ListingEntry* entry) {
    // A map's entry stays where it is while others come and go.
    AcquireSRWLockShared(&gListingsLock);
    const auto it = gListings.find(listing);
    const bool found = it != gListings.end();
    ReleaseSRWLockShared(&gListingsLock);
    if (!found) return false;
    OpenFind& l = it->second;
    if (!l.pending) {
        if (!static_cast<bool>(l.find) || !FindNextFileW(l.find.Get(), &l.data)) return false;
    }
    l.pending = false;
    entry->name = U(l.data.cFileName, wcslen(l.data.cFileName));
    entry->isDirectory = (l.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A junction, a symbolic link, or a cloud file's placeholder all are reparse points; only
    // folders among them are links that a walk must not follow.
    // Only a name surrogate (a junction, a symbolic link) stands for another folder; other
    // reparse points, such as a cloud drive's placeholders, are folders of their own. For a
    // reparse point, the listing gives its tag in dwReserved0; where it gives none (Wine, for
    // a Unix symbolic link) the folder is taken for a link, so that no loop can hold a walk.
    const DWORD tag = l.data.dwReserved0;
    entry->isLink = entry->isDirectory &&
                    (l.data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                    (tag == 0 || IsReparseTagNameSurrogate(tag));
    entry->size = (static_cast<int64_t>(l.data.nFileSizeHigh) << 32) | l.data.nFileSizeLow;
    entry->lastWrite = (static_cast<int64_t>(l.data.ftLastWriteTime.dwHighDateTime) << 32) |
                       l.data.ftLastWriteTime.dwLowDateTime;
    return true;
}

void CloseListing(ListingHandle listing) {
    AcquireSRWLockExclusive(&gListingsLock);
    gListings.erase(listing);  // its owner closes the find handle
    ReleaseSRWLockExclusive(&gListingsLock);
}

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
    const OwnedHandle file(OpenFile(path, false));
    if (!static_cast<bool>(file)) return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr)) && got > 0) {
        bytes->append(buffer, got);
    }
    return ok;
}

bool ReadFileStart(std::u16string_view path, size_t size, std::string* bytes) {
    const OwnedHandle file(OpenFile(path, false));
    if (!static_cast<bool>(file)) return false;
    bytes->assign(size, '\0');
    size_t have = 0;
    DWORD got = 0;
    while (have < size &&
           ReadFile(file.Get(), bytes->data() + have,
                    static_cast<DWORD>(std::min<size_t>(size - have, 1 << 20)), &got, nullptr) &&
           got > 0)
        have += got;
    bytes->resize(have);
    return true;
}

bool RemoveEmptyFolder(std::u16string_view path) {
    return RemoveDirectoryW(W(Native(path))) != 0;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
    const FileHandle file = CreateFileForWriting(path);
    if (file == FileHandle::kNone) return false;
    const bool written = WriteToFile(file, bytes) && FlushFile(file);
    return CloseFile(file) && written;
}

FileHandle CreateFileForWriting(std::u16string_view path) {
    if (Injected(FileOperation::kCreate)) return FileHandle::kNone;
    HANDLE file = OpenFile(path, true);
    return file == INVALID_HANDLE_VALUE ? FileHandle::kNone : HandleOf<FileHandle>(file);
}

bool WriteToFile(FileHandle file, std::string_view bytes) {
    if (Injected(FileOperation::kWrite)) return false;
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

FileHandle OpenFileForReading(std::u16string_view path) {
    HANDLE file = CreateFileW(W(Native(path)), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file == INVALID_HANDLE_VALUE ? FileHandle::kNone : HandleOf<FileHandle>(file);
}

int64_t ReadFromFile(FileHandle file, int64_t offset, char* buffer, int64_t size) {
    int64_t done = 0;
    while (done < size) {
        OVERLAPPED at = {};
        const uint64_t position = static_cast<uint64_t>(offset + done);
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<int64_t>(size - done, 1 << 20));
        DWORD got = 0;
        if (!ReadFile(NativeOf<HANDLE>(file), buffer + done, chunk, &got, &at))
            return GetLastError() == ERROR_HANDLE_EOF ? done : -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

namespace {

bool KeyOfHandle(HANDLE file, FileKey* key) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    key->volume = info.dwVolumeSerialNumber;
    key->index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return true;
}

}  // namespace

bool KeyOfFile(std::u16string_view path, FileKey* key) {
    const OwnedHandle file(
        CreateFileW(W(Native(path)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && KeyOfHandle(file.Get(), key);
}

bool KeyOfOpenFile(FileHandle file, FileKey* key) {
    // The file system's own number of the file (FileInternalInformation), asked of ntdll: the
    // documented calls that give it ask for the volume too.
    struct Status {
        LONG status;
        ULONG_PTR information;
    } status = {};
    LARGE_INTEGER number = {};
    using Query = LONG(WINAPI*)(HANDLE, Status*, void*, ULONG, int);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
    constexpr int kFileInternalInformation = 6;
    if (!query || query(NativeOf<HANDLE>(file), &status, &number, sizeof(number),
                        kFileInternalInformation) < 0)
        return KeyOfHandle(NativeOf<HANDLE>(file), key) && ((key->volume = 0), true);
    *key = {0, static_cast<uint64_t>(number.QuadPart), 0};
    return true;
}

bool FlushFile(FileHandle file) {
    if (Injected(FileOperation::kFlush)) return false;
    return FlushFileBuffers(NativeOf<HANDLE>(file)) != 0;
}

bool CloseFile(FileHandle file) {
    const bool fails = FileOperationFails(FileOperation::kClose);
    return CloseHandle(NativeOf<HANDLE>(file)) != 0 && !fails;
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

ReplaceOutcome ReplaceWithBackup(std::u16string_view source, std::u16string_view target,
                                 std::u16string_view backup) {
    const std::u16string from = FullPath(Native(source)), to = FullPath(Native(target)),
                         old = FullPath(Native(backup));
    if (FileOperationFails(FileOperation::kReplace)) return ReplaceOutcome::kUnchanged;
    if (FileOperationFails(FileOperation::kReplaceHalfway)) {
        // As Windows leaves it when the new file cannot be moved in.
        return MoveFileExW(W(to), W(old), MOVEFILE_REPLACE_EXISTING)
                   ? ReplaceOutcome::kTargetAtBackup
                   : ReplaceOutcome::kUnchanged;
    }
    // ReplaceFileW keeps what the target had: its attributes (not every implementation), its
    // security and its creation time. With a backup named, it never deletes the old file.
    if (ReplaceFileW(W(to), W(from), W(old), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return ReplaceOutcome::kReplaced;
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 means halfway; the files themselves tell it surely.
    const bool targetGone = GetFileAttributesW(W(to)) == INVALID_FILE_ATTRIBUTES;
    const bool atBackup = GetFileAttributesW(W(old)) != INVALID_FILE_ATTRIBUTES;
    return targetGone && atBackup ? ReplaceOutcome::kTargetAtBackup : ReplaceOutcome::kUnchanged;
}

bool RenameFile(std::u16string_view source, std::u16string_view target) {
    if (Injected(FileOperation::kRename)) return false;
    return MoveFileExW(W(FullPath(Native(source))), W(FullPath(Native(target))),
                       MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

constexpr std::pair<DWORD, unsigned> kKeptAttributes[] = {
    {FILE_ATTRIBUTE_HIDDEN, kHidden},
    {FILE_ATTRIBUTE_SYSTEM, kSystem},
    {FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, kNotIndexed},
};

}  // namespace

unsigned KeptAttributes(std::u16string_view path) {
    const DWORD native = GetFileAttributesW(W(Native(path)));
    if (native == INVALID_FILE_ATTRIBUTES || (native & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    unsigned kept = 0;
    for (const auto& [bit, flag] : kKeptAttributes) {
        if (native & bit) kept |= flag;
    }
    return kept;
}

bool SetKeptAttributes(std::u16string_view path, unsigned attributes) {
    const std::u16string native = Native(path);
    const DWORD now = GetFileAttributesW(W(native));
    if (now == INVALID_FILE_ATTRIBUTES || (now & FILE_ATTRIBUTE_DIRECTORY)) return false;
    DWORD wanted = now & ~FILE_ATTRIBUTE_NORMAL;
    for (const auto& [bit, flag] : kKeptAttributes)
        wanted = (attributes & flag) ? wanted | bit : wanted & ~bit;
    if (wanted == (now & ~FILE_ATTRIBUTE_NORMAL)) return true;
    return SetFileAttributesW(W(native), wanted ? wanted : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool WritableFile(std::u16string_view path) {
    const OwnedHandle file(CreateFileW(W(Native(path)), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (static_cast<bool>(file)) return true;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    // Not there yet: writable when its folder exists.
    const std::u16string folder(FolderPart(path));
    if (folder.empty()) return true;
    const DWORD attributes = GetFileAttributesW(W(Native(folder)));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFilePath(std::u16string_view path) {
    if (Injected(FileOperation::kDelete)) return false;
    return DeleteFileW(W(Native(path))) != 0;
}

bool CreateFolder(std::u16string_view path) {
    const std::u16string native = Native(path);
    if (CreateDirectoryW(W(native), nullptr)) return true;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(W(native));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    SetLastError(error);
    return false;
}

namespace {

// A folder's identity: its volume and its number there, whatever path reaches it.
bool FolderIdentity(std::u16string_view path, BY_HANDLE_FILE_INFORMATION* info) {
    const OwnedHandle folder(
        CreateFileW(W(Native(path)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(folder) && GetFileInformationByHandle(folder.Get(), info) &&
           (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool SameFolder(std::u16string_view a, std::u16string_view b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    return FolderIdentity(a, &first) && FolderIdentity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::u16string FinalPath(std::u16string_view path) {
    const OwnedHandle item(
        CreateFileW(W(Native(path)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!item) return {};
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(item.Get(), final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < final.size()) {
            final.resize(length);
            break;
        }
        final.resize(length + 1);  // too small: `length` counts the terminating null too
    }
    std::u16string result = U(final.data(), final.size());
    // "\\?\UNC\server\share\..." and "\\?\D:\...", as the rest of the program writes paths.
    if (result.starts_with(u"\\\\?\\UNC\\")) return u"\\\\" + result.substr(8);
    if (result.starts_with(u"\\\\?\\")) return result.substr(4);
    return result;
}

bool QueryVolume(std::u16string_view path, VolumeFacts* facts) {
    const std::u16string native = NativePath(path);
    std::u16string root(native.size() + 2, u'\0');
    if (!GetVolumePathNameW(W(native), reinterpret_cast<wchar_t*>(root.data()),
                            static_cast<DWORD>(root.size())))
        return false;
    root.resize(std::char_traits<char16_t>::length(root.c_str()));
    wchar_t name[MAX_PATH + 1] = {};
    ULARGE_INTEGER available = {};
    if (!GetVolumeInformationW(W(root), nullptr, 0, nullptr, nullptr, nullptr, name,
                               MAX_PATH + 1) ||
        !GetDiskFreeSpaceExW(W(root), &available, nullptr, nullptr))
        return false;
    facts->fileSystem = U(name, std::wcslen(name));
    facts->freeBytes = static_cast<int64_t>(available.QuadPart);
    return true;
}

FileError LastFileError() {
    return ErrorOf(GetLastError());
}

}  // namespace platform

}  // namespace spurlese

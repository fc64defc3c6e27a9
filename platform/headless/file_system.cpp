// An in-memory file system with the rules of a Windows volume: drive letters, "\" and "/" as
// separators, names found without regard to letter case but kept and listed as stored, entries
// listed in the order they were made, and trailing dots and spaces of a name ignored.
#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/file_faults.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"

namespace spurlese {

namespace platform {

namespace {

struct Node {
    std::u16string name;
    std::u16string shortName;  // an 8.3 alias, found and matched as the name is
    bool isDirectory = false;
    unsigned attributes = 0;
    std::string bytes;
    bool unlistable = false, unreadable = false, unwritable = false;
    int64_t heldUntil = 0;  // another program holds the file until the pauses reach this
    int64_t lastWrite = 0;
    std::u16string linkTarget;  // a folder that is a junction to this path
    uint32_t reparseTag = 0;    // another reparse point: a cloud drive's placeholder, say
    uint64_t index = 0;         // the file's number on its drive: hard links share one
    std::vector<std::unique_ptr<Node>> children;       // in creation order
    std::unordered_map<std::u16string, Node*> byName;  // by lower-cased name and short name
};

struct Listing {
    std::vector<ListingEntry> entries;
    size_t next = 0;
};

std::map<char16_t, std::unique_ptr<Node>> gDrives;  // by lower-case drive letter
std::map<ListingHandle, Listing> gListings;
intptr_t gNextListing = 1;

// Files open for writing: what was written but not yet handed to the disk.
struct OpenFile {
    std::u16string path;
    std::string buffered;
};
std::map<FileHandle, OpenFile> gOpenFiles;
// Files open for reading: the bytes as they were when opened, and the file's key.
struct ReadingFile {
    std::string bytes;
    FileKey key;
};
std::map<FileHandle, ReadingFile> gReadingFiles;
uint64_t gNextIndex = 1;
intptr_t gNextFile = 1;

// Copies under way, a chunk further at each wait.
struct Copying {
    std::u16string target;
    std::string bytes;  // the source's, as it was at the start
    int64_t lastWrite = 0;
    int64_t done = 0;
    bool ended = false;
    bool cancelled = false;
    CopyOutcome outcome;
};
std::map<CopyHandle, Copying> gCopies;
intptr_t gNextCopy = 1;
size_t gCopyChunk = 1 << 20;

std::map<char16_t, int64_t> gFreeSpace;           // by drive letter; a drive not named has no limit
std::map<char16_t, std::u16string> gFileSystems;  // by drive letter; NTFS where not named
FileError gLastError;

// The system's words (German Windows) for the failures the model has.
constexpr char16_t kAccessDenied[] = u"Zugriff verweigert";
constexpr char16_t kNotFound[] = u"Das System kann die angegebene Datei nicht finden.";
constexpr char16_t kExists[] = u"Die Datei ist bereits vorhanden.";
constexpr char16_t kDeviceFailed[] = u"Ein an das System angeschlossenes Gerät funktioniert nicht.";
constexpr char16_t kOtherVolume[] =
    u"Das System kann die Datei nicht auf ein anderes Laufwerk verschieben.";
constexpr char16_t kDiskFull[] = u"Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden.";

bool Failed(const char16_t* reason) {
    gLastError = {FileErrorKind::kOther, reason};
    return false;
}

// An injected fault fails as a device that stops working, with the system's words for it.
bool Injected(FileOperation operation) {
    if (!FileOperationFails(operation)) return false;
    Failed(kDeviceFailed);
    return true;
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// A parsed absolute path: its drive letter and its components, without "." and "..".
struct ParsedPath {
    char16_t drive = 0;
    std::vector<std::u16string> parts;
};

// A path without a drive letter is taken from the working directory, as Windows does: a bare
// name lies in that folder, a path starting with a separator on its drive.
std::u16string Absolute(std::u16string_view path) {
    const std::u16string current = CurrentDirectory();
    std::u16string absolute;
    if (!path.empty() && IsSeparator(path[0])) {
        absolute = current.substr(0, 2);
    } else {
        absolute = current;
    }
    absolute.append(path);
    return absolute;
}

bool ParsePath(std::u16string_view given, ParsedPath* out) {
    std::u16string absolute;
    std::u16string_view path = given;
    if (path.size() < 2 || path[1] != u':') {
        if (path.empty()) return false;
        absolute = Absolute(path);
        path = absolute;
    }
    if (path.size() < 2 || path[1] != u':') return false;
    const char16_t letter = LowerCase(path.substr(0, 1))[0];
    if (letter < u'a' || letter > u'z') return false;
    out->drive = letter;
    out->parts.clear();
    size_t i = 2;
    while (i <= path.size()) {
        size_t end = i;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        std::u16string part(path.substr(i, end - i));
        if (part == u"..") {
            if (!out->parts.empty()) out->parts.pop_back();
        } else if (part != u"." && !part.empty()) {
            // Windows drops trailing dots and spaces from every name it is given.
            while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
            if (part.empty()) return false;
            out->parts.push_back(part);
        }
        i = end + 1;
    }
    return true;
}

Node* FindChild(Node* folder, const std::u16string& name) {
    auto found = folder->byName.find(LowerCase(name));
    return found == folder->byName.end() ? nullptr : found->second;
}

Node* AddChild(Node* folder, std::unique_ptr<Node> child) {
    Node* added = child.get();
    folder->byName[LowerCase(added->name)] = added;
    folder->children.push_back(std::move(child));
    return added;
}

Node* Walk(const ParsedPath& parsed, size_t count, int links = 0);

// A junction stands for its target on the way through a path, as on Windows.
Node* Followed(Node* node, int links) {
    if (!node || node->linkTarget.empty()) return node;
    ParsedPath target;
    if (links > 8 || !ParsePath(node->linkTarget, &target)) return nullptr;
    return Walk(target, target.parts.size(), links + 1);
}

// Walks from the drive's root through the first `count` components of the path.
Node* Walk(const ParsedPath& parsed, size_t count, int links) {
    auto drive = gDrives.find(parsed.drive);
    if (drive == gDrives.end()) return nullptr;
    Node* node = drive->second.get();
    for (size_t i = 0; i < count; ++i) {
        if (!node->isDirectory) return nullptr;
        node = Followed(FindChild(node, parsed.parts[i]), links);
        if (!node) return nullptr;
    }
    return node;
}

// Held open without sharing by another program, for a while (headless::HoldFor).
bool Held(const Node* node) {
    return headless::PausedMilliseconds() < node->heldUntil;
}

Node* Resolve(std::u16string_view path) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed)) return nullptr;
    return Walk(parsed, parsed.parts.size());
}

// Finds or makes every folder on the way to the path's last component; returns that folder.
Node* MakeParents(const ParsedPath& parsed) {
    auto& root = gDrives[parsed.drive];
    if (!root) {
        root = std::make_unique<Node>();
        root->isDirectory = true;
    }
    Node* node = root.get();
    for (size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
        Node* child = FindChild(node, parsed.parts[i]);
        if (!child) {
            auto made = std::make_unique<Node>();
            made->name = parsed.parts[i];
            made->isDirectory = true;
            child = AddChild(node, std::move(made));
        }
        if (!child->isDirectory) return nullptr;
        node = child;
    }
    return node;
}

// Wildcard match of Windows listings: '*' any run, '?' one unit, letter case ignored.
bool WildcardMatch(std::u16string_view pattern, std::u16string_view name) {
    if (pattern == u"*.*" || pattern == u"*") return true;
    size_t p = 0, n = 0, starP = std::u16string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

void ResetFileSystem() {
    gOpenFiles.clear();
    gReadingFiles.clear();
    gNextFile = 1;
    gCopies.clear();
    gNextCopy = 1;
    gCopyChunk = 1 << 20;
    gFreeSpace.clear();
    gFileSystems.clear();
    gLastError = {};
    ClearFileFaults();
    gDrives.clear();
    gListings.clear();
    gNextListing = 1;
}

int64_t FileSize(std::u16string_view path) {
    const Node* node = Resolve(path);
    // As GetFileAttributesExW, a query for nothing sets the thread's last error.
    if (!node) return Failed(kNotFound), -1;
    if (node->isDirectory) return -2;
    return static_cast<int64_t>(node->bytes.size());
}

bool FileFacts(std::u16string_view path, int64_t* size, int64_t* lastWrite) {
    const Node* node = Resolve(path);
    if (!node || node->isDirectory) return false;
    *size = static_cast<int64_t>(node->bytes.size());
    *lastWrite = node->lastWrite;
    return true;
}

// The in-memory drive keeps its times in UTC.
bool ToLocalTime(int64_t lastWrite, LocalTime* time) {
    if (lastWrite < 0) return false;
    const int64_t seconds = lastWrite / 10000000 % 86400;
    // Days since 1970-01-01 (1601 is 134,774 days earlier) to a date of the Gregorian calendar,
    // by H. Hinnant's days_from_civil turned round.
    const int64_t z = lastWrite / 10000000 / 86400 - 134774 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    *time = {static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)),
             month,
             static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1),
             static_cast<int>(seconds / 3600),
             static_cast<int>(seconds / 60 % 60),
             static_cast<int>(seconds % 60),
             0};
    return true;
}

ListingHandle OpenListing(std::u16string_view folder, std::u16string_view pattern) {
    Node* node = Resolve(folder);
    if (!node || !node->isDirectory || node->unlistable) return ListingHandle::kNone;
    const std::u16string lowerPattern = LowerCase(pattern);
    Listing listing;
    ParsedPath parsed;
    ParsePath(folder, &parsed);
    if (!parsed.parts.empty()) {
        // Every folder but a drive's root lists itself and its parent first.
        for (const char16_t* self : {u".", u".."}) {
            if (WildcardMatch(lowerPattern, self)) listing.entries.push_back({self, true});
        }
    }
    for (const auto& child : node->children) {
        // As on Windows, a pattern matches a name or its short alias.
        if (WildcardMatch(lowerPattern, LowerCase(child->name)) ||
            (!child->shortName.empty() &&
             WildcardMatch(lowerPattern, LowerCase(child->shortName)))) {
            // As on Windows: a link is a reparse point whose tag is a name surrogate.
            const bool link = !child->linkTarget.empty() || (child->reparseTag & 0x20000000u);
            listing.entries.push_back({child->name, child->isDirectory, link,
                                       static_cast<int64_t>(child->bytes.size()),
                                       child->lastWrite});
        }
    }
    const ListingHandle handle{gNextListing++};
    gListings[handle] = std::move(listing);
    return handle;
}

bool NextListingEntry(ListingHandle listing, ListingEntry* entry) {
    auto it = gListings.find(listing);
    if (it == gListings.end() || it->second.next >= it->second.entries.size()) return false;
    *entry = it->second.entries[it->second.next++];
    return true;
}

void CloseListing(ListingHandle listing) {
    gListings.erase(listing);
}

size_t OpenFileSystemHandles() {
    return gListings.size() + gOpenFiles.size() + gReadingFiles.size() + gCopies.size();
}

namespace {

// Takes `delta` bytes of the drive's free space (gives back a negative delta); false, taking
// nothing, when there is not that much.
bool TakeSpace(char16_t drive, int64_t delta) {
    auto free = gFreeSpace.find(drive);
    if (free == gFreeSpace.end()) return true;
    if (delta > free->second) {
        gLastError = {FileErrorKind::kDiskFull, kDiskFull};
        return false;
    }
    free->second -= delta;
    return true;
}

char16_t DriveOf(std::u16string_view path) {
    ParsedPath parsed;
    return ParsePath(path, &parsed) ? parsed.drive : 0;
}

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
    const Node* node = Resolve(path);
    if (!node || node->isDirectory || node->unreadable || Held(node)) return false;
    *bytes = node->bytes;
    return true;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    Node* folder = Walk(parsed, parsed.parts.size() - 1);
    if (!folder || !folder->isDirectory) return false;
    Node* file = FindChild(folder, parsed.parts.back());
    if (file && (file->isDirectory || file->unwritable || Held(file))) return Failed(kAccessDenied);
    if (!file && folder->unwritable) return Failed(kAccessDenied);
    const int64_t before = file ? static_cast<int64_t>(file->bytes.size()) : 0;
    if (!TakeSpace(parsed.drive, static_cast<int64_t>(bytes.size()) - before)) return false;
    if (!file) {
        auto made = std::make_unique<Node>();
        made->name = parsed.parts.back();
        file = AddChild(folder, std::move(made));
    }
    file->bytes = bytes;
    return true;
}

FileHandle CreateFileForWriting(std::u16string_view path) {
    if (Injected(FileOperation::kCreate) || !WriteFileBytes(path, {})) return FileHandle::kNone;
    const FileHandle handle{gNextFile++};
    gOpenFiles[handle] = {std::u16string(path), {}};
    return handle;
}

bool WriteToFile(FileHandle file, std::string_view bytes) {
    auto open = gOpenFiles.find(file);
    if (open == gOpenFiles.end() || Injected(FileOperation::kWrite)) return false;
    open->second.buffered.append(bytes);
    return true;
}

namespace {

// Hands what was buffered to the disk; false when the disk has no room for it.
bool Store(OpenFile* open) {
    const auto size = static_cast<int64_t>(open->buffered.size());
    if (!TakeSpace(DriveOf(open->path), size)) return false;
    if (Node* node = Resolve(open->path)) node->bytes += open->buffered;
    open->buffered.clear();
    return true;
}

}  // namespace

bool FlushFile(FileHandle file) {
    auto open = gOpenFiles.find(file);
    if (open == gOpenFiles.end() || Injected(FileOperation::kFlush)) return false;
    return Store(&open->second);
}

FileHandle OpenFileForReading(std::u16string_view path) {
    const Node* node = Resolve(path);
    FileKey key;
    if (!node || !KeyOfFile(path, &key)) return Failed(kNotFound), FileHandle::kNone;
    if (node->isDirectory || node->unreadable || Held(node))
        return Failed(kAccessDenied), FileHandle::kNone;
    const FileHandle handle{gNextFile++};
    gReadingFiles[handle] = {node->bytes, key};
    return handle;
}

int64_t ReadFromFile(FileHandle file, int64_t offset, char* buffer, int64_t size) {
    const auto open = gReadingFiles.find(file);
    if (open == gReadingFiles.end() || offset < 0) return -1;
    const std::string& bytes = open->second.bytes;
    if (static_cast<size_t>(offset) >= bytes.size()) return 0;
    const size_t got =
        std::min(bytes.size() - static_cast<size_t>(offset), static_cast<size_t>(size));
    std::copy_n(bytes.data() + offset, got, buffer);
    return static_cast<int64_t>(got);
}

bool KeyOfFile(std::u16string_view path, FileKey* key) {
    ParsedPath parsed;
    Node* node = nullptr;
    if (!ParsePath(path, &parsed) || !(node = Walk(parsed, parsed.parts.size())))
        return Failed(kNotFound);
    if (node->index == 0) node->index = gNextIndex++;
    *key = {static_cast<uint64_t>(parsed.drive), node->index};
    return true;
}

bool KeyOfOpenFile(FileHandle file, FileKey* key) {
    const auto open = gReadingFiles.find(file);
    if (open == gReadingFiles.end()) return false;
    *key = {0, open->second.key.index, 0};
    return true;
}

// A failing close loses what was still buffered, as a full disk does.
bool CloseFile(FileHandle file) {
    if (gReadingFiles.erase(file)) return true;
    auto open = gOpenFiles.find(file);
    if (open == gOpenFiles.end()) return false;
    const bool stored = !Injected(FileOperation::kClose) && Store(&open->second);
    gOpenFiles.erase(open);
    return stored;
}

namespace {

// Takes a file out of its folder; a file another program holds cannot be.
bool Remove(std::u16string_view path) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    Node* folder = Walk(parsed, parsed.parts.size() - 1);
    if (!folder || !folder->isDirectory) return false;
    auto& children = folder->children;
    const Node* wanted = FindChild(folder, parsed.parts.back());
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->get() != wanted) continue;
        if ((*it)->isDirectory || (*it)->unwritable || Held(it->get())) return false;
        TakeSpace(parsed.drive, -static_cast<int64_t>((*it)->bytes.size()));
        folder->byName.erase(LowerCase((*it)->name));
        if (!(*it)->shortName.empty()) folder->byName.erase(LowerCase((*it)->shortName));
        children.erase(it);
        return true;
    }
    return false;
}

// Renames a file, also into another folder; an existing file of the new name is replaced only
// when asked. A file another program holds open cannot be renamed.
bool Rename(std::u16string_view source, std::u16string_view target, bool replace) {
    ParsedPath from, to;
    if (!ParsePath(source, &from) || !ParsePath(target, &to) || from.parts.empty() ||
        to.parts.empty()) {
        return false;
    }
    Node* fromFolder = Walk(from, from.parts.size() - 1);
    Node* toFolder = Walk(to, to.parts.size() - 1);
    if (!fromFolder || !toFolder || !fromFolder->isDirectory || !toFolder->isDirectory)
        return false;
    Node* file = FindChild(fromFolder, from.parts.back());
    if (!file) return Failed(kNotFound);
    if (from.drive != to.drive) {
        gLastError = {FileErrorKind::kOtherVolume, kOtherVolume};
        return false;
    }
    // A folder is renamed only where nothing has its new name.
    if ((file->isDirectory && replace) || file->unwritable || Held(file) || toFolder->unwritable)
        return Failed(kAccessDenied);
    if (Node* existing = FindChild(toFolder, to.parts.back()); existing && existing != file) {
        if (!replace) return Failed(kExists);
        if (existing->isDirectory || existing->unwritable || Held(existing))
            return Failed(kAccessDenied);
        Remove(target);
    }
    auto& children = fromFolder->children;
    auto it =
        std::find_if(children.begin(), children.end(),
                     [file](const std::unique_ptr<Node>& child) { return child.get() == file; });
    std::unique_ptr<Node> moved = std::move(*it);
    children.erase(it);
    fromFolder->byName.erase(LowerCase(moved->name));
    if (!moved->shortName.empty()) fromFolder->byName.erase(LowerCase(moved->shortName));
    moved->name = to.parts.back();
    moved->shortName.clear();
    AddChild(toFolder, std::move(moved));
    return true;
}

}  // namespace

ReplaceOutcome ReplaceWithBackup(std::u16string_view source, std::u16string_view target,
                                 std::u16string_view backup) {
    if (Injected(FileOperation::kReplace)) return ReplaceOutcome::kUnchanged;
    const Node* from = Resolve(source);
    const Node* to = Resolve(target);
    if (!from || from->isDirectory || from->unwritable || Held(from) || !to || to->isDirectory ||
        to->unwritable || Held(to)) {
        return ReplaceOutcome::kUnchanged;
    }
    const unsigned attributes = to->attributes;
    if (!Rename(target, backup, true)) return ReplaceOutcome::kUnchanged;
    if (Injected(FileOperation::kReplaceHalfway) || !Rename(source, target, false))
        return ReplaceOutcome::kTargetAtBackup;
    Resolve(target)->attributes = attributes;  // as Windows merges them
    return ReplaceOutcome::kReplaced;
}

bool RenameFile(std::u16string_view source, std::u16string_view target) {
    if (FileOperationFails(FileOperation::kRename)) return Failed(kDeviceFailed);
    return Rename(source, target, false);
}

bool RemoveEmptyFolder(std::u16string_view path) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    Node* folder = Walk(parsed, parsed.parts.size() - 1);
    Node* node = folder ? FindChild(folder, parsed.parts.back()) : nullptr;
    if (!node || !node->isDirectory || !node->children.empty() || node->unwritable) return false;
    auto& children = folder->children;
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->get() != node) continue;
        folder->byName.erase(LowerCase(node->name));
        if (!node->shortName.empty()) folder->byName.erase(LowerCase(node->shortName));
        children.erase(it);
        return true;
    }
    return false;
}

bool ReadFileStart(std::u16string_view path, size_t size, std::string* bytes) {
    if (!ReadFileBytes(path, bytes)) return false;
    if (bytes->size() > size) bytes->resize(size);
    return true;
}

// The in-memory drive's pictures: a JPEG (its bytes begin with FF D8) decodes, anything else
// does not; a video never gives a frame. The thumbnail's bytes tell what it was made from.
ThumbnailOutcome WriteThumbnail(const ThumbnailRequest& request, std::u16string_view target) {
    std::string picture = request.encoded;
    if (picture.empty() && !request.video && !ReadFileStart(request.source, 2, &picture))
        return ThumbnailOutcome::kNoPicture;
    if (request.video || !picture.starts_with("\xFF\xD8")) return ThumbnailOutcome::kNoPicture;
    const std::string made = request.asIs ? request.encoded
                                          : "\xFF\xD8 thumbnail of " + Utf16ToUtf8(request.source) +
                                                ", turned " + std::to_string(request.orientation);
    return WriteFileBytes(target, made) ? ThumbnailOutcome::kMade : ThumbnailOutcome::kFailed;
}

unsigned KeptAttributes(std::u16string_view path) {
    const Node* node = Resolve(path);
    return node && !node->isDirectory ? node->attributes & (kHidden | kSystem | kNotIndexed) : 0;
}

bool SetKeptAttributes(std::u16string_view path, unsigned attributes) {
    Node* node = Resolve(path);
    if (!node || node->isDirectory) return false;
    node->attributes = attributes & (kHidden | kSystem | kNotIndexed);
    return true;
}

bool WritableFile(std::u16string_view path) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    const Node* folder = Walk(parsed, parsed.parts.size() - 1);
    if (!folder || !folder->isDirectory) return false;
    const Node* file = Resolve(path);
    return !file || (!file->isDirectory && !file->unwritable && !Held(file));
}

bool DeleteFilePath(std::u16string_view path) {
    if (FileOperationFails(FileOperation::kDelete)) return Failed(kDeviceFailed);
    return Remove(path) || Failed(kAccessDenied);
}

bool CreateFolder(std::u16string_view path) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed)) return Failed(kNotFound);
    if (const Node* node = Walk(parsed, parsed.parts.size()))
        return node->isDirectory || Failed(kExists);
    if (parsed.parts.empty()) return Failed(kNotFound);
    Node* parent = Walk(parsed, parsed.parts.size() - 1);
    if (!parent || !parent->isDirectory) return Failed(kNotFound);
    if (parent->unwritable) return Failed(kAccessDenied);
    auto made = std::make_unique<Node>();
    made->name = parsed.parts.back();
    made->isDirectory = true;
    AddChild(parent, std::move(made));
    return true;
}

bool SameFolder(std::u16string_view a, std::u16string_view b) {
    const Node* first = Resolve(a);
    return first && first->isDirectory && first == Resolve(b);
}

namespace {

// The path the first `count` parts reach as the folders name themselves, links followed.
bool RealPath(const ParsedPath& parsed, size_t count, int links, std::u16string* real,
              Node** reached) {
    auto drive = gDrives.find(parsed.drive);
    if (drive == gDrives.end()) return false;
    Node* node = drive->second.get();
    *real = std::u16string(1, char16_t(parsed.drive - u'a' + u'A')) + u":";
    for (size_t i = 0; i < count; ++i) {
        if (!node->isDirectory) return false;
        Node* child = FindChild(node, parsed.parts[i]);
        if (!child) return false;
        if (!child->linkTarget.empty()) {
            ParsedPath target;
            if (links > 8 || !ParsePath(child->linkTarget, &target) ||
                !RealPath(target, target.parts.size(), links + 1, real, &child))
                return false;
        } else {
            real->append(u"\\").append(child->name);
        }
        node = child;
    }
    *reached = node;
    return true;
}

}  // namespace

std::u16string FinalPath(std::u16string_view path) {
    ParsedPath parsed;
    std::u16string real;
    Node* node = nullptr;
    if (!ParsePath(path, &parsed) || !RealPath(parsed, parsed.parts.size(), 0, &real, &node))
        return {};
    return parsed.parts.empty() ? real + u"\\" : real;
}

FileError LastFileError() {
    return gLastError;
}

namespace {

void EndCopy(Copying* copy, bool done) {
    copy->ended = true;
    copy->outcome.done = done;
    copy->outcome.bytes = copy->done;
    if (!done) copy->outcome.error = gLastError;
}

// One chunk further; the end once every byte is there.
void StepCopy(Copying* copy) {
    if (copy->ended) return;
    Node* target = Resolve(copy->target);
    if (!target) return EndCopy(copy, Failed(kNotFound));
    if (copy->cancelled) return EndCopy(copy, Failed(u"Der Vorgang wurde abgebrochen."));
    const size_t left = copy->bytes.size() - static_cast<size_t>(copy->done);
    const size_t step = std::min(left, gCopyChunk);
    if (step > 0) {
        if (Injected(FileOperation::kWrite)) return EndCopy(copy, Failed(kDeviceFailed));
        if (FileOperationFails(FileOperation::kDiskFull)) {
            gLastError = {FileErrorKind::kDiskFull, kDiskFull};
            return EndCopy(copy, false);
        }
        if (!TakeSpace(DriveOf(copy->target), static_cast<int64_t>(step)))
            return EndCopy(copy, false);
        target->bytes.append(copy->bytes, static_cast<size_t>(copy->done), step);
        copy->done += static_cast<int64_t>(step);
        // The flush to the disk takes a step of its own, as a real one takes its time.
        return;
    }
    if (Injected(FileOperation::kFlush)) return EndCopy(copy, Failed(kDeviceFailed));
    target->lastWrite = copy->lastWrite;
    EndCopy(copy, true);
}

}  // namespace

CopyHandle StartFileCopy(std::u16string_view source, std::u16string_view target) {
    Copying copy;
    copy.target = target;
    const Node* from = Resolve(source);
    if (!from || from->isDirectory) {
        EndCopy(&copy, Failed(kNotFound));
    } else if (from->unreadable || Held(from)) {
        EndCopy(&copy, Failed(kAccessDenied));
    } else if (Resolve(target)) {
        EndCopy(&copy, Failed(kExists));
    } else if (Injected(FileOperation::kCreate)) {
        EndCopy(&copy, Failed(kDeviceFailed));
    } else if (!WriteFileBytes(target, {})) {
        EndCopy(&copy, false);
    } else {
        copy.bytes = from->bytes;
        copy.lastWrite = from->lastWrite;
    }
    const CopyHandle handle{gNextCopy++};
    gCopies[handle] = std::move(copy);
    return handle;
}

bool WaitFileCopy(CopyHandle copy, int, int64_t* copied) {
    auto found = gCopies.find(copy);
    if (found == gCopies.end()) return true;
    StepCopy(&found->second);
    *copied = found->second.done;
    return found->second.ended;
}

void CancelFileCopy(CopyHandle copy) {
    auto found = gCopies.find(copy);
    if (found != gCopies.end()) found->second.cancelled = true;
}

bool QueryVolume(std::u16string_view path, VolumeFacts* facts) {
    ParsedPath parsed;
    if (!ParsePath(path, &parsed) || !gDrives.count(parsed.drive)) return false;
    const auto system = gFileSystems.find(parsed.drive);
    facts->fileSystem = system == gFileSystems.end() ? u"NTFS" : system->second;
    const auto free = gFreeSpace.find(parsed.drive);
    facts->freeBytes = free == gFreeSpace.end() ? INT64_MAX : free->second;
    return true;
}

CopyOutcome FinishFileCopy(CopyHandle copy) {
    auto found = gCopies.find(copy);
    if (found == gCopies.end()) return {};
    while (!found->second.ended) StepCopy(&found->second);
    const CopyOutcome outcome = found->second.outcome;
    gCopies.erase(found);
    return outcome;
}

}  // namespace platform

namespace headless {

using platform::Node;

bool MakeFolder(std::u16string_view path) {
    platform::ParsedPath parsed;
    if (!platform::ParsePath(path, &parsed)) return false;
    parsed.parts.push_back(u"x");  // make every component a parent
    return platform::MakeParents(parsed) != nullptr;
}

bool MakeFile(std::u16string_view path, std::string_view bytes, unsigned attributes) {
    platform::ParsedPath parsed;
    if (!platform::ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    Node* folder = platform::MakeParents(parsed);
    if (!folder) return false;
    Node* file = platform::FindChild(folder, parsed.parts.back());
    if (file && file->isDirectory) return false;
    if (!file) {
        auto made = std::make_unique<Node>();
        made->name = parsed.parts.back();
        file = platform::AddChild(folder, std::move(made));
    }
    file->bytes = bytes;
    file->attributes = attributes;
    return true;
}

bool MakeHardLink(std::u16string_view path, std::u16string_view existing) {
    platform::FileKey key;
    const Node* file = platform::Resolve(existing);
    if (!file || file->isDirectory || !platform::KeyOfFile(existing, &key) ||
        !MakeFile(path, file->bytes))
        return false;
    Node* link = platform::Resolve(path);
    link->index = key.index;
    link->lastWrite = file->lastWrite;
    return true;
}

bool MakeFolderLink(std::u16string_view path, std::u16string_view target) {
    platform::ParsedPath parsed;
    if (!platform::ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    Node* folder = platform::MakeParents(parsed);
    if (!folder || platform::FindChild(folder, parsed.parts.back())) return false;
    auto link = std::make_unique<Node>();
    link->name = parsed.parts.back();
    link->isDirectory = true;
    link->linkTarget = target;
    platform::AddChild(folder, std::move(link));
    return true;
}

void SetReparseTag(std::u16string_view folder, uint32_t tag) {
    if (platform::Node* node = platform::Resolve(folder)) node->reparseTag = tag;
}

bool SetShortName(std::u16string_view path, std::u16string_view shortName) {
    platform::ParsedPath parsed;
    if (!platform::ParsePath(path, &parsed) || parsed.parts.empty()) return false;
    platform::Node* folder = platform::Walk(parsed, parsed.parts.size() - 1);
    platform::Node* node = folder ? platform::FindChild(folder, parsed.parts.back()) : nullptr;
    if (!node || platform::FindChild(folder, std::u16string(shortName))) return false;
    node->shortName = shortName;
    folder->byName[platform::LowerCase(shortName)] = node;
    return true;
}

void SetLastWrite(std::u16string_view file, int64_t lastWrite) {
    if (Node* node = platform::Resolve(file)) node->lastWrite = lastWrite;
}

void SetUnlistable(std::u16string_view folder, bool unlistable) {
    if (Node* node = platform::Resolve(folder)) node->unlistable = unlistable;
}

void SetUnreadable(std::u16string_view file, bool unreadable) {
    if (Node* node = platform::Resolve(file)) node->unreadable = unreadable;
}

void HoldFor(std::u16string_view file, int64_t milliseconds) {
    if (Node* node = platform::Resolve(file)) node->heldUntil = PausedMilliseconds() + milliseconds;
}

void SetUnwritable(std::u16string_view path, bool unwritable) {
    if (Node* node = platform::Resolve(path)) node->unwritable = unwritable;
}

void SetFreeSpace(std::u16string_view drive, int64_t bytes) {
    platform::gFreeSpace[platform::DriveOf(drive)] = bytes;
}

void SetFileSystem(std::u16string_view drive, std::u16string_view fileSystem) {
    platform::gFileSystems[platform::DriveOf(drive)] = fileSystem;
}

void SetCopyChunk(size_t bytes) {
    platform::gCopyChunk = bytes;
}

}  // namespace headless

}  // namespace spurlese

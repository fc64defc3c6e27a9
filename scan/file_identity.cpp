#include "scan/file_identity.h"

#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

// The parts of a relative path as Windows reads them, ".." taking back the part before it by text
// (as GetFullPathNameW does, before any link is followed); false for a path that climbs above
// where it starts, a wildcard, or a part that is nothing but dots and spaces.
bool SplitParts(std::u16string_view relative, std::vector<std::u16string_view>* parts) {
    for (size_t from = 0; from <= relative.size();) {
        size_t cut = relative.find(u'\\', from);
        if (cut == std::u16string_view::npos) cut = relative.size();
        std::u16string_view part = relative.substr(from, cut - from);
        from = cut + 1;
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (parts->empty()) return false;
            parts->pop_back();
            continue;
        }
        if (part.find_first_of(u"*?") != std::u16string_view::npos) return false;
        while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.remove_suffix(1);
        if (part.empty()) return false;
        parts->push_back(part);
    }
    return true;
}

// The part's name as the folder lists it: from the kept listing, else, for a name that may be a
// short 8.3 alias ("SCHREI~1", Wine's "SCHR~I1E"), the file system's own match of the name. Empty
// when there is none. A missing file's name is not asked of the file system: a listing per name
// would cost more than the whole scan of its folder.
std::u16string ListedName(FolderCache* folders, const std::u16string& folder,
                          std::u16string_view part, bool isFolder) {
    const KeptFolder& kept = folders->Kept(folder);
    const TextMap<std::u16string>& names = isFolder ? kept.folders : kept.files;
    const auto found = names.find(platform::LowerCase(part));
    if (found != names.end()) return found->second;
    if (!kept.listable || part.find(u'~') == std::u16string_view::npos) return {};
    for (const platform::ListingEntry& entry : platform::Listing(folder, part)) {
        if (entry.isDirectory == isFolder && entry.name != u"." && entry.name != u"..")
            return entry.name;
    }
    return {};
}

// Whether the folder a link reaches lies in the archive; then *inArchive is that folder, written
// from the base path as given down through the folders' real names.
bool InsideArchive(std::u16string_view base, const std::u16string& link,
                   std::u16string* inArchive) {
    const std::u16string reached = platform::FinalPath(link);
    const std::u16string realBase(WithoutFinalBackslash(platform::FinalPath(base)));
    // The base path itself (a link back up) or a folder below it.
    if (reached.empty() || realBase.empty() || reached.size() < realBase.size() ||
        (reached.size() > realBase.size() && reached[realBase.size()] != u'\\') ||
        platform::LowerCase(reached.substr(0, realBase.size())) != platform::LowerCase(realBase))
        return false;
    *inArchive = std::u16string(base) + reached.substr(realBase.size());
    return true;
}

// The folders of a path, from the base path down: kFile with the folder as the listings write it,
// kMissing where one is not there (resolved as far as folders exist, the rest written on as
// given), kUnresolved where a folder that cannot be listed or a link out of the archive leaves it
// unknown.
FileIdentity ResolveFolders(FolderCache* folders, std::u16string_view base,
                            const std::vector<std::u16string_view>& parts) {
    using Kind = FileIdentity::Kind;
    std::u16string resolved(base);
    for (size_t k = 0; k < parts.size(); ++k) {
        const std::u16string name = ListedName(folders, resolved, parts[k], true);
        if (name.empty()) {
            // Only what is not there is missing; what cannot be seen (an unlistable folder) is
            // not known.
            if (!folders->Kept(resolved).listable) return {};
            for (; k < parts.size(); ++k) resolved.append(u"\\").append(parts[k]);
            return {Kind::kMissing, resolved};
        }
        if (folders->Kept(resolved).links.count(platform::LowerCase(name))) {
            // A junction or symbolic link: the file is the one it reaches, in its real folder,
            // which the archive's walk (that follows no link) lists; one that leads out of the
            // archive names no archive file.
            if (!InsideArchive(base, resolved + u"\\" + name, &resolved)) return {};
            continue;
        }
        resolved.append(u"\\").append(name);
    }
    return {Kind::kFile, resolved};
}

// The file of that name in the resolved folder.
FileIdentity ResolveName(FolderCache* folders, const FileIdentity& folder, std::u16string_view name,
                         bool exists) {
    using Kind = FileIdentity::Kind;
    // Only a file that is not there is missing; one that is, but cannot be found from the
    // listings, is not known.
    if (folder.kind == Kind::kUnresolved || (folder.kind == Kind::kMissing && exists)) return {};
    if (folder.kind == Kind::kMissing)
        return {Kind::kMissing, folder.path + u"\\" + std::u16string(name)};
    const std::u16string listed = ListedName(folders, folder.path, name, false);
    if (!listed.empty()) return {Kind::kFile, folder.path + u"\\" + listed};
    if (exists || !folders->Kept(folder.path).listable) return {};
    return {Kind::kMissing, folder.path + u"\\" + std::u16string(name)};
}

}  // namespace

FileIdentity ResolveIdentity(FolderCache* folders, std::u16string_view basePath,
                             std::u16string_view path, bool exists) {
    const std::u16string_view base = WithoutFinalBackslash(basePath);
    if (base.empty() || path.size() <= base.size() || path[base.size()] != u'\\' ||
        platform::LowerCase(path.substr(0, base.size())) != platform::LowerCase(base)) {
        return {};
    }
    // A plain last name (the file of every hit): its folder is resolved once for all the files
    // named in it, however many.
    const size_t cut = path.rfind(u'\\');
    std::u16string_view name = path.substr(cut + 1);
    while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.remove_suffix(1);
    if (!name.empty() && name.find_first_of(u"*?") == std::u16string_view::npos) {
        const FileIdentity& folder = folders->ResolvedFolder(base, path.substr(0, cut), [&] {
            std::vector<std::u16string_view> parts;
            if (cut > base.size() &&
                !SplitParts(path.substr(base.size() + 1, cut - base.size() - 1), &parts))
                return FileIdentity();
            return ResolveFolders(folders, base, parts);
        });
        return ResolveName(folders, folder, name, exists);
    }
    std::vector<std::u16string_view> parts;
    if (!SplitParts(path.substr(base.size() + 1), &parts) || parts.empty()) return {};
    const std::u16string_view last = parts.back();
    parts.pop_back();
    return ResolveName(folders, ResolveFolders(folders, base, parts), last, exists);
}

}  // namespace spurlese

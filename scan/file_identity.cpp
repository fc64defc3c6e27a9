#include "scan/file_identity.h"

#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

// The parts of a relative path as Windows reads them; false for a ".." part, a wildcard, or a
// part that is nothing but dots and spaces.
bool SplitParts(std::u16string_view relative, std::vector<std::u16string_view>* parts) {
    for (size_t from = 0; from <= relative.size();) {
        size_t cut = relative.find(u'\\', from);
        if (cut == std::u16string_view::npos) cut = relative.size();
        std::u16string_view part = relative.substr(from, cut - from);
        from = cut + 1;
        if (part.empty() || part == u".") continue;
        if (part == u".." || part.find_first_of(u"*?") != std::u16string_view::npos) return false;
        while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.remove_suffix(1);
        if (part.empty()) return false;
        parts->push_back(part);
    }
    return true;
}

// The part's name as the folder lists it: from the kept listing, else the file system's own
// match of the name (a short name matches its long one). Empty when there is none.
std::u16string ListedName(FolderCache* folders, const std::u16string& folder,
                          std::u16string_view part, bool isFolder) {
    const KeptFolder& kept = folders->Kept(folder);
    const TextMap<std::u16string>& names = isFolder ? kept.folders : kept.files;
    const auto found = names.find(platform::LowerCase(part));
    if (found != names.end()) return found->second;
    if (!kept.listable) return {};
    for (const platform::ListingEntry& entry : platform::Listing(folder, part)) {
        if (entry.isDirectory == isFolder && entry.name != u"." && entry.name != u"..")
            return entry.name;
    }
    return {};
}

}  // namespace

FileIdentity ResolveIdentity(FolderCache* folders, std::u16string_view basePath,
                             std::u16string_view path, bool exists) {
    using Kind = FileIdentity::Kind;
    const std::u16string_view base = WithoutFinalBackslash(basePath);
    if (base.empty() || path.size() <= base.size() || path[base.size()] != u'\\' ||
        platform::LowerCase(path.substr(0, base.size())) != platform::LowerCase(base)) {
        return {};
    }
    std::vector<std::u16string_view> parts;
    if (!SplitParts(path.substr(base.size() + 1), &parts) || parts.empty()) return {};
    std::u16string resolved(base);
    for (size_t k = 0; k < parts.size(); ++k) {
        const bool last = k + 1 == parts.size();
        const std::u16string name = ListedName(folders, resolved, parts[k], !last);
        if (name.empty()) {
            // Only a file that is not there is missing; one that is, but cannot be found from
            // the listings (an unlistable folder), is not known.
            if (exists || !folders->Kept(resolved).listable) return {};
            for (; k < parts.size(); ++k) resolved.append(u"\\").append(parts[k]);
            return {Kind::kMissing, resolved};
        }
        resolved.append(u"\\").append(name);
    }
    return {Kind::kFile, resolved};
}

}  // namespace spurlese

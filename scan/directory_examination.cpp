#include "scan/directory_examination.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/owners.h"
#include "platform/platform.h"
#include "scan/info_log.h"
#include "scan/scan_state.h"

namespace spurlese {

namespace {

KeptFolder ListFolder(std::u16string_view folder) {
    KeptFolder names;
    platform::Listing listing(folder, u"*.*");
    names.listable = listing.IsOpen();
    for (const platform::ListingEntry& entry : listing) {
        (entry.isDirectory ? names.folders : names.files).insert(platform::LowerCase(entry.name));
    }
    return names;
}

// The kept listing of a folder, listed now if it is not kept yet; looked up first as the line
// writes the folder, so that its name is lower-cased only once.
const KeptFolder& Kept(std::u16string_view folder) {
    auto written = scanState.foldersAsWritten.find(folder);
    if (written != scanState.foldersAsWritten.end()) return *written->second;
    const std::u16string key = platform::LowerCase(folder);
    auto it = scanState.folders.find(key);
    if (it == scanState.folders.end())
        it = scanState.folders.emplace(key, ListFolder(folder)).first;
    scanState.foldersAsWritten.emplace(folder, &it->second);
    return it->second;
}

// Walks a fresh listing and stops at the first match, as it must when nothing is kept.
int FindInListing(std::u16string_view folder, std::u16string_view wanted) {
    platform::Listing listing(folder, u"*.*");
    if (!listing.IsOpen()) return -1;
    for (const platform::ListingEntry& entry : listing) {
        if (!entry.isDirectory && platform::LowerCase(entry.name) == wanted) return 1;
    }
    return 0;
}

// The folder (without one final backslash) and the lower-cased file name of a path; the name
// ends before a double quote.
void SplitPath(std::u16string_view path, std::u16string_view* folder, std::u16string* wanted) {
    const size_t cut = path.find_last_of(u"\\/");
    const size_t nameStart = cut == std::u16string_view::npos ? 0 : cut + 1;
    std::u16string_view name = path.substr(nameStart);
    *wanted = platform::LowerCase(name.substr(0, name.find(u'"')));
    *folder = path.substr(0, nameStart);
    if (!folder->empty() && folder->back() == u'\\') folder->remove_suffix(1);
}

}  // namespace

bool FileListedInFolder(std::u16string_view path) {
    std::u16string_view folder;
    std::u16string wanted;
    SplitPath(path, &folder, &wanted);
    return FileListedIn(folder, wanted);
}

bool FileListedIn(std::u16string_view folder, std::u16string_view lowerName) {
    int found;
    if (scanState.keepListings) {
        const KeptFolder& kept = Kept(folder);
        found = kept.listable ? static_cast<int>(kept.files.count(lowerName)) : -1;
    } else {
        found = FindInListing(folder, lowerName);
    }
    if (found < 0) {
        AddInfoLine(u"Error examining the path '" + std::u16string(folder) + u"'");
        return false;
    }
    return found == 1;
}

Listed KeptListingKnows(std::u16string_view path) {
    std::u16string_view folder;
    std::u16string wanted;
    SplitPath(path, &folder, &wanted);
    return KeptListingKnowsIn(folder, wanted);
}

Listed KeptListingKnowsIn(std::u16string_view folder, std::u16string_view lowerName) {
    if (!scanState.keepListings) return Listed::kUnknown;
    const KeptFolder& kept = Kept(folder);
    if (!kept.listable) return Listed::kUnknown;
    if (kept.files.count(lowerName)) return Listed::kFile;
    return kept.folders.count(lowerName) ? Listed::kFolder : Listed::kNothing;
}

void BeginListingCache() {
    scanState.folders.clear();
    scanState.foldersAsWritten.clear();
    scanState.keepListings = true;
}

void EndListingCache() {
    scanState.folders.clear();
    scanState.foldersAsWritten.clear();
    scanState.keepListings = false;
}

}  // namespace spurlese

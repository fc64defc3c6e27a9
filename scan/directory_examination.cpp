#include "scan/directory_examination.h"

#include <string>

#include "platform/platform.h"
#include "scan/info_log.h"

bool FileListedInFolder(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"\\/");
    const size_t nameStart = cut == std::u16string_view::npos ? 0 : cut + 1;
    std::u16string_view name = path.substr(nameStart);
    name = name.substr(0, name.find(u'"'));
    const std::u16string wanted = platform::LowerCase(name);

    std::u16string_view folder = path.substr(0, nameStart);
    if (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);

    const platform::ListingHandle listing = platform::OpenListing(folder, u"*.*");
    if (listing == 0) {
        AddInfoLine(u"Error examining the path '" + std::u16string(folder) + u"'");
        return false;
    }
    bool found = false;
    platform::ListingEntry entry;
    while (!found && platform::NextListingEntry(listing, &entry)) {
        found = !entry.isDirectory && platform::LowerCase(entry.name) == wanted;
    }
    platform::CloseListing(listing);
    return found;
}

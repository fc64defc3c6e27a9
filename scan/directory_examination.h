#pragma once

#include <string_view>

namespace spurlese {

// True when the folder of `path` lists a regular file whose name equals the path's file name,
// letter case ignored. A folder that cannot be listed is logged as
// "Error examining the path '<folder>'" and gives false, on every call.
bool FileListedInFolder(std::u16string_view path);
// The same for a path split already: its folder (without a final backslash) and its file name,
// lower-cased.
bool FileListedIn(std::u16string_view folder, std::u16string_view lowerName);

// While a scan runs, each folder is listed once and its names kept; outside a scan every call
// lists afresh.
void BeginListingCache();
void EndListingCache();

// What the kept listing of the path's folder says of the path's name (the folder is listed now
// when it is not kept yet). Unknown when no scan keeps listings, or the folder cannot be listed,
// and only the file system can tell.
enum class Listed { kUnknown, kFile, kFolder, kNothing };
Listed KeptListingKnows(std::u16string_view path);
Listed KeptListingKnowsIn(std::u16string_view folder, std::u16string_view lowerName);

}  // namespace spurlese

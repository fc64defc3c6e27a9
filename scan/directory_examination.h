#pragma once

#include <string_view>

// True when the folder of `path` lists a regular file whose name equals the path's file name,
// letter case ignored. A folder that cannot be listed is logged as
// "Error examining the path '<folder>'" and gives false, on every call.
bool FileListedInFolder(std::u16string_view path);

// While a scan runs, each folder is listed once and its names kept; outside a scan every call
// lists afresh.
void BeginListingCache();
void EndListingCache();

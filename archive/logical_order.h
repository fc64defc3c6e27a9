// The order in which Explorer shows names: letter case ignored and runs of digits by their value
// (IMG_2 before IMG_10); for paths, folder by folder.
#pragma once

#include <string_view>

namespace spurlese::archive {

// Compares two texts that are lower-cased already: < 0, 0 or > 0. A backslash comes before every
// other character, so a folder's files stand together, before the paths of a longer folder name.
int LogicalCompare(std::u16string_view a, std::u16string_view b);

}  // namespace spurlese::archive

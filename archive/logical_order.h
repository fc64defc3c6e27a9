// The order in which Explorer shows names: letter case ignored and runs of digits by their value
// (IMG_2 before IMG_10); for paths, folder by folder.
#pragma once

#include <string_view>

namespace spurlese::archive {

// Compares two names that are lower-cased already: < 0, 0 or > 0.
int LogicalCompare(std::u16string_view a, std::u16string_view b);

// Compares two lower-cased paths folder by folder, as Explorer lists a folder: its folders first,
// then its files, each by LogicalCompare.
int LogicalPathCompare(std::u16string_view a, std::u16string_view b);

}  // namespace spurlese::archive

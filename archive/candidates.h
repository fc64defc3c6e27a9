// Where missing files may have gone: the archive's files of the same name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_index.h"

namespace spurlese::archive {

// For each missing path, the archive files (indexes into index.files) whose name is the same
// (letter case ignored, composed or decomposed alike), the most likely first: the most trailing
// folder names in common with the missing path, then in Explorer's order. One pass over the
// archive, whatever the number of missing paths.
std::vector<std::vector<uint32_t>> FindCandidates(const ArchiveIndex& index,
                                                  const std::vector<std::u16string>& missing);

}  // namespace spurlese::archive

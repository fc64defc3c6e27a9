// The cross-reference for Excel: which project uses which archive file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "scan/scan_state.h"

namespace spurlese {

// One row for each project file and each archive file it names, missing ones included: project
// file, media file (full path), "vorhanden" or "fehlt", size in bytes and last change (ISO 8601,
// local time with its offset) of a file that is there, and for a missing one its most likely new
// place. Separated by semicolons and quoted as RFC 4180 says, after a row of headings, with CR LF
// line ends: German Excel opens it in columns. The projects come in the order of `projectFiles`
// (the scan's), each one's files as Explorer sorts them.
//
// `candidates` are those of `missingPaths` (scan/archive_walk.h), in `index`, which may be empty
// (not walked): then sizes and times are asked of the file system.
std::u16string CrossReferenceText(const std::vector<std::u16string>& projectFiles,
                                  const std::vector<HitSource>& hits,
                                  const std::vector<HitSource>& missing,
                                  const std::vector<std::u16string>& missingPaths,
                                  const std::vector<std::vector<uint32_t>>& candidates,
                                  const archive::ArchiveIndex& index);

// A field as RFC 4180 writes it: in double quotes, its own doubled, when it holds the separator,
// a double quote, a comma or a line break.
std::u16string CsvField(std::u16string_view text);

}  // namespace spurlese

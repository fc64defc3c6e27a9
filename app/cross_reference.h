// The cross-reference for Excel: which project uses which archive file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/scan_record.h"

namespace spurlese {

// One row for each project file and each archive file it names, missing ones included: project
// file, media file (full path), "vorhanden" or "fehlt", size in bytes and last change (ISO 8601,
// local time with its offset) of a file that is there, and for a missing one its most likely new
// place. Separated by semicolons and quoted as RFC 4180 says, after a row of headings, with CR LF
// line ends: German Excel opens it in columns. The projects come in the scan's order, each one's
// files as Explorer sorts them. A file is named by its identity, once per project however many
// spellings the project used; a hit without one (a path out of the archive) as the project wrote
// it. A project file the scan could not read has one row, status "nicht gelesen: <why>".
//
// Sizes and times come from the record's archive where it was walked, else from the file system.
std::u16string CrossReferenceText(const ScanRecord& record);

// A field as RFC 4180 writes it: in double quotes, its own doubled, when it holds the separator,
// a double quote, a comma or a line break.
std::u16string CsvField(std::u16string_view text);

}  // namespace spurlese

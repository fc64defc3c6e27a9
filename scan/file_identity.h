// Which file a path names, as Windows resolves it, found from the folders' own listings from the
// base path down: the identity the lists, the copy and show in folder go by, whatever spelling a
// project used (a "." part, a doubled backslash, a short 8.3 name, another letter case).
#pragma once

#include <string_view>

#include "scan/scan_record.h"
#include "scan/scan_work.h"

namespace spurlese {

// `path` starts with the base path (letter case ignored). Its parts below the base path are
// looked up one after the other: empty and "." parts are dropped, trailing dots and spaces of a
// part too (Windows drops them), and a ".." part takes back the part before it, by text, as
// Windows reads it. A path that climbs above the base path, a wildcard, a folder that cannot be
// listed, or a link that leads out of the archive leave the path kUnresolved; a junction or
// symbolic link inside it is followed to its real folder (platform::FinalPath), as the archive's
// walk lists it. A part is found by its name in the kept listing, else, when it may be a short
// name (it has a "~"), by the file system's own match. Each folder is resolved once for all the
// files named in it. A path whose file is not there is kMissing, the parts from the first one
// not found on written as they are; one that `exists` says is there but cannot be found is
// kUnresolved.
FileIdentity ResolveIdentity(FolderCache* folders, std::u16string_view basePath,
                             std::u16string_view path, bool exists);

}  // namespace spurlese

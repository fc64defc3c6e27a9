// Saving the hits shown in "Treffer" as a UTF-8 text file the user names.
#pragma once

namespace spurlese {

// 1: saved. -1: nothing written (cancelled, or the file could not be written; an existing file
// is as it was). -2: writing failed and was undone (an existing file is as it was).
int ExportResults();

}  // namespace spurlese

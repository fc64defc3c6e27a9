// Saving the hits shown in "Treffer" as a UTF-8 text file the user names.
#pragma once

#include "app/saving.h"

namespace spurlese {

inline constexpr SaveDialog kHitListDialog = {u"Ergebnis speichern", u"Spurlese_Hits.txt",
                                              u"Text *.txt", 1};

// The text of "Treffer", with a byte-order mark and CR LF after every line.
SaveResult ExportResults();

}  // namespace spurlese

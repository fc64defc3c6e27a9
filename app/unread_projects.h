// What a scan could not see, told alike by every list and action that needs the whole of it: the
// project files the extractor could not start for, read or that it refused.
#pragma once

#include <cstddef>
#include <string>

#include "scan/scan_record.h"

namespace spurlese {

// One line per unread project file, "'<file>': <why>", the first `shown` of them, then
// "und N weitere".
std::u16string UnreadProjectLines(const ScanRecord& record, size_t shown);

// What the user can do about it.
inline constexpr std::u16string_view kUnreadAdvice =
    u"Bitte das Programm schlie\u00DFen, das eine Projektdatei ge\u00F6ffnet h\u00E4lt (etwa die "
    u"Diashow mit dieser Show), oder die Lizenz des Extraktors annehmen; dann Spurlese neu "
    u"starten und erneut \u201EFilter anwenden\u201C klicken.";

}  // namespace spurlese

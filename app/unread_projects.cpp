#include "app/unread_projects.h"

#include "platform/text_helpers.h"

namespace spurlese {

std::u16string UnreadProjectLines(const ScanRecord& record, size_t shown) {
    std::u16string lines;
    for (size_t k = 0; k < record.unread.size() && k < shown; ++k) {
        if (k > 0) lines += u"\n";
        lines += u"'" + record.unread[k].projectFile + u"': " + WhyUnread(record.unread[k]);
    }
    if (record.unread.size() > shown)
        lines +=
            u"\nund " + Decimal(static_cast<int64_t>(record.unread.size() - shown)) + u" weitere";
    return lines;
}

}  // namespace spurlese

#include "ui/page_table.h"

#include <vector>

#include "platform/platform.h"

namespace spurlese {

namespace {

std::vector<PageRow> gPageTable;

// A row's file exists only as a file: a folder of that name does not count.
bool Available(const PageRow& row, int64_t page) {
    return row.page == page &&
           (row.file.empty() || platform::KindOfPath(row.file) == platform::PathKind::kFile);
}

}  // namespace

int AddPageRow(int64_t page, int64_t control, std::u16string_view file, int64_t containerFlag) {
    gPageTable.push_back({page, control, std::u16string(file), containerFlag});
    return 1;
}

int ActivatePage(int64_t page) {
    int shown = 0;
    for (const PageRow& row : gPageTable) {
        const int control = static_cast<int>(row.control);
        // The file is asked about at every activation, so a help file that appears or
        // disappears while the program runs counts from the next page switch on.
        if (Available(row, page)) {
            platform::EnableControl(control, true);
            platform::ShowControl(control, true);
            ++shown;
        } else {
            platform::EnableControl(control, false);
            platform::ShowControl(control, false);
        }
    }
    return shown;
}

std::u16string PageRowFile(int64_t control) {
    for (const PageRow& row : gPageTable) {
        if (row.control == control) return row.file;
    }
    return {};
}

void ResetPageTable() {
    gPageTable.clear();
}

}  // namespace spurlese

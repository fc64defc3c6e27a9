// The two pages of the main window. Each row of the page table names a control of a page and,
// optionally, a file the control depends on: activating a page shows and enables its rows whose
// file exists, and hides and disables every other row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace spurlese {

enum Page : int64_t { kSettingsPage = 1, kResultsPage = 2 };

struct PageRow {
    int64_t page = 0;
    int64_t control = 0;
    std::u16string file;        // empty: no condition; relative to the working directory
    int64_t containerFlag = 0;  // 1 for a page's container; recorded only
};

// Appends a row; 1 (there is no failure short of running out of memory).
int AddPageRow(int64_t page, int64_t control, std::u16string_view file, int64_t containerFlag);

// Applies the table for the page; returns the number of rows made visible.
int ActivatePage(int64_t page);

// The file of the first row of the control; empty when there is none.
std::u16string PageRowFile(int64_t control);

void ResetPageTable();

}  // namespace spurlese

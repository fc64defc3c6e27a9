// The start of every run: the fixed start values, the page table, the slider and path
// captions, the help image, the extractor check and the displays.
#pragma once

#include <string_view>

namespace spurlese {

// Where the user gets strings64.exe when it is missing.
constexpr std::u16string_view kExtractorDownloadPage =
    u"https://learn.microsoft.com/sysinternals/downloads/strings";

// The page-table rows of both pages, in their order; part of RunStartupChecks.
void AddStartupPageRows();

// Returns 0 when the extractor is present. When it is missing it tells the user, opens the
// download page and ends the process with exit code 999 instead of returning.
int RunStartupChecks();

}  // namespace spurlese

// "Übersicht als Webseite speichern…": the overview page of a scan (overview/overview_page.h)
// and beside it the folder of its thumbnails, "<page name>_Dateien", as browsers save a page.
#pragma once

#include "app/saving.h"
#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

inline constexpr SaveDialog kOverviewDialog = {u"\u00DCbersicht als Webseite speichern",
                                               u"Spurlese_\u00DCbersicht.html",
                                               u"Webseite (*.html)|*.html", 1};

// Asks for the page's name, makes the thumbnails on worker threads (the bar, the taskbar and
// "Informationen" follow; Escape and the close box ask whether to stop, by the busy loop's rule),
// then puts the new folder in the old one's place and writes the page, so that a page never
// points at thumbnails that are not there: whatever fails, the old page and folder stay as they
// were. True when the user closed the window meanwhile and agreed: the program ends.
bool SaveOverview(const ScanRecord& record, ResultsPage* results);

}  // namespace spurlese

// The files the results page saves, each through the save dialog with its own title, proposed name
// and file type, and the safe replace: the hits of "Treffer", the cross-reference for Excel, and
// the archive's unused files. All are UTF-8 with a byte-order mark and CR LF after every line.
#pragma once

#include <functional>

#include "app/saving.h"
#include "results_page/results_page.h"
#include "scan/scan_record.h"

namespace spurlese {

inline constexpr SaveDialog kHitListDialog = {u"Ergebnis speichern", u"Spurlese_Hits.txt",
                                              u"Text *.txt", 1, ReplaceRule::kSilently};
inline constexpr SaveDialog kCrossReferenceDialog = {
    u"Querverweis f\u00FCr Excel speichern", u"Spurlese_Querverweis.csv",
    u"CSV (Trennzeichen-getrennt) (*.csv)|*.csv", 1};
inline constexpr SaveDialog kUnusedFilesDialog = {u"Nicht verwendete Dateien speichern",
                                                  u"Spurlese_Nicht_verwendet.txt",
                                                  u"Textdatei (*.txt)|*.txt", 1};

// The text of "Treffer".
SaveResult ExportResults(ResultsPage* page);

// Made from a scan's record (app/cross_reference.h, app/unused_files.h). The unused files need
// the archive walked, which is done now unless it was, under the walk's rule of the busy loop:
// a walk the user stops (or that the base path does not allow) saves nothing and says nothing
// more, the walk has said it in "Informationen".
SaveResult SaveCrossReference(const ScanRecord& record);
// A list of the whole archive (the unused files, the duplicates): its dialog, its name in
// messages ("Die Liste der nicht verwendeten Dateien"), and its text, made once the record's
// archive is walked (false: not made, as when the user stopped the work).
struct ArchiveList {
    SaveDialog dialog;
    std::u16string_view name;
    std::function<bool(std::u16string* text)> makeText;
};

// An act on the whole archive as its refusals name it: the message's title, what is refused ("Die
// Liste der nicht verwendeten Dateien wird nicht gespeichert"), what an unread show's files would
// be taken for ("stünde darin als nicht verwendet") and what was not done ("es wurde nichts
// gespeichert").
struct ArchiveAct {
    std::u16string_view title, refused, unreadConsequence, nothing;
};
// Refused with a message when the scan could not read a project file or reach the archive.
bool RecordSawEverything(const ArchiveAct& act, const ScanRecord& record);
// The record's archive walked unless it was (the walk's rule of the busy loop); refused with a
// message when the base path does not allow it or it is not there, or when a used file is no
// longer where the scan found it. A stopped walk has said so in "Informationen". True: the
// record's archive is as the scan saw it.
bool ArchiveAsScanned(const ArchiveAct& act, ScanRecord* record, ResultsPage* page,
                      BusyRequests* requests);

// Refused with a message, before the save dialog, when the scan could not read a project file or
// reach the archive, and after the walk when a used file is no longer where the scan found it.
SaveResult SaveArchiveList(const ArchiveList& list, ScanRecord* record, ResultsPage* page,
                           BusyRequests* requests);
SaveResult SaveUnusedFiles(ScanRecord* record, ResultsPage* page, BusyRequests* requests);

// The message for an archive that is not there: where, why, and that nothing was saved.
std::u16string ArchiveUnreachableText(std::u16string_view basePath, std::u16string_view why,
                                      std::u16string_view nothing);

}  // namespace spurlese

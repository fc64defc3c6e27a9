#include "app/duplicates_list.h"

#include <algorithm>
#include <vector>

#include "app/results_export.h"
#include "archive/logical_order.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

std::vector<std::vector<DuplicateCopy>> CopiesOfGroups(const ScanRecord& record,
                                                       const duplicates::DuplicateSearch& search) {
    const archive::ArchiveIndex& index = record.archive;
    // The projects that use each file, by its identity, each once, in the order met.
    TextMap<std::vector<std::u16string>> showsOf;
    for (const HitSource& hit : record.hits) {
        const FileIdentity& identity = record.IdentityOf(hit.hit);
        if (identity.kind != FileIdentity::Kind::kFile) continue;
        std::vector<std::u16string>& shows = showsOf[platform::LowerCase(identity.path)];
        const std::u16string show(FileNamePart(hit.projectFile));
        if (std::find(shows.begin(), shows.end(), show) == shows.end()) shows.push_back(show);
    }
    std::vector<std::vector<DuplicateCopy>> result;
    for (const duplicates::DuplicateGroup& group : search.groups) {
        std::vector<DuplicateCopy> copies;
        for (const std::vector<uint32_t>& names : group.files) {
            DuplicateCopy copy{names.front(), names, {}, {}, {}, false};
            for (uint32_t name : names) {
                const auto used = showsOf.find(platform::LowerCase(index.Path(index.files[name])));
                if (used == showsOf.end()) continue;
                if (copy.shows.empty()) copy.file = name;
                for (const std::u16string& show : used->second) {
                    if (std::find(copy.shows.begin(), copy.shows.end(), show) == copy.shows.end())
                        copy.shows.push_back(show);
                }
            }
            copy.path = index.Path(index.files[copy.file]);
            copy.key = platform::LowerCase(copy.path);
            copies.push_back(std::move(copy));
        }
        std::sort(copies.begin(), copies.end(), [](const DuplicateCopy& a, const DuplicateCopy& b) {
            return archive::LogicalPathCompare(a.key, b.key) < 0;
        });
        // A used copy always stays; when none is used, the oldest (then the first in Explorer's
        // order, as the copies stand).
        size_t oldest = 0;
        bool anyUsed = false;
        for (size_t k = 0; k < copies.size(); ++k) {
            copies[k].stays = !copies[k].shows.empty();
            anyUsed = anyUsed || copies[k].stays;
            if (index.files[copies[k].file].lastWrite < index.files[copies[oldest].file].lastWrite)
                oldest = k;
        }
        if (!anyUsed) copies[oldest].stays = true;
        result.push_back(std::move(copies));
    }
    return result;
}

std::u16string DuplicatesText(const ScanRecord& record, const duplicates::DuplicateSearch& search) {
    const archive::ArchiveIndex& index = record.archive;
    const std::vector<std::vector<DuplicateCopy>> groupCopies = CopiesOfGroups(record, search);
    std::u16string groups;
    int64_t files = 0, copiesTake = 0, freeable = 0;
    for (size_t g = 0; g < search.groups.size(); ++g) {
        const int64_t size = search.groups[g].size;
        const std::vector<DuplicateCopy>& copies = groupCopies[g];
        const auto n = static_cast<int64_t>(copies.size());
        const auto staying = static_cast<int64_t>(std::count_if(
            copies.begin(), copies.end(), [](const DuplicateCopy& c) { return c.stays; }));
        files += n;
        copiesTake += (n - 1) * size;
        freeable += (n - staying) * size;
        groups += u"\r\n\r\nGruppe " + Decimal(static_cast<int64_t>(g + 1)) + u": " + Decimal(n) +
                  u" gleiche Dateien zu je " + Grouped(size) + u" Bytes";
        for (const DuplicateCopy& copy : copies) {
            groups += (copy.stays ? u"\r\n   bleibt: " : u"\r\n   Kopie:  ") + copy.path;
            if (copy.shows.empty()) {
                groups += u"\t(von keinem Projekt verwendet)";
                continue;
            }
            groups += u"\t(verwendet von ";
            for (size_t s = 0; s < copy.shows.size(); ++s)
                groups += (s > 0 ? u", " : u"") + copy.shows[s];
            groups += u")";
        }
    }
    std::u16string text =
        u"Doppelte Dateien im Archiv: " + Decimal(static_cast<int64_t>(search.groups.size())) +
        (search.groups.size() == 1 ? u" Gruppe mit " : u" Gruppen mit ") + Decimal(files) +
        u" Dateien. Die Kopien \u00FCber je eine hinaus belegen " + Grouped(copiesTake) +
        u" Bytes; frei werden k\u00F6nnten " + Grouped(freeable) +
        u" Bytes, ohne dass eine Show eine Datei verliert.\r\n"
        u"Regel: Eine Kopie, die eine Show verwendet, bleibt immer. Verwendet keine Show eine "
        u"Kopie der Gruppe, bleibt die \u00E4lteste (bei gleichem Alter die erste in der "
        u"Reihenfolge des Explorers).\r\n"
        u"Gelesen wurden nur die Projekte im Projektordner dieser Suche: '" +
        record.inputs.projectDirectory + u"'." + groups;
    if (!search.unreadable.empty()) {
        text += u"\r\n\r\nNicht lesbar, nicht mitgez\u00E4hlt:";
        for (uint32_t f : search.unreadable) text += u"\r\n" + index.Path(index.files[f]);
    }
    return text;
}

SaveResult SaveDuplicates(ScanRecord* record, ResultsPage* page, BusyRequests* requests) {
    const ArchiveList list{
        kDuplicatesDialog, u"Die Liste der doppelten Dateien", [&](std::u16string* text) {
            page->Info(u"Doppelte Dateien werden gesucht");
            const duplicates::DuplicateSearch search = duplicates::FindDuplicates(
                record->archive, page->Report(BusyWork::kWalk, requests));
            if (search.outcome == duplicates::SearchOutcome::kStopped) {
                page->Info(u"Suche nach doppelten Dateien angehalten, nichts gespeichert");
                return false;
            }
            *text = DuplicatesText(*record, search);
            return true;
        }};
    return SaveArchiveList(list, record, page, requests);
}

}  // namespace spurlese

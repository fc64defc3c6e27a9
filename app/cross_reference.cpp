#include "app/cross_reference.h"

#include <algorithm>

#include "app/unread_projects.h"
#include "archive/logical_order.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

// Two digits, or four for a year.
std::u16string Digits(int value, size_t width) {
    std::u16string text = Decimal(value < 0 ? -value : value);
    if (text.size() < width) text.insert(0, width - text.size(), u'0');
    return text;
}

// "2019-08-15T14:03:12+02:00"
std::u16string IsoTime(int64_t lastWrite) {
    platform::LocalTime t;
    if (!platform::ToLocalTime(lastWrite, &t)) return {};
    const int offset = t.offsetMinutes;
    return Digits(t.year, 4) + u"-" + Digits(t.month, 2) + u"-" + Digits(t.day, 2) + u"T" +
           Digits(t.hour, 2) + u":" + Digits(t.minute, 2) + u":" + Digits(t.second, 2) +
           (offset < 0 ? u"-" : u"+") + Digits(std::abs(offset) / 60, 2) + u":" +
           Digits(std::abs(offset) % 60, 2);
}

struct Row {
    size_t project;          // in the order projects were met
    std::u16string sortKey;  // the media file, lower-cased
    std::u16string text;     // the row's fields after the project file
};

}  // namespace

std::u16string CsvField(std::u16string_view text) {
    if (text.find_first_of(u";\",\r\n") == std::u16string_view::npos) return std::u16string(text);
    std::u16string quoted = u"\"";
    for (char16_t unit : text) {
        if (unit == u'"') quoted += u'"';
        quoted += unit;
    }
    return quoted + u"\"";
}

std::u16string CrossReferenceText(const ScanRecord& record) {
    const archive::ArchiveIndex& index = record.archive;
    std::vector<std::u16string> projects;
    TextMap<size_t> projectIndex;
    for (const std::u16string& file : record.projectFiles) {
        if (projectIndex.emplace(file, projects.size()).second) projects.push_back(file);
    }
    const auto projectOf = [&](const std::u16string& file) {
        const auto [it, added] = projectIndex.emplace(file, projects.size());
        if (added) projects.push_back(file);
        return it->second;
    };
    // What the walk knows of the archive's files, by lower-cased path.
    TextMap<const archive::ArchiveFile*> walked;
    for (const archive::ArchiveFile& file : index.files)
        walked.emplace(platform::LowerCase(index.Path(file)), &file);
    TextMap<std::u16string> newPlace;
    for (size_t m = 0; m < record.missing.size() && m < record.candidates.size(); ++m) {
        if (!record.candidates[m].empty()) {
            newPlace.emplace(record.missing[m], index.Path(index.files[record.candidates[m][0]]));
        }
    }

    std::vector<Row> rows;
    TextSet seen;  // project and file, each pair once, however the project spelt the file
    const auto add = [&](const HitSource& source, bool present) {
        const size_t project = projectOf(source.projectFile);
        const FileIdentity& identity = record.IdentityOf(source.hit);
        const std::u16string& file = identity.path.empty() ? source.hit : identity.path;
        std::u16string key = platform::LowerCase(file);
        if (!seen.insert(Decimal(static_cast<int64_t>(project)) + u"|" + key).second) return;
        std::u16string text = CsvField(file) + u";" + (present ? u"vorhanden" : u"fehlt");
        int64_t size = 0, lastWrite = 0;
        const auto known = walked.find(key);
        if (known != walked.end()) {
            size = known->second->size;
            lastWrite = known->second->lastWrite;
        }
        if (present && (known != walked.end() || platform::FileFacts(file, &size, &lastWrite)))
            text += u";" + Decimal(size) + u";" + IsoTime(lastWrite) + u";";
        else
            text += u";;;";
        if (!present) {
            const auto place = newPlace.find(source.hit);
            if (place != newPlace.end()) text += CsvField(place->second);
        }
        rows.push_back({project, std::move(key), std::move(text)});
    };
    // An unread project is no project that uses nothing: one row says so, with why.
    for (const UnreadProject& unread : record.unread) {
        rows.push_back({projectOf(unread.projectFile), std::u16string(),
                        u";" + CsvField(u"nicht gelesen: " + WhyUnread(unread)) + u";;;"});
    }
    for (const HitSource& hit : record.hits) add(hit, true);
    for (const HitSource& gone : record.missingSources) add(gone, false);
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.project != b.project) return a.project < b.project;
        return archive::LogicalPathCompare(a.sortKey, b.sortKey) < 0;
    });
    std::u16string csv =
        u"Projektdatei;Mediendatei;Status;Gr\u00F6\u00DFe (Bytes);Letzte \u00C4nderung;"
        u"Vermutlich jetzt unter";
    for (const Row& row : rows) csv += u"\r\n" + CsvField(projects[row.project]) + u";" + row.text;
    return csv;
}

}  // namespace spurlese

#include "app/unused_files.h"

#include <algorithm>
#include <span>

#include "archive/logical_order.h"
#include "archive/media_files.h"
#include "archive/name_key.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

std::u16string_view Stem(std::u16string_view name) {
    return name.substr(0, name.rfind(u'.'));
}

}  // namespace

std::u16string UsedFileNotWalked(const ScanRecord& record) {
    const archive::ArchiveIndex& index = record.archive;
    TextSet walked;
    walked.reserve(index.files.size());
    for (const archive::ArchiveFile& file : index.files)
        walked.insert(platform::LowerCase(index.Path(file)));
    for (const std::u16string& file : record.Used().files) {
        if (!walked.count(platform::LowerCase(file))) return file;
    }
    return {};
}

UnusedVisit VisitUnusedFiles(const ScanRecord& record, const UnusedFileVisitor& each) {
    const archive::ArchiveIndex& index = record.archive;
    // The files the shows use, by folder: each folder's used names, looked up once per folder,
    // not per file. Used files come folder by folder, so a folder's key is made once for a run of
    // them. Identities write every folder as the archive's listings do, as the walk does.
    const UsedFiles used = record.Used();
    TextMap<TextSet> usedByFolder;
    std::u16string_view lastFolder;
    TextSet* usedInLast = nullptr;
    for (const std::u16string& file : used.files) {
        const std::u16string_view path = file;
        const size_t cut = path.rfind(u'\\');
        const std::u16string_view folder = path.substr(0, cut);
        if (!usedInLast || folder != lastFolder) {
            const std::u16string key = platform::LowerCase(folder);
            auto found = usedByFolder.find(key);
            if (found == usedByFolder.end()) found = usedByFolder.emplace(key, TextSet()).first;
            usedInLast = &found->second;
            lastFolder = folder;
        }
        usedInLast->insert(platform::LowerCase(path.substr(cut + 1)));
    }
    const size_t folderCount = index.folders.size();
    std::vector<std::u16string> folderKeys;
    folderKeys.reserve(folderCount);
    for (const std::u16string& folder : index.folders)
        folderKeys.push_back(platform::LowerCase(folder));

    // Explorer's order of whole paths, in two steps: the folders once, then the names within
    // each folder.
    const std::vector<uint32_t> folderOrder = archive::FolderOrder(index);
    // The files of each folder, in the walk's order: filesOf[first[f], first[f + 1]).
    std::vector<uint32_t> first(folderCount + 1, 0), filesOf(index.files.size());
    for (const archive::ArchiveFile& file : index.files) ++first[file.folder + 1];
    for (size_t f = 0; f < folderCount; ++f) first[f + 1] += first[f];
    {
        std::vector<uint32_t> next(first.begin(), first.end() - 1);
        for (uint32_t f = 0; f < index.files.size(); ++f)
            filesOf[next[index.files[f].folder]++] = f;
    }

    // One folder at a time: its files lower-cased, its used pictures by name stem (for their
    // live photos' videos), its unused files in Explorer's order.
    struct Entry {
        std::u16string lowerName;
        uint32_t file;
    };
    std::vector<Entry> entries;
    std::vector<std::pair<std::u16string_view, std::u16string_view>> usedPictures;
    std::vector<const Entry*> unused;
    UnusedVisit visit;
    for (uint32_t folder : folderOrder) {
        usedPictures.clear();
        unused.clear();
        const auto found = usedByFolder.find(folderKeys[folder]);
        const TextSet* usedHere = found == usedByFolder.end() ? nullptr : &found->second;
        // The entries of the folder before are written over, so their strings keep their room.
        const size_t count = first[folder + 1] - first[folder];
        if (entries.size() < count) entries.resize(count);
        for (size_t k = 0; k < count; ++k) {
            const uint32_t file = filesOf[first[folder] + k];
            archive::AssignLowerCase(index.Name(index.files[file]), &entries[k].lowerName);
            entries[k].file = file;
        }
        for (const Entry& entry : std::span(entries).first(count)) {
            if (!usedHere || !usedHere->count(entry.lowerName)) {
                unused.push_back(&entry);
                continue;
            }
            ++visit.used;
            const std::u16string_view name = index.Name(index.files[entry.file]);
            if (archive::MediaKindOf(name) == archive::MediaKind::kPicture)
                usedPictures.emplace_back(Stem(entry.lowerName), name);
        }
        std::stable_sort(usedPictures.begin(), usedPictures.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::sort(unused.begin(), unused.end(), [](const Entry* a, const Entry* b) {
            return archive::LogicalCompare(a->lowerName, b->lowerName) < 0;
        });
        visit.unused += unused.size();
        for (const Entry* entry : unused) {
            const std::u16string_view name = index.Name(index.files[entry->file]);
            std::u16string_view usedPicture;
            if (archive::MediaKindOf(name) == archive::MediaKind::kVideo) {
                const std::u16string_view stem = Stem(entry->lowerName);
                const auto picture =
                    std::lower_bound(usedPictures.begin(), usedPictures.end(), stem,
                                     [](const auto& used, std::u16string_view wanted) {
                                         return used.first < wanted;
                                     });
                if (picture != usedPictures.end() && picture->first == stem)
                    usedPicture = picture->second;
            }
            each(entry->file, usedPicture);
        }
    }
    visit.unresolved = used.unresolved;
    return visit;
}

std::u16string UnusedFilesText(const ScanRecord& record) {
    const archive::ArchiveIndex& index = record.archive;
    // Room for every file's line: only the pages written are ever taken from the system, and
    // the text is not copied as it grows (once, at the end, behind the counts).
    std::u16string lines;
    size_t room = 0;
    for (const archive::ArchiveFile& file : index.files)
        room += 3 + index.folders[file.folder].size() + file.nameLength;
    lines.reserve(room);
    const UnusedVisit visit = VisitUnusedFiles(record, [&](uint32_t f,
                                                           std::u16string_view usedPicture) {
        const archive::ArchiveFile& file = index.files[f];
        lines.append(u"\r\n")
            .append(index.folders[file.folder])
            .append(u"\\")
            .append(index.Name(file));
        if (!usedPicture.empty())
            lines.append(u"\tgeh\u00F6rt zum verwendeten Bild '").append(usedPicture).append(u"'");
    });
    if (!visit.unresolved.empty()) {
        lines.append(
            u"\r\n\r\nTreffer, die sich keiner Datei zuordnen lie\u00DFen (nicht "
            u"mitgez\u00E4hlt; eine Datei, die sie nennen, kann oben stehen):");
        for (std::u16string_view hit : visit.unresolved) lines.append(u"\r\n").append(hit);
    }
    return u"Mediendateien im Archiv: " + Decimal(static_cast<int64_t>(index.files.size())) +
           u", verwendet: " + Decimal(static_cast<int64_t>(visit.used)) + u", nicht verwendet: " +
           Decimal(static_cast<int64_t>(visit.unused)) + lines;
}

}  // namespace spurlese

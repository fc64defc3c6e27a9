// What a scan found, as a value: the program keeps the record of the last scan that finished and
// hands it to the lists, the copy and show in folder. Nothing here reads the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "archive/archive_index.h"

namespace spurlese {

// What a scan runs with, read from the window once, when "Filter anwenden" is clicked.
struct ScanInputs {
    std::u16string projectDirectory;  // as "MPH Verzeichnis" shows it
    std::u16string basePathText;      // as the base-path button shows it, for the opening line
    std::u16string basePath;          // the one the filter uses
    int64_t minLength = 0;
    bool stripBase = false;      // hits are shown without the base path
    bool prefixProject = false;  // a "; <project file>" line before each project's hits
};

// A project file's reference to a media file: a hit, or a file that is missing.
struct HitSource {
    std::u16string hit;  // as the scan wrote it: folder as the project wrote it, name lower-cased
    std::u16string projectFile;
};

// Texts looked up without a copy of the text looked for.
struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const {
        return std::hash<std::u16string_view>()(text);
    }
};
using TextSet = std::unordered_set<std::u16string, TextHash, std::equal_to<>>;
template <typename Value>
using TextMap = std::unordered_map<std::u16string, Value, TextHash, std::equal_to<>>;

// The file a path names, as Windows resolves it: "." and empty parts dropped, short 8.3 names and
// letter case as the folders' own listings write them, from the base path down. Two spellings of
// one file have one identity.
struct FileIdentity {
    enum class Kind {
        kFile,        // `path` is the file's name as the archive writes it
        kMissing,     // nothing is there; `path` is resolved as far as folders exist
        kUnresolved,  // out of the archive (by ".." or a link), or behind a folder that cannot be
                      // listed: no archive file, or not known which
    };
    Kind kind = Kind::kUnresolved;
    std::u16string path;  // empty for kUnresolved
};

// A project file whose references the scan never saw: what it uses is unknown, so no list of what
// the shows use, or do not use, is whole without it.
struct UnreadProject {
    enum class Why {
        kNotStarted,  // the extractor could not be started for it
        kNotRead,     // the extractor ended with an error (the file held open by another program)
        kRefused,     // the extractor printed nothing but a message (a licence not yet accepted)
    };
    std::u16string projectFile;
    Why why = Why::kNotRead;
    std::u16string detail;  // the extractor's path, its exit code, or its message's first line
};

// Why the project file was not read, for the user: "der Extraktor konnte sie nicht lesen (…)".
std::u16string WhyUnread(const UnreadProject& project);

// What the shows use, by identity: every archive file a hit names, once, in the order met; and
// the hits that name no archive file for certain (a path that climbs out of the base path, a link
// that leads out of the archive, a folder that could not be listed), each once. Every list and
// action asks this one answer.
struct UsedFiles {
    std::vector<std::u16string> files;
    std::vector<std::u16string> unresolved;
};

struct ScanRecord {
    ScanInputs inputs;
    int64_t finishedAt = 0;                    // when the scan ended, as ListingEntry counts
    std::vector<std::u16string> projectFiles;  // in the order scanned
    std::vector<HitSource> hits;               // each (hit, project file) pair once, in order met
    std::vector<HitSource> missingSources;     // the same for named media files that do not exist
    std::vector<std::u16string> missing;       // ... each once, in the order met
    TextMap<FileIdentity> identities;          // of every hit and missing path
    archive::ArchiveIndex archive;             // walked when something needs it
    std::vector<std::vector<uint32_t>> candidates;  // for each of `missing`, from `archive`
    std::vector<UnreadProject> unread;              // in the order scanned
    // Empty while the base path was there when the scan ended; else why it was not (a drive not
    // connected, a share not answering), as "Informationen" said it. An archive that is not there
    // is not an empty archive: nothing that needs it is made from such a record.
    std::u16string archiveUnreachable;

    UsedFiles Used() const;

    // The identity of a hit or missing path of this record (kUnresolved for any other).
    const FileIdentity& IdentityOf(std::u16string_view path) const;
};

}  // namespace spurlese

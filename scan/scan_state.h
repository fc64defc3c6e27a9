// One scan's state in one record: what the scan reads once when it starts (its inputs), and
// everything it keeps from line to line and file to file, with one reset. What it keeps is also
// what the lists made after a scan are made from: the records, never the displays.
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

// What the scan reads when it starts. Below RunScan nothing reads a control: the window cannot
// change during a scan, since its events are not handled then.
struct ScanInputs {
    std::u16string projectDirectory;  // control 4, as shown
    std::u16string basePathText;      // control 6, for the opening line only
    std::u16string basePath;          // of the run's settings: the one the filter uses
    int64_t minLength = 0;            // of the run's settings
    bool stripBase = false;           // control 11: hits shown without the base path
    bool prefixProject = false;       // control 12: a "; <project file>" line before its hits
};

// The controls and the run's settings, read now.
ScanInputs ReadScanInputs();

// A project file's reference to a media file: a hit, or a file that is missing.
struct HitSource {
    std::u16string hit;
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

// The names a folder's listing holds, lower-cased, kept for the scan.
struct KeptFolder {
    bool listable = false;
    TextSet files;
    TextSet folders;
};

// References of one kind, each (path, project file) pair once, in the order met. Project files
// come one after the other, so a pair is new unless the path's latest reference is from the same
// project file.
struct References {
    std::vector<HitSource> all;
    TextMap<size_t> latest;  // path -> index in `all` of its latest reference
    // True when the pair is new (and now kept).
    bool Add(std::u16string_view path, std::u16string_view projectFile);
};

struct ScanState {
    ScanInputs inputs;  // what the last scan ran with
    std::vector<std::u16string> projectFiles;  // in the order scanned
    // Looked up by hash: a scan with many distinct hits must not slow down with their square.
    TextSet seenHits;
    References hitSources;
    References missingSources;            // named media files that do not exist
    std::vector<std::u16string> missing;  // ... each once, in the order met
    TextSet missingSet;
    TextMap<int64_t> sizes;     // file-size answers of this scan
    bool keepListings = false;  // while a scan runs, each folder is listed once
    std::unordered_map<std::u16string, KeptFolder> folders;  // by lower-cased folder
    TextMap<KeptFolder*> foldersAsWritten;          // the same, by the folder as a line writes it
    archive::ArchiveIndex archive;                  // walked once, when needed
    std::vector<std::vector<uint32_t>> candidates;  // for each of `missing`, from `archive`
};

extern ScanState scanState;

// Back to an empty state with empty inputs: before a scan, and between tests.
void ResetScanState();

}  // namespace spurlese

// One scan's state in one record: what the scan reads once when it starts (its inputs), and
// everything it keeps from line to line and file to file, with one reset.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

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

struct HitSource {
    std::u16string hit;
    std::u16string projectFile;
};

// The names a folder's listing holds, lower-cased, kept for the scan.
struct KeptFolder {
    bool listable = false;
    std::unordered_set<std::u16string> files;
    std::unordered_set<std::u16string> folders;
};

struct PairHash {
    size_t operator()(const std::pair<std::u16string, std::u16string>& p) const {
        return std::hash<std::u16string>()(p.first) * 31 + std::hash<std::u16string>()(p.second);
    }
};

struct ScanState {
    ScanInputs inputs;
    size_t prefixLength = 0;  // of the BasePrefix in use
    // Looked up by hash: a scan with many distinct hits must not slow down with their square.
    std::unordered_set<std::u16string> seenHits;
    std::vector<HitSource> hitSources;  // each (hit, project file) once, in the order met
    std::unordered_set<std::pair<std::u16string, std::u16string>, PairHash> hitSourcePairs;
    std::vector<std::u16string> missing;  // named media files that do not exist, once each
    std::unordered_set<std::u16string> missingSet;
    std::unordered_map<std::u16string, int64_t> sizes;  // file-size answers of this scan
    bool keepListings = false;  // while a scan runs, each folder is listed once
    std::unordered_map<std::u16string, KeptFolder> folders;  // by lower-cased folder
};

extern ScanState scanState;

// Back to an empty state with empty inputs: before a scan, and between tests.
void ResetScanState();

}  // namespace spurlese

// The state a running scan keeps from line to line and file to file. It belongs to one call of
// RunScan (or to a test that feeds lines); what it found ends as the scan's record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scan/archive_walk.h"
#include "scan/scan_record.h"
#include "scan/scan_report.h"

namespace spurlese {

// The names a folder's listing holds: by lower-cased name, each as the listing writes it.
struct KeptFolder {
    bool listable = false;
    TextMap<std::u16string> files;
    TextMap<std::u16string> folders;
    TextSet links;  // the lower-cased names of `folders` that are junctions or symbolic links
};

// Each folder listed once, while the cache lives.
class FolderCache {
public:
    // The folder is given without a final backslash; looked up first as it is written, so that a
    // folder many lines name is lower-cased only once.
    const KeptFolder& Kept(std::u16string_view folder);
    // A folder of paths below the base path, as written, resolved once by `resolve`
    // (scan/file_identity.h); asked again, the same answer.
    const FileIdentity& ResolvedFolder(std::u16string_view base, std::u16string_view folder,
                                       const std::function<FileIdentity()>& resolve);

private:
    std::u16string resolvedBase_;
    TextMap<FileIdentity> resolvedFolders_;
    std::unordered_map<std::u16string, KeptFolder> byLowerCase_;
    TextMap<KeptFolder*> asWritten_;
};

// What an extractor wrote to its standard error, and for how many project files it wrote that.
struct ExtractorMessage {
    std::u16string program;
    std::u16string text;  // its first lines, as "Informationen" shows them
    int64_t projectFiles = 0;
};

// The first line of an extractor's message, cut as "Informationen" shows it.
std::u16string FirstMessageLine(std::string_view errors);

struct ScanWork {
    ScanWork(ScanInputs inputs, const ScanReport& report);

    ScanRecord record;
    const ScanReport& report;
    FolderCache folders;
    TextSet seenHits;           // the hits shown (or kept as seen) so far
    TextMap<int64_t> sizes;     // file-size answers of this scan
    TextMap<size_t> latestHit;  // hit -> index in record.hits of its latest reference
    TextMap<size_t> latestMissing;
    TextSet missingSet;

    // Each (path, project file) pair once; project files come one after the other, so a pair is
    // new unless the path's latest reference is from the same project file. A path new to the
    // scan is resolved to its identity.
    void AddHit(std::u16string_view hit, std::u16string_view projectFile);
    // The first missing file begins the archive's walk, which the end of the scan will need.
    void AddMissing(std::u16string_view path, std::u16string_view projectFile);
    // Counted once per distinct text: a licence not yet accepted refuses every file alike.
    void AddExtractorMessage(std::u16string_view program, std::string_view errors);
    std::vector<ExtractorMessage> messages;
    EarlyWalk walk;

    // Resolved once per path (scan/file_identity.h).
    const FileIdentity& Identify(std::u16string_view path, bool exists);
};

}  // namespace spurlese

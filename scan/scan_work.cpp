#include "scan/scan_work.h"

#include <utility>

#include "platform/owners.h"
#include "platform/platform.h"
#include "scan/file_identity.h"

namespace spurlese {

namespace {

KeptFolder ListFolder(std::u16string_view folder) {
    KeptFolder names;
    platform::Listing listing(folder, u"*.*");
    names.listable = listing.IsOpen();
    for (const platform::ListingEntry& entry : listing) {
        std::u16string key = platform::LowerCase(entry.name);
        if (entry.isLink) names.links.insert(key);
        (entry.isDirectory ? names.folders : names.files).emplace(std::move(key), entry.name);
    }
    return names;
}

// Each (path, project file) pair once, in `all`.
bool AddReference(std::vector<HitSource>* all, TextMap<size_t>* latest, std::u16string_view path,
                  std::u16string_view projectFile) {
    auto found = latest->find(path);
    if (found != latest->end() && (*all)[found->second].projectFile == projectFile) return false;
    all->push_back({std::u16string(path), std::u16string(projectFile)});
    if (found != latest->end()) {
        found->second = all->size() - 1;
    } else {
        latest->emplace(path, all->size() - 1);
    }
    return true;
}

}  // namespace

const KeptFolder& FolderCache::Kept(std::u16string_view folder) {
    auto written = asWritten_.find(folder);
    if (written != asWritten_.end()) return *written->second;
    const std::u16string key = platform::LowerCase(folder);
    auto it = byLowerCase_.find(key);
    if (it == byLowerCase_.end()) it = byLowerCase_.emplace(key, ListFolder(folder)).first;
    asWritten_.emplace(folder, &it->second);
    return it->second;
}

const FileIdentity& FolderCache::ResolvedFolder(std::u16string_view base,
                                                std::u16string_view folder,
                                                const std::function<FileIdentity()>& resolve) {
    if (base != resolvedBase_) {
        resolvedFolders_.clear();
        resolvedBase_ = base;
    }
    auto found = resolvedFolders_.find(folder);
    if (found == resolvedFolders_.end()) found = resolvedFolders_.emplace(folder, resolve()).first;
    return found->second;
}

ScanWork::ScanWork(ScanInputs inputs, const ScanReport& scanReport) : report(scanReport) {
    record.inputs = std::move(inputs);
}

void ScanWork::AddHit(std::u16string_view hit, std::u16string_view projectFile) {
    if (AddReference(&record.hits, &latestHit, hit, projectFile)) Identify(hit, true);
}

void ScanWork::AddMissing(std::u16string_view path, std::u16string_view projectFile) {
    AddReference(&record.missingSources, &latestMissing, path, projectFile);
    if (missingSet.insert(std::u16string(path)).second) {
        record.missing.emplace_back(path);
        Identify(path, false);
        walk.BeginOnce(record.inputs.basePath);
    }
}

namespace {

constexpr size_t kMessageLinesShown = 5;
constexpr size_t kMessageLineLength = 200;

// The first lines of an extractor's message, each indented, without empty lines and trailing
// blanks; a very long line is cut.
std::u16string MessageLines(std::string_view errors, size_t maxLines) {
    const std::u16string text = platform::Utf8ToUtf16(errors);
    std::u16string lines;
    size_t count = 0;
    for (size_t from = 0; from < text.size() && count < maxLines;) {
        size_t end = text.find(u'\n', from);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view line = std::u16string_view(text).substr(from, end - from);
        from = end + 1;
        while (!line.empty() &&
               (line.back() == u'\r' || line.back() == u' ' || line.back() == u'\t'))
            line.remove_suffix(1);
        if (line.empty()) continue;
        if (count++ > 0) lines += u"\r\n";
        lines += u"   ";
        lines += line.substr(0, kMessageLineLength);
        if (line.size() > kMessageLineLength) lines += u"\u2026";
    }
    return lines;
}

}  // namespace

std::u16string FirstMessageLine(std::string_view errors) {
    const std::u16string line = MessageLines(errors, 1);
    return line.size() > 3 ? line.substr(3) : std::u16string();
}

void ScanWork::AddExtractorMessage(std::u16string_view program, std::string_view errors) {
    std::u16string text = MessageLines(errors, kMessageLinesShown);
    if (text.empty()) return;
    for (ExtractorMessage& message : messages) {
        if (message.program == program && message.text == text) {
            ++message.projectFiles;
            return;
        }
    }
    messages.push_back({std::u16string(program), std::move(text), 1});
}

const FileIdentity& ScanWork::Identify(std::u16string_view path, bool exists) {
    auto found = record.identities.find(path);
    if (found == record.identities.end()) {
        found = record.identities
                    .emplace(path, ResolveIdentity(&folders, record.inputs.basePath, path, exists))
                    .first;
    }
    return found->second;
}

std::u16string WhyUnread(const UnreadProject& project) {
    switch (project.why) {
        case UnreadProject::Why::kNotStarted:
            return u"der Extraktor '" + project.detail + u"' lie\u00DF sich nicht starten";
        case UnreadProject::Why::kNotRead:
            return u"der Extraktor konnte sie nicht lesen (" + project.detail +
                   u"); vielleicht h\u00E4lt ein anderes Programm sie ge\u00F6ffnet";
        case UnreadProject::Why::kRefused:
            return u"der Extraktor hat sie abgelehnt: " + project.detail;
    }
    return {};
}

UsedFiles ScanRecord::Used() const {
    UsedFiles used;
    TextSet seen;
    for (const HitSource& source : hits) {
        const FileIdentity& identity = IdentityOf(source.hit);
        if (identity.kind == FileIdentity::Kind::kFile) {
            if (seen.insert(platform::LowerCase(identity.path)).second)
                used.files.push_back(identity.path);
        } else if (seen.insert(u"?" + source.hit).second) {
            // A hit is always a file that is there, so it is never kMissing; "?" keeps the hits
            // apart from the paths, which never start with it.
            used.unresolved.push_back(source.hit);
        }
    }
    return used;
}

const FileIdentity& ScanRecord::IdentityOf(std::u16string_view path) const {
    static const FileIdentity kUnknown;
    const auto found = identities.find(path);
    return found == identities.end() ? kUnknown : found->second;
}

}  // namespace spurlese

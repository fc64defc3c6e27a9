#include "settings/settings_file.h"

#include <iterator>
#include <memory>

#include "platform/file_replace.h"
#include "platform/platform.h"

namespace spurlese {

namespace {

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && platform::LowerCase(a) == platform::LowerCase(b);
}

SettingsFile NewDocument(std::u16string_view fileName, int64_t options) {
    auto document = std::make_unique<SettingsDocument>();
    document->fileName = fileName;
    document->options = options;
    document->lineEnd = (options & kLineEndCr) ? u"\r" : (options & kLineEndLf) ? u"\n" : u"\r\n";
    document->separator = (options & kColonSeparator) ? u":" : u"=";
    // The root group holds the lines above the first header; its own header is never written.
    document->currentGroup = AddEntry(document.get(), EntryKind::Group);
    return document;
}

SettingsEntry* AddGroup(SettingsDocument* document, std::u16string_view name) {
    SettingsEntry* group = AddEntry(document, EntryKind::Group);
    group->name = name;
    group->text = u"[" + std::u16string(name) + u"]";
    return group;
}

bool IsBlankUnit(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n';
}

void ReadHeaderLine(SettingsDocument* document, std::u16string_view line, size_t open) {
    // Without "]" anywhere the line is no header and is dropped.
    if (line.find(u']') == std::u16string_view::npos) return;
    const size_t start = open + 1;
    size_t end = line.find_first_of(u"[]", start);
    if (end == std::u16string_view::npos) end = line.size();
    const std::u16string_view name = line.substr(start, end - start);
    SettingsEntry* group = FindGroup(document, name);
    document->currentGroup = group ? group : AddGroup(document, name);
}

void ReadKeyLine(SettingsDocument* document, std::u16string_view line) {
    size_t at = line.find(u'=');
    if (at == std::u16string_view::npos) at = line.find(u':');
    if (at == std::u16string_view::npos) return;
    std::u16string_view key = line.substr(0, at);
    while (!key.empty() && key.front() == u' ') key.remove_prefix(1);
    while (!key.empty() && key.back() == u' ') key.remove_suffix(1);
    if (FindKey(document, key)) return;  // the first line of a key wins
    SettingsEntry* entry = AddEntry(document, EntryKind::Key);
    entry->name = key;
    entry->text = std::u16string(line.substr(0, at)) + document->separator +
                  std::u16string(line.substr(at + 1));
}

void ReadLine(SettingsDocument* document, std::u16string_view line) {
    size_t first = 0;
    while (first < line.size() && IsBlankUnit(line[first])) ++first;
    if (first == line.size()) {
        AddEntry(document, EntryKind::Blank)->text = line;
    } else if (line[first] == u'[') {
        ReadHeaderLine(document, line, first);
    } else if (line[first] == u';' || line[first] == u'#') {
        AddEntry(document, EntryKind::Comment)->text = line;
    } else {
        ReadKeyLine(document, line);
    }
}

// Lines end at LF, CR or CR LF; the last may have no line end.
void ReadLines(SettingsDocument* document, std::u16string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
        ReadLine(document, text.substr(start, end - start));
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
            text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
}

}  // namespace

SettingsFile OpenSettingsFile(std::u16string_view fileName, int64_t options) {
    if (fileName.empty()) return nullptr;
    std::string bytes;
    if (!platform::ReadFileBytes(fileName, &bytes)) return nullptr;
    SettingsFile document = NewDocument(fileName, options);
    // A byte-order mark is not skipped: it stays the first character of the first line.
    ReadLines(document.get(), platform::Utf8ToUtf16(bytes));
    document->currentGroup = &document->entries.front();
    return document;
}

// The old file is not emptied here: the document is marked as changed, so closing it replaces
// the file with what the document then holds, and a failing write never loses the old file.
SettingsFile CreateSettingsFile(std::u16string_view fileName, int64_t options) {
    if (fileName.empty() || !platform::WritableFile(fileName)) return nullptr;
    if (platform::KindOfPath(fileName) == platform::PathKind::kNone &&
        !platform::WriteFileBytes(fileName, {})) {
        return nullptr;
    }
    SettingsFile document = NewDocument(fileName, options);
    document->options |= kModified;
    return document;
}

SettingsEntry* FindGroup(SettingsDocument* document, std::u16string_view name) {
    if (!document) return nullptr;
    for (SettingsEntry& entry : document->entries) {
        if (entry.kind == EntryKind::Group && SameName(entry.name, name)) return &entry;
    }
    return nullptr;
}

SettingsEntry* FindKey(SettingsDocument* document, std::u16string_view key, SettingsEntry* group) {
    if (!document) return nullptr;
    if (!group) group = document->currentGroup;
    for (SettingsEntry& entry : document->entries) {
        if (entry.kind == EntryKind::Key && entry.group == group && SameName(entry.name, key)) {
            return &entry;
        }
    }
    return nullptr;
}

// A group goes to the end; a member goes after the last member of the current group (or
// right after its header), so it stays before the next group's header.
SettingsEntry* AddEntry(SettingsDocument* document, EntryKind kind) {
    if (!document) return nullptr;
    auto& entries = document->entries;
    SettingsEntry entry;
    entry.kind = kind;
    if (kind == EntryKind::Group) {
        entries.push_back(entry);
        return &entries.back();
    }
    SettingsEntry* group = document->currentGroup;
    entry.group = group;
    auto place = entries.end();
    for (auto it = entries.end(); it != entries.begin();) {
        --it;
        if (it->group == group) {
            place = std::next(it);
            break;
        }
        if (&*it == group) {
            place = std::next(it);
            break;
        }
    }
    return &*entries.insert(place, entry);
}

bool SelectGroup(SettingsDocument* document, std::u16string_view group) {
    if (!document) return false;
    SettingsEntry* found = FindGroup(document, group);
    document->currentGroup = found ? found : AddGroup(document, group);
    return document->currentGroup != nullptr;
}

std::u16string ValueOfLine(const SettingsDocument* document, std::u16string_view text) {
    const size_t at = text.find(document->separator);
    if (at == std::u16string_view::npos) return {};
    std::u16string_view value = text.substr(at + document->separator.size());
    if (!(document->options & kCompactLines) && !value.empty() && value.front() == u' ') {
        value.remove_prefix(1);
    }
    return std::u16string(value);
}

std::u16string ReadValue(SettingsDocument* document, std::u16string_view key,
                         std::u16string_view defaultValue) {
    const SettingsEntry* entry = key.empty() ? nullptr : FindKey(document, key);
    return entry ? ValueOfLine(document, entry->text) : std::u16string(defaultValue);
}

void WriteValue(SettingsDocument* document, std::u16string_view key, std::u16string_view value) {
    if (!document || key.empty()) return;
    SettingsEntry* entry = FindKey(document, key);
    if (!entry) {
        entry = AddEntry(document, EntryKind::Key);
        entry->name = key;
    }
    std::u16string text(key);
    if (document->options & kCompactLines) {
        text += document->separator;
    } else {
        text += u" " + document->separator + u" ";
    }
    text += value;
    entry->text = text;
    document->options |= kModified;
}

bool SettingsFileBytes(const SettingsDocument* document, std::string* bytes) {
    std::u16string text;
    if (!(document->options & kNoByteOrderMark)) {
        text.push_back(u'\xFEFF');
        text += document->lineEnd;
    }
    bool groupWritten = true;
    for (const SettingsEntry& entry : document->entries) {
        if (entry.kind == EntryKind::Group) {
            groupWritten = false;
            continue;
        }
        // A group is written with its first member; a group without members not at all.
        if (!groupWritten && entry.group && !entry.group->name.empty()) {
            text += entry.group->text;
            text += document->lineEnd;
        }
        groupWritten = true;
        text += entry.text;
        text += document->lineEnd;
    }
    return platform::ConvertUtf16ToUtf8(text, bytes);
}

bool WriteSettingsFile(SettingsDocument* document) {
    if (!document) return false;
    std::string bytes;
    if (!SettingsFileBytes(document, &bytes) ||
        WriteFileReplacing(document->fileName, bytes).outcome != WriteOutcome::kWritten) {
        return false;
    }
    document->options &= ~int64_t{kModified};
    return true;
}

void CloseSettingsFile(SettingsFile document) {
    if (document && (document->options & kModified)) WriteSettingsFile(document.get());
}

}  // namespace spurlese

// A line-oriented INI-style settings file, read whole into a document that keeps every line it
// understands (group headers, key lines, comments, blank lines) in file order and writes them
// back in the same order. Group and key names are found without regard to letter case.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

namespace spurlese {

enum SettingsOptions : int64_t {
    kCompactLines = 0x1,         // key=value, nothing around the separator
    kNoByteOrderMark = 0x10000,  // no UTF-8 byte-order mark line at the top
    kLineEndCr = 0x20000,
    kLineEndLf = 0x40000,
    kLineEndCrLf = 0x80000,  // also the line end when none of the three is set
    kColonSeparator = 0x100000,
    kModified = 0x1000000,  // state: set by WriteValue, cleared once written
};

enum class EntryKind { Group = 0, Key = 1, Comment = 2, Blank = 3 };

struct SettingsEntry {
    EntryKind kind = EntryKind::Blank;
    std::u16string name;             // group name without brackets, or key name
    std::u16string text;             // the whole line as written back, without line end
    SettingsEntry* group = nullptr;  // the group of a member line; none for groups
};

struct SettingsDocument {
    std::u16string fileName;
    int64_t options = 0;
    std::u16string lineEnd;
    std::u16string separator;
    std::list<SettingsEntry> entries;  // the root group first
    SettingsEntry* currentGroup = nullptr;
};

// An open document owns its entries. Closing it (CloseSettingsFile) writes it when it was changed
// and frees it; one dropped without being closed is freed unwritten.
using SettingsFile = std::unique_ptr<SettingsDocument>;

// None (nullptr) when the name is empty or the file cannot be read.
SettingsFile OpenSettingsFile(std::u16string_view fileName, int64_t options);
// An empty document for a file that is written in full when the document is closed; none when
// the file could not be written.
SettingsFile CreateSettingsFile(std::u16string_view fileName, int64_t options);
bool SelectGroup(SettingsDocument* document, std::u16string_view group);
std::u16string ReadValue(SettingsDocument* document, std::u16string_view key,
                         std::u16string_view defaultValue);
void WriteValue(SettingsDocument* document, std::u16string_view key, std::u16string_view value);
// Writes the file when the document was changed, then frees the document.
void CloseSettingsFile(SettingsFile document);

// The parts the operations above are made of.
SettingsEntry* FindGroup(SettingsDocument* document, std::u16string_view name);
SettingsEntry* FindKey(SettingsDocument* document, std::u16string_view key,
                       SettingsEntry* group = nullptr);
SettingsEntry* AddEntry(SettingsDocument* document, EntryKind kind);
std::u16string ValueOfLine(const SettingsDocument* document, std::u16string_view text);
bool WriteSettingsFile(SettingsDocument* document);
// The bytes WriteSettingsFile writes; false when the text cannot be converted.
bool SettingsFileBytes(const SettingsDocument* document, std::string* bytes);

}  // namespace spurlese

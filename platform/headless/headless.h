// What tests can do to the headless platform beyond platform.h: start from nothing, lay out an
// in-memory file system, and inject the faults a real disk has.
#pragma once

#include <string>
#include <string_view>

namespace headless {

// Forgets every window, control, file and fault.
void ResetPlatform();

// File system. Paths are Windows paths ("D:\a\b.jpg", either separator); missing parent
// folders are created on the way. A drive exists once anything was made on it.
enum FileAttribute : unsigned { kNormal = 0, kHidden = 1, kSystem = 2 };
bool MakeFolder(std::u16string_view path);
bool MakeFile(std::u16string_view path, std::string_view bytes = {}, unsigned attributes = kNormal);

// Faults: a folder that cannot be listed; a file that cannot be opened for reading or writing.
void SetUnlistable(std::u16string_view folder, bool unlistable = true);
void SetUnreadable(std::u16string_view file, bool unreadable = true);
void SetUnwritable(std::u16string_view file, bool unwritable = true);

// Whether the insertion point of a text display was scrolled into view since its text last
// changed.
bool InsertionPointInView(int control);

}  // namespace headless

// What a contract test needs from the platform under test beyond platform.h: a clean start,
// real (or modelled) folders and files on drive D:, and a look at what a display shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace spurlese {

namespace testsupport {

// Releases the platform (window, event bindings), empties the program's lists and records and
// drive D:.
void ResetForTest();

// "headless" or "win32", for messages.
const char* PlatformName();

// Makes the folder (and its parents) / the file (and its folders) on the test drive.
bool MakeTestFolder(std::u16string_view path);
bool MakeTestFile(std::u16string_view path, std::string_view bytes = {}, bool hidden = false);

// Sets a file's last change (ListingEntry::lastWrite units).
bool SetLastWriteTime(std::u16string_view path, int64_t lastWrite);
// A second name of an existing file (a hard link).
bool MakeHardLink(std::u16string_view path, std::u16string_view existing);

// Another program holds the file open without sharing it (hold = false lets it go).
void HoldFileOpen(std::u16string_view path, bool hold);
// ... and lets it go by itself after a while, as a virus scanner does.
void HoldFileOpenFor(std::u16string_view path, int milliseconds);

// The id of a process other than this one that runs now.
uint32_t OtherRunningProcessId();

// Whether the display's insertion point lies in its visible area.
bool InsertionPointInView(int control);

// The process's working directory (ending in a backslash) for the test.
void SetWorkingDirectory(std::u16string_view path);

// Puts an extractor as strings64.exe into the folder: our own, or one that prints the project
// file's bytes as they are (to test how its output is read).
// Our extractor; one that prints the file as it is; one that refuses every file as a downloaded
// strings64.exe does before its licence is accepted (kRefusal on standard error, exit code 1).
enum class ExtractorKind { Strings, Cat, Refusing };
inline constexpr char kRefusal[] =
    "This is the first run of this program. You must accept EULA to continue.\r\n"
    "Use -accepteula to accept EULA.\r\n";
bool InstallExtractor(std::u16string_view folder, ExtractorKind kind);
// A fresh start for a whole program: the working directory D:\Work\ with the extractor in it.
void ResetWithExtractor(ExtractorKind kind);

// The bytes of a file, or "<none>" when it cannot be read.
std::string FileBytes(std::u16string_view path);

// Every file and folder below the folder, one per line in sorted order: its path below the folder,
// and for a file its size and last change; for telling a tree is exactly as it was.
std::u16string TreeOf(std::u16string_view folder);

// Printable form of a UTF-16 string for failure messages.
std::string Show(std::u16string_view text);

}  // namespace testsupport

}  // namespace spurlese

// The procedures the program's logic calls on its platform. Exactly one implementation is
// linked into each build: platform/win32 (the product) or platform/headless (in-memory, for
// tests). The logic never sees a native handle: windows and controls are named by number,
// listings by an opaque handle.
//
// Results follow the program's convention: booleans for tests, sizes with negative codes,
// empty strings for "nothing". Nothing here throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// ---- Text -------------------------------------------------------------------------------

// Lower-cases every UTF-16 unit as the platform's CharLowerBuffW does (Unicode simple lower
// case, one unit in, one unit out), so lengths and positions never change.
std::u16string LowerCase(std::u16string_view text);

// UTF-8 to UTF-16; every byte that cannot start or continue a valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// ---- Main window ------------------------------------------------------------------------

// The program has one top-level window, number 1.
constexpr int kMainWindow = 1;

// Opens window `window` hidden, centred on the primary display, with a client area of the
// given size in 96-DPI units. False when it cannot be created (or already exists).
bool OpenWindow(int window, std::u16string_view title, int clientWidth, int clientHeight);

// Destroys the window and every control in it. Does nothing for a window that does not exist.
void CloseWindow(int window);

bool WindowExists(int window);
void ShowWindow(int window, bool show);

// ---- Controls -------------------------------------------------------------------------

enum class ControlKind {
    Container,    // holds other controls; no content of its own
    Frame,        // group box with a caption
    Label,        // static text
    PushButton,   // caption; raises a control event when clicked
    CheckBox,     // state 0 or 1, toggled by the user
    Slider,       // minimum <= position <= maximum
    ProgressBar,  // minimum, maximum, value
    TextDisplay,  // read-only multi-line text, word wrap, no length limit
    ImageButton,  // normal and pressed image; raises a control event when clicked
};

struct ControlSpec {
    int number = 0;  // 1..22; also the native control id
    ControlKind kind = ControlKind::Label;
    int parent = 0;  // a container's number, or 0 for the main window itself
    int x = 0, y = 0, width = 0, height = 0;  // 96-DPI units, relative to the parent
    std::u16string caption;
    bool captionLeft = false;  // push buttons: caption left-aligned
    bool tickMarks = false;    // sliders
};

// Creates a control in the main window (or in one of its containers). False when the main
// window or the parent does not exist, the number is taken, or the platform refuses.
bool CreateControl(const ControlSpec& spec);

// Every operation below does nothing (or returns 0 / "") for a number that names no control.
bool ControlExists(int control);

std::u16string GetCaption(int control);
void SetCaption(int control, std::u16string_view caption);

// A check box's state (0 or 1), a slider's position, a progress bar's shown value.
int64_t GetState(int control);
// A slider's position (pulled into its range) or a progress bar's value (shown as the nearest
// end of the range when outside it); a check box's state, as a click would leave it.
void SetState(int control, int64_t value);

// One end of a slider's or progress bar's range. A slider's position follows a range end that
// moves past it.
void SetMinimum(int control, int64_t value);
void SetMaximum(int control, int64_t value);
int64_t GetMinimum(int control);
int64_t GetMaximum(int control);

// Text displays. AppendLine moves the insertion point to the end, inserts a line break when the
// display already holds text, then the text; the insertion point ends after it.
void AppendLine(int control, std::u16string_view text);
// Scrolls the display so that its insertion point is visible (EM_SCROLLCARET on Windows).
void ScrollToInsertionPoint(int control);
void ClearText(int control);
// The whole text, lines separated by CR LF, no line break after the last line.
std::u16string GetText(int control);
// The length of that text, without copying it.
int64_t TextLength(int control);

void EnableControl(int control, bool enable);
void ShowControl(int control, bool show);
// Effective states: a control is enabled only while it and its container are enabled, and
// visible only while it, its container and the main window are shown.
bool IsControlEnabled(int control);
bool IsControlVisible(int control);

// ---- Files ------------------------------------------------------------------------------

// Size in bytes of a file; -1 when nothing exists there, -2 when it is a directory.
int64_t FileSize(std::u16string_view path);

// A folder listing. OpenListing joins folder, a backslash and the wildcard pattern ("*.*",
// "*.mph") and returns 0 when the folder cannot be listed. Entries come in the listing's own
// order, the folder's own "." and ".." entries included where the platform has them.
using ListingHandle = intptr_t;
struct ListingEntry {
    std::u16string name;
    bool isDirectory = false;
};
ListingHandle OpenListing(std::u16string_view folder, std::u16string_view pattern);
bool NextListingEntry(ListingHandle listing, ListingEntry* entry);  // false at the end
void CloseListing(ListingHandle listing);

// Whole-file reading and writing. False when the file cannot be opened, read or written.
bool ReadFileBytes(std::u16string_view path, std::string* bytes);
bool WriteFileBytes(std::u16string_view path, std::string_view bytes);
bool DeleteFilePath(std::u16string_view path);

// ---- Processes ----------------------------------------------------------------------------

// The process's current working directory, always ending in a backslash.
std::u16string CurrentDirectory();

// Starts `program` with the full command line, in the working directory, its window hidden and
// its standard output on an anonymous pipe (the write end is closed in this process right after
// the start); standard input and error are inherited. 0 when it cannot be started.
using ProcessHandle = intptr_t;
ProcessHandle StartProcess(std::u16string_view program, std::u16string_view commandLine,
                           std::u16string_view workingDirectory);
bool ProcessRunning(ProcessHandle process);
// Bytes waiting in the pipe now; 0 when none (also once the pipe is closed and drained).
int64_t ProcessOutputAvailable(ProcessHandle process);
// Reads up to `size` bytes that are waiting; returns how many (0 at the end of the output).
int64_t ReadProcessOutput(ProcessHandle process, char* buffer, int64_t size);
// Releases the handles; does not end the process.
void CloseProcess(ProcessHandle process);

void PauseMilliseconds(int milliseconds);

// A clock for measuring intervals, in milliseconds from an arbitrary start.
int64_t MonotonicMilliseconds();

// ---- Events -------------------------------------------------------------------------------

// Takes the next pending window event off the queue without waiting, lets the window system
// handle it (painting, sizing) and drops it. False when none was pending.
bool DropPendingEvent();

}  // namespace platform

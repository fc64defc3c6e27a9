// The procedures the program's logic calls on its platform. Exactly one implementation is
// linked into each build: platform/win32 (the product) or platform/headless (in-memory, for
// tests). The logic never sees a native handle: windows and controls are named by number,
// listings by an opaque handle.
//
// Results follow the program's convention: booleans for tests, sizes with negative codes,
// empty strings for "nothing". Nothing here throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace spurlese {

namespace platform {

// ---- Text -------------------------------------------------------------------------------

// Lower-cases every UTF-16 unit as the platform's CharLowerBuffW does (Unicode simple lower
// case, one unit in, one unit out), so lengths and positions never change.
std::u16string LowerCase(std::u16string_view text);

// UTF-8 to UTF-16; every byte that cannot start or continue a valid sequence becomes U+FFFD.
// Sizes are never narrowed; false, with *text empty, when the conversion fails (the system's
// may, for a text of gigabytes). Whoever writes a file from the result checks it.
bool ConvertUtf8ToUtf16(std::string_view bytes, std::u16string* text);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. False, with *bytes empty, on failure.
bool ConvertUtf16ToUtf8(std::u16string_view text, std::string* bytes);

// The same where a failed conversion may just give the empty text: a line that is dropped, a
// name that is looked up, a test.
inline std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string text;
    ConvertUtf8ToUtf16(bytes, &text);
    return text;
}
inline std::string Utf16ToUtf8(std::u16string_view text) {
    std::string bytes;
    ConvertUtf16ToUtf8(text, &bytes);
    return bytes;
}

// ---- Main window ------------------------------------------------------------------------

// Control numbers go from 1 up to this.
constexpr int kMaxControl = 64;

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
    bool splitButton = false;  // push buttons: an arrow beside the caption opens its menu
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

// The keyboard focus. A control that is shown and enabled takes it (false for any other); while
// another window is active, it takes it when the main window is active again, and FocusedControl
// tells the control that will have it then. FocusedControl is 0 while none of the window's
// controls has it.
bool FocusControl(int control);
int FocusedControl();

void EnableControl(int control, bool enable);
void ShowControl(int control, bool show);
// Effective states: a control is enabled only while it and its container are enabled, and
// visible only while it, its container and the main window are shown.
bool IsControlEnabled(int control);
bool IsControlVisible(int control);

// ---- Menus --------------------------------------------------------------------------------

// The menu a control offers, where Windows users look for one: a split button's on its arrow
// (also Alt+Down), a text display's in its context menu (right mouse button, Shift+F10), after
// its own "Kopieren" and "Alles markieren". Command 0 is a separator. A chosen item raises
// kMenuCommand.
struct MenuItem {
    int command = 0;
    std::u16string text;
    bool enabled = true;
};
void SetControlMenu(int control, const std::vector<MenuItem>& items);
std::vector<MenuItem> GetControlMenu(int control);

// ---- Files ------------------------------------------------------------------------------

// Size in bytes of a file; -1 when nothing exists there, -2 when it is a directory.
int64_t FileSize(std::u16string_view path);

// What is at a path: nothing, a file or a folder.
enum class PathKind { kNone, kFile, kFolder };
inline PathKind KindOfPath(std::u16string_view path) {
    const int64_t size = FileSize(path);
    return size >= 0 ? PathKind::kFile : size == -2 ? PathKind::kFolder : PathKind::kNone;
}

// Size and last change of a file, as a listing tells them (the file is not opened, so a cloud
// file's placeholder stays one); false for no file.
bool FileFacts(std::u16string_view path, int64_t* size, int64_t* lastWrite);

// A last change (ListingEntry::lastWrite) in local time, with the offset from UTC it had then.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int offsetMinutes = 0;
};
bool ToLocalTime(int64_t lastWrite, LocalTime* time);

// The handles below are distinct types, so that one cannot be passed for another; kNone (0)
// stands for none.

// A folder listing. OpenListing joins folder, a backslash and the wildcard pattern ("*.*",
// "*.mph") and returns kNone when the folder cannot be listed. Entries come in the listing's own
// order, the folder's own "." and ".." entries included where the platform has them. Listings
// may be open on workers and on the program's thread at once, each used by the thread that opened
// it.
enum class ListingHandle : intptr_t { kNone = 0 };
struct ListingEntry {
    std::u16string name;
    bool isDirectory = false;
    bool isLink = false;    // a folder that stands for another: a junction or symbolic link
    int64_t size = 0;       // bytes, of a file
    int64_t lastWrite = 0;  // 100-nanosecond steps since 1601-01-01 UTC, as Windows counts
};
ListingHandle OpenListing(std::u16string_view folder, std::u16string_view pattern);
bool NextListingEntry(ListingHandle listing, ListingEntry* entry);  // false at the end
void CloseListing(ListingHandle listing);

// Whole-file reading and writing. False when the file cannot be opened, read or written.
bool ReadFileBytes(std::u16string_view path, std::string* bytes);
bool WriteFileBytes(std::u16string_view path, std::string_view bytes);
bool DeleteFilePath(std::u16string_view path);

// Writing step by step, for replacing a file without ever losing it. CreateFileForWriting
// creates or truncates the file, not shared with other programs (kNone on failure); CloseFile is
// false when data still buffered could not be written. WritableFile tells whether a file could be
// opened for writing now, without changing it (true also when it does not exist but its folder
// does).
enum class FileHandle : intptr_t { kNone = 0 };
FileHandle CreateFileForWriting(std::u16string_view path);
bool WriteToFile(FileHandle file, std::string_view bytes);
bool FlushFile(FileHandle file);
bool CloseFile(FileHandle file);
bool WritableFile(std::u16string_view path);

// Puts `source` in the place of the existing `target` in one step, as Windows' ReplaceFileW
// does; the old target goes to `backup` (a file of that name is replaced) on the way. It fails
// while another program holds either file open or the target is read-only; and it may fail
// halfway, with the old file already at `backup` and the new one still at `source`, so that
// nothing has the target's name.
enum class ReplaceOutcome { kReplaced, kUnchanged, kTargetAtBackup };
ReplaceOutcome ReplaceWithBackup(std::u16string_view source, std::u16string_view target,
                                 std::u16string_view backup);
// Renames a file, or a folder within its volume, to a name that nothing has yet (within one
// folder: in one step).
bool RenameFile(std::u16string_view source, std::u16string_view target);
// Removes a folder that is empty; false for any other.
bool RemoveEmptyFolder(std::u16string_view path);
// The first `size` bytes of a file, all of a shorter one; false when it cannot be read.
bool ReadFileStart(std::u16string_view path, size_t size, std::string* bytes);

// What a user gives a file and a replace keeps; 0 for a file with none, or no file.
enum FileAttribute : unsigned { kHidden = 1, kSystem = 2, kNotIndexed = 4 };
unsigned KeptAttributes(std::u16string_view path);
bool SetKeptAttributes(std::u16string_view path, unsigned attributes);

// Makes the folder; true when it is there afterwards, also when it was already.
bool CreateFolder(std::u16string_view path);

// Whether both paths name the same existing folder, whatever way each reaches it (another letter
// case, a short name, a junction, "..").
bool SameFolder(std::u16string_view a, std::u16string_view b);

// Reading a file piece by piece, so that a whole video need not fit in memory: kNone when it
// cannot be opened (others may read it meanwhile, not write it). ReadFromFile reads up to `size`
// bytes from `offset` and returns how many it read: fewer only at the file's end, -1 on failure.
// The handle is closed with CloseFile.
FileHandle OpenFileForReading(std::u16string_view path);
int64_t ReadFromFile(FileHandle file, int64_t offset, char* buffer, int64_t size);

// A file's identity: its volume and its number there. Two names of one file (hard links) have
// the same; false when the file cannot be opened.
struct FileKey {
    uint64_t volume = 0, index = 0, indexHigh = 0;  // ReFS numbers files in 128 bits
    bool operator==(const FileKey&) const = default;
};
bool KeyOfFile(std::u16string_view path, FileKey* key);
// The same for a file open for reading, cheaply: only its number, with `volume` 0. Such keys tell
// files apart within one volume, as the files of one walk of the archive are (it follows no link
// or mount point); the volume's serial costs more than the rest under Wine.
bool KeyOfOpenFile(FileHandle file, FileKey* key);

// The path of an existing file or folder as the file system knows it, every junction and symbolic
// link on the way followed ("Q:\Echt\bild.jpg" for "Q:\Link\bild.jpg"), in a drive-letter
// or "\\server\share" form; empty when nothing is there.
std::u16string FinalPath(std::u16string_view path);

// Why the last file operation of this thread failed, in the system's words; a full disk is told
// apart, since it stops what any further write would fail in the same way, and a rename to
// another volume, which only a copy can do.
enum class FileErrorKind { kNone, kDiskFull, kOtherVolume, kOther };
struct FileError {
    FileErrorKind kind = FileErrorKind::kNone;
    std::u16string reason;
};
FileError LastFileError();

// Copies the file `source` to a new file `target` (nothing may have that name yet) on a thread of
// its own, so that the window goes on meanwhile: the bytes, then the source's creation and last
// change times, then everything flushed to the disk. An unfinished target is left where it is, for
// the caller to delete. kNone when the copy cannot even be begun.
enum class CopyHandle : intptr_t { kNone = 0 };
CopyHandle StartFileCopy(std::u16string_view source, std::u16string_view target);
// Waits at most `milliseconds` for the copy to end; true once it has. *copied: the bytes so far.
bool WaitFileCopy(CopyHandle copy, int milliseconds, int64_t* copied);
// How the copy ended (waiting for the end) and releases it: done with the bytes written, or why
// not.
struct CopyOutcome {
    bool done = false;
    int64_t bytes = 0;
    FileError error;
};
CopyOutcome FinishFileCopy(CopyHandle copy);
// Asks the copy to stop: it ends within a piece of its bytes, not done; the target is left for
// the caller to delete.
void CancelFileCopy(CopyHandle copy);

// The volume a path lies on: its file system ("NTFS", "FAT32", "exFAT", ...) and the bytes this
// user may still write there. False when it cannot be told.
struct VolumeFacts {
    std::u16string fileSystem;
    int64_t freeBytes = 0;
};
bool QueryVolume(std::u16string_view path, VolumeFacts* facts);

// ---- Pictures -------------------------------------------------------------------------------

// A small picture of a file, written as a JPEG, decoded by the system's own codecs (so a HEIC
// shows where the system can decode it) or, for a video, taken from the system's thumbnail
// provider. Turned upright by the EXIF orientation and made at most `maxSide` on its long side.
struct ThumbnailRequest {
    std::u16string source;  // the file
    std::string encoded;  // a picture's bytes to decode instead of the file (an embedded thumbnail)
    bool asIs = false;    // `encoded` is the thumbnail already: written as it is
    int orientation = 1;  // EXIF: 1 upright ... 8
    int maxSide = 256;
    bool video = false;
};
enum class ThumbnailOutcome {
    kMade,
    kNoPicture,  // the system cannot decode it, or gives no frame of a video
    kFailed,     // the thumbnail could not be written
};
ThumbnailOutcome WriteThumbnail(const ThumbnailRequest& request, std::u16string_view target);

// ---- Work on threads of its own -------------------------------------------------------------

// Runs work(0) ... work(count - 1), each once, on `threads` threads of their own while the
// program goes on (the headless platform runs one at each wait, in order). A job touches only its
// own data and calls only the file and picture procedures above.
enum class WorkHandle : intptr_t { kNone = 0 };
WorkHandle StartWork(size_t count, int threads, std::function<void(size_t job)> work);
// Waits at most `milliseconds` (a message for the window ends the wait early); true once every
// job has ended. *done: the jobs ended so far.
bool WaitWork(WorkHandle work, int milliseconds, size_t* done);
// Begins no further job (when `cancel`), waits for those under way and releases the work.
void FinishWork(WorkHandle work, bool cancel);

// ---- Processes ----------------------------------------------------------------------------

// The first call of the program: from now on the process loads the libraries it (or a system
// library on its behalf) asks for by name only from the system folder, never from the program's
// own folder, where anyone who can drop a file beside it (a Downloads folder) could plant one.
void LoadLibrariesOnlyFromSystem();

// How many processors the computer has, at least 1.
int ProcessorCount();

// The process's id: no other running process has it.
uint32_t CurrentProcessId();
// Whether a process with this id runs now (true also when that cannot be told).
bool ProcessIdRunning(uint32_t id);

// The process's current working directory, always ending in a backslash.
std::u16string CurrentDirectory();

// Starts `program` with the full command line, in the working directory, its window hidden and
// its standard output and error on anonymous pipes (the write ends are closed in this process
// right after the start); standard input is inherited. A start takes a while, so a platform may
// make it while the program goes on: kNone when it fails at once, else ProcessStarted tells,
// waiting for the start to be done. Every other operation on the process waits for it too.
enum class ProcessHandle : intptr_t { kNone = 0 };
ProcessHandle StartProcess(std::u16string_view program, std::u16string_view commandLine,
                           std::u16string_view workingDirectory);
bool ProcessStarted(ProcessHandle process);
bool ProcessRunning(ProcessHandle process);
// Bytes waiting in the pipe now; 0 when none (also once the pipe is closed and drained).
int64_t ProcessOutputAvailable(ProcessHandle process);
// Reads up to `size` bytes; returns how many (0 at the end of the output). Waits for bytes while
// the process still runs and has written none, so ask ProcessOutputAvailable first; once it has
// ended, it returns at once.
int64_t ReadProcessOutput(ProcessHandle process, char* buffer, int64_t size);
// The exit code of a process that has ended; -1 while it runs or when it cannot be told.
int64_t ProcessExitCode(ProcessHandle process);
// The first kKeptErrorOutput bytes the process wrote to its standard error (the rest is read and
// dropped, so it can never fill the pipe and hold the process); complete once the process has
// ended and its output is read to the end.
constexpr size_t kKeptErrorOutput = 4096;
std::string ProcessErrorOutput(ProcessHandle process);
// Brings the process's visible top-level windows to the front (a licence question, say), as far
// as Windows lets a program do that; false when it has none.
bool BringProcessWindowsToFront(ProcessHandle process);
// Releases the handles; does not end the process.
void CloseProcess(ProcessHandle process);

void PauseMilliseconds(int milliseconds);

// A clock for measuring intervals, in milliseconds from an arbitrary start.
int64_t MonotonicMilliseconds();
// Now, as ListingEntry::lastWrite counts.
int64_t CurrentTime();

// ---- Window geometry ----------------------------------------------------------------------
// Every position and size below is in 96-DPI units: the platform scales what it sets by the
// display's DPI factor and unscales what it reads, so the logic never sees device pixels.

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// MoveControl leaves a value that is kKeep as it is.
constexpr int kKeep = -2147483647 - 1;

void SetMinimumClientSize(int window, int width, int height);
// False (and zeros) for a window that does not exist.
bool GetClientSize(int window, int* width, int* height);
// The outer frame on the screen.
bool GetFrameRect(int window, Rect* frame);
// Puts the outer frame at x, y and gives the client area the size; a maximised or minimised
// window is restored to normal first. Raises a size-changed event when the client size changes.
void PlaceWindow(int window, int x, int y, int clientWidth, int clientHeight);
// An opaque non-zero value naming the window's native window; 0 when it does not exist.
intptr_t WindowNativeHandle(int window);
// Repaints the whole client area, background erased.
void InvalidateWindow(int window);

// A control's position relative to its parent, and its size.
Rect GetControlRect(int control);
void MoveControl(int control, int x, int y, int width, int height);

// Displays, the primary one first; their sizes in the same units as the window geometry.
int EnumerateDisplays();
bool DisplaySize(int index, int* width, int* height);

// ---- Fonts, tooltips, images -----------------------------------------------------------

// Gives the control a font of its own; an empty face means the default GUI font.
void SetControlFont(int control, std::u16string_view face, int points);
struct FontInfo {
    std::u16string face;  // empty: the default GUI font
    int points = 0;
};
FontInfo GetControlFont(int control);

// One shared top-most tooltip window serves every control; an ampersand shows as it is.
// Attaching a text to a control that has one replaces it.
void SetTooltip(int control, std::u16string_view text);
std::u16string GetTooltip(int control);

// An image made from one picture of an icon file: the device-independent bitmap of the entry
// (header, colours, mask), as stored in the ICO container. kNone when it cannot be made.
enum class ImageHandle : intptr_t { kNone = 0 };
ImageHandle CreateIconImage(std::string_view picture, int width, int height);
struct ImageInfo {
    int width = 0, height = 0, bitsPerPixel = 0;
};
bool DescribeImage(ImageHandle image, ImageInfo* info);
// The image an image button shows, normal and pressed.
void SetButtonImage(int control, ImageHandle image);
ImageHandle GetButtonImage(int control);

// ---- Events -------------------------------------------------------------------------------

// The kinds of event, with the numbers they have always had (tests and logs show them).
enum class EventKind : int {
    kNone = 0,
    kControlEvent = 13100,   // a control reports user activity
    kCloseRequest = 13116,   // the user asks to close a window
    kSizeChanged = 13118,    // a window's client area changed size (not minimised)
    kSessionEnding = 13120,  // the user logs off or shuts Windows down
    kItemsDropped = 13121,   // files or folders were dropped on a window
    kMenuCommand = 13122,    // an item of a control's menu was chosen
    kLineActivated = 13123,  // a display's line was double-clicked, or Enter pressed on it
    kCancelRequest = 13124,  // Escape in the main window
};
using enum EventKind;

struct Event {
    EventKind number = kNone;
    int control = 0;  // the control that raised a control event or whose menu it was, else 0
    int window = 0;
    int command = 0;    // a menu item's
    int64_t line = -1;  // a display's line (from 0) the menu was opened on, or that was activated
};

// Waits (without time-out) for the next event; painting, sizing and keyboard navigation
// between the controls are handled on the way.
void WaitEvent(Event* event);

// Binds a callback to an event of every window. Size-changed callbacks run at once inside the
// platform's handling of the size change, the one bound last first; the event itself is queued
// afterwards, replacing a size-changed event of the same window that is still waiting.
// Session-ending callbacks run at once too, since the process may be ended as soon as the
// platform's handling returns; then a close request for the main window is queued.
using EventCallback = void (*)(const Event& event);
void BindEvent(EventKind kind, EventCallback callback);

// The full paths of what the last kItemsDropped event dropped, in the order given.
std::vector<std::u16string> DroppedItems();

// Takes the next pending window event off the queue without waiting, lets the window system
// handle it (painting, sizing) and drops it. False when none was pending.
bool DropPendingEvent();

// While the program is busy with a long task: lets the window system handle what is pending
// (painting, sizing, moving, keyboard navigation), then takes the program's next event off the
// queue without waiting. False when none is there.
bool PollEvent(Event* event);

// ---- Dialogs and the shell ------------------------------------------------------------------

// Message-box flags, as Windows numbers them.
constexpr unsigned kStopIcon = 16;
constexpr unsigned kWarningIcon = 48;
constexpr unsigned kInformationIcon = 64;
constexpr unsigned kYesNoCancelButtons = 3;
constexpr unsigned kYesNoButtons = 4;
// Buttons pressed, as Windows numbers them.
constexpr int kOkPressed = 1;
constexpr int kCancelPressed = 2;
constexpr int kYesPressed = 6;
constexpr int kNoPressed = 7;

// Modal, owned by the main window when it exists. Returns the button pressed.
int ShowMessageBox(std::u16string_view title, std::u16string_view text, unsigned flags);

// What a dialog gave: the chosen path, or why there is none. `reason` says, in the system's
// words, why a dialog failed.
enum class DialogOutcome { kChosen, kCancelled, kFailed };
struct DialogResult {
    DialogOutcome outcome = DialogOutcome::kCancelled;
    std::u16string path;
    std::u16string reason;
};

// The folder picker: Windows' own folder dialog, modal, with the instruction as its title,
// starting at `startFolder`. The chosen folder ends with a backslash. No length limit.
DialogResult ChooseFolder(std::u16string_view instruction, std::u16string_view startFolder);

// The save dialog, with the proposed file name and the file types: `filter` is descriptions and
// patterns in turn, separated by "|" (a missing or empty pattern lists every file), `filterIndex`
// counts from 1. The folder must exist, no overwrite question, no default extension, the working
// directory stays as it is. No length limit: a full path typed into the name field is taken.
DialogResult ChooseSaveFile(std::u16string_view title, std::u16string_view proposedFile,
                            std::u16string_view filter, int filterIndex);

// Opens a document or address with its associated program, or starts a program; no waiting.
// A folder opens in Explorer.
bool ShellOpen(std::u16string_view file, std::u16string_view parameters,
               std::u16string_view workingDirectory);

// Opens Explorer on the folder that holds the file (or folder), with it selected.
bool ShowInFolder(std::u16string_view path);

// The progress the program's taskbar button shows: none, a share done, or red (a task that ended
// with failures).
enum class TaskbarState { kNone, kNormal, kError };
void SetTaskbarProgress(TaskbarState state, int64_t done, int64_t total);

// ---- The process ------------------------------------------------------------------------------

// Full path of the running program's executable.
std::u16string ExecutablePath();

// Releases windows, fonts, images, tooltips and event bindings.
void ReleasePlatform();

// Releases the platform and ends the process with the exit code.
[[noreturn]] void EndProcess(int exitCode);

}  // namespace platform

}  // namespace spurlese

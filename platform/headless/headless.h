// What tests can do to the headless platform beyond platform.h: start from nothing, lay out an
// in-memory file system, and inject the faults a real disk has.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace spurlese {

namespace headless {

// Forgets every window, control, file and fault.
void ResetPlatform();

// File system. Paths are Windows paths ("D:\a\b.jpg", either separator); missing parent
// folders are created on the way. A drive exists once anything was made on it.
// Attributes are platform::FileAttribute flags.
bool MakeFolder(std::u16string_view path);
bool MakeFile(std::u16string_view path, std::string_view bytes = {}, unsigned attributes = 0);
// A second name of an existing file, as a hard link is: KeyOfFile gives both names one key. The
// model keeps two copies of the bytes, so a link is for reading; a change through one name does
// not show through the other.
bool MakeHardLink(std::u16string_view path, std::u16string_view existing);
// A junction: a folder that stands for the target folder in every path through it.
bool MakeFolderLink(std::u16string_view path, std::u16string_view target);
// Makes the folder a reparse point with this tag (Windows' IO_REPARSE_TAG_* values): a cloud
// drive's placeholder (0x9000601A, OneDrive) stays a folder with its contents; a tag with the
// name-surrogate bit (0x20000000, as junctions and symbolic links have) lists as a link.
void SetReparseTag(std::u16string_view folder, uint32_t tag);
// Gives a file or folder an 8.3 alias ("SCHR~I1E"), as Windows does for long names: every path
// through it resolves as through the long name, and a listing's pattern matches either.
bool SetShortName(std::u16string_view path, std::u16string_view shortName);
// A file's last change, as ListingEntry counts it (0 after MakeFile).
void SetLastWrite(std::u16string_view file, int64_t lastWrite);

// Faults: a folder that cannot be listed; a file that cannot be opened for reading or writing.
void SetUnlistable(std::u16string_view folder, bool unlistable = true);
void SetUnreadable(std::u16string_view file, bool unreadable = true);
// An unwritable folder takes no new file or folder.
void SetUnwritable(std::u16string_view path, bool unwritable = true);
// The drive ("E:") takes only this many more bytes; every drive has room without limit after a
// reset.
void SetFreeSpace(std::u16string_view drive, int64_t bytes);
// The drive's file system ("FAT32", "exFAT"); NTFS after a reset.
void SetFileSystem(std::u16string_view drive, std::u16string_view fileSystem);
// A copy moves on by this many bytes at each wait (default 1 MiB).
void SetCopyChunk(size_t bytes);
// Another program holds the file open, unshared, until this much more time has passed in pauses
// (a virus scanner or indexer looking at a file just written).
void HoldFor(std::u16string_view file, int64_t milliseconds);

// The next StartWork fails, as when Windows cannot start a thread.
void FailNextWorkStart();

// The next UTF-8/UTF-16 conversion fails, as the system's may for a text of gigabytes.
void FailNextConversion();

// Faults of the file operations themselves: platform/file_faults.h.

// Processes other than this one that run now (by id), for telling whose temporary files are left
// over; none after a reset.
void SetRunningProcessIds(std::vector<uint32_t> ids);

// Whether the insertion point of a text display was scrolled into view since its text last
// changed.
bool InsertionPointInView(int control);

// Processes. A program is a file in the in-memory file system with a behaviour: given its
// command line it writes its standard output and returns its exit code.
using ProgramBehaviour = std::function<int(std::u16string_view commandLine, std::string* output)>;
bool InstallProgram(std::u16string_view path, ProgramBehaviour behaviour);
// The same for a program that also writes to its standard error.
using ProgramWithErrors =
    std::function<int(std::u16string_view commandLine, std::string* output, std::string* errors)>;
bool InstallProgramWithErrors(std::u16string_view path, ProgramWithErrors behaviour);

// The pipe hands out at most this many bytes per read (default 4096), as a real pipe does.
void SetPipeChunk(size_t bytes);

struct StartedProcess {
    std::u16string program, commandLine, workingDirectory;
};
const std::vector<StartedProcess>& StartedProcesses();

// Listings, files being written and processes not yet closed.
size_t OpenHandles();

void SetCurrentDirectory(std::u16string_view path);  // ends in a backslash
int64_t PausedMilliseconds();                        // the sum of all pauses

// Values a control's state was set to, oldest first (sliders and progress bars).
std::vector<int64_t> StateHistory(int control);

// ---- The user, scripted -----------------------------------------------------------------
// WaitEvent plays the queued actions in order. A click or slide on a control the user cannot
// reach (hidden or disabled) is ignored, as it would be on screen. Once the script is over,
// WaitEvent reports a close request for the main window, so a program under test always ends.

void QueueClick(int control);  // push button, image button, or check box (which toggles)
void QueueSlide(int control, int64_t position);
void QueueSessionEnd();  // the user logs off with the program open
// The user chooses the item of a control's menu; for a display, on this line (from 0).
void QueueMenuChoice(int control, int command, int64_t line = -1);
// The user double-clicks a display's line (or presses Enter on it).
void QueueLineActivation(int control, int64_t line);
// The user drops these files or folders (full paths) from Explorer on the window.
void QueueDrop(const std::vector<std::u16string>& items);
void QueueResize(int clientWidth, int clientHeight);
void QueueMinimise();
void QueueMaximise();
void QueueRestore();
// The user looks at the screen: the test's own checks run at this point of the script.
void QueueLook(std::function<void()> look);
size_t PendingActions();
int IgnoredActions();

// An event the user raises while the program is busy: it waits in the queue from the moment
// the next process starts.
void RaiseDuringNextProcess(const platform::Event& event);

// Answers for the dialogs, used in order; a missing answer is a cancel. A folder answer gets
// its trailing backslash as the real picker gives it.
void QueueFolderAnswer(std::u16string_view folder);
void QueueSaveAnswer(std::u16string_view path);
// The next dialog of the kind fails (Windows could not show it), for this reason.
void QueueFolderFailure(std::u16string_view reason);
void QueueSaveFailure(std::u16string_view reason);

// Every message box and dialog the program opened, in order. For a message box: title, text,
// flags; a folder picker: text = instruction, extra = start folder; a save dialog: title,
// text = proposed file, extra = filter, flags = filter index.
struct DialogCall {
    std::u16string kind;  // "message", "folder", "save"
    std::u16string title, text, extra;
    unsigned flags = 0;
};
const std::vector<DialogCall>& DialogCalls();

// Answers for the message boxes, used in order (platform::kYesPressed, ...); without one, a box
// is answered OK, a question No.
void QueueMessageAnswer(int button);

// An event the user raises while the program is busy with a long task: delivered by the poll-th
// call of PollEvent since the reset (counting from 1).
void RaiseAtPoll(int poll, const platform::Event& event);

struct ShellCall {
    std::u16string file, parameters, workingDirectory;
};
const std::vector<ShellCall>& ShellCalls();
// The paths Explorer was asked to show selected in their folders, in order.
const std::vector<std::u16string>& ShownInFolder();

// What the taskbar button shows now.
struct TaskbarProgress {
    platform::TaskbarState state = platform::TaskbarState::kNone;
    int64_t done = 0, total = 0;
};
TaskbarProgress Taskbar();

// The running program's path (default C:\Programme\Spurlese\Spurlese.exe). The one display
// is 1280 x 1024.
void SetExecutablePath(std::u16string_view path);

}  // namespace headless

}  // namespace spurlese

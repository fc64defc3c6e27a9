// Child processes with their standard output and error on anonymous pipes.
//
// Starting a process, and every read of its pipe, takes Windows a while (Wine far longer, as each
// goes through its server, which the processes being started keep busy), and the calling thread
// waits. A scan asks for the extractors of the next files ahead, so every process has a thread of
// its own that starts it and reads its output as it comes, into memory of bounded size; the
// program's thread takes the output from there and waits for Windows only when it needs what is
// not there yet. Starts are made one at a time, so no child inherits the pipe of another.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// Output read but not yet taken is kept up to this much; then the reading thread waits, so an
// extractor that prints without end cannot fill the memory.
constexpr size_t kKeptOutput = size_t{4} << 20;
constexpr DWORD kReadPiece = 1 << 16;

// A process and what its thread has read of it. The thread writes `process` and `started` before
// it sets `startDone`; the output is shared under the lock.
struct Child {
    std::u16string program, commandLine, directory;
    OwnedHandle startDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OwnedHandle process;
    bool started = false;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::string output;
    size_t taken = 0;
    std::string errors;      // the first kKeptErrorOutput bytes of standard error
    OwnedHandle errorEnd;    // the read end of standard error's pipe, for its own thread
    bool ended = false;      // the pipes are closed and all of them read
    bool abandoned = false;  // the program let go of the process: its output is not kept
};

SRWLOCK gStartLock = SRWLOCK_INIT;

// Makes the process with its pipe; the read end of the pipe, or none when it cannot be started.
OwnedHandle MakeProcess(Child* child) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readHandle = nullptr, writeHandle = nullptr;
    if (!CreatePipe(&readHandle, &writeHandle, &inherit, kReadPiece)) return OwnedHandle();
    OwnedHandle readEnd(readHandle), writeEnd(writeHandle);
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);  // only the write end goes across
    if (!CreatePipe(&readHandle, &writeHandle, &inherit, 0)) return OwnedHandle();
    OwnedHandle errorRead(readHandle), errorWrite(writeHandle);
    SetHandleInformation(errorRead.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = errorWrite.Get();

    PROCESS_INFORMATION info = {};
    const BOOL started =
        CreateProcessW(W(child->program), reinterpret_cast<wchar_t*>(child->commandLine.data()),
                       nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       child->directory.empty() ? nullptr : W(child->directory), &startup, &info);
    writeEnd.Reset();  // the child holds the only write ends now: the pipes end with it
    errorWrite.Reset();
    if (!started) return OwnedHandle();
    child->errorEnd = std::move(errorRead);
    const OwnedHandle thread(info.hThread);
    child->process = OwnedHandle(info.hProcess);
    child->started = true;
    return readEnd;
}

// Keeps what was read, waiting while as much as may be kept is not taken yet.
void Keep(Child* child, const char* bytes, size_t size) {
    AcquireSRWLockExclusive(&child->lock);
    while (!child->abandoned && child->output.size() - child->taken >= kKeptOutput)
        SleepConditionVariableSRW(&child->changed, &child->lock, INFINITE, 0);
    if (!child->abandoned) {
        child->output.erase(0, child->taken);
        child->taken = 0;
        child->output.append(bytes, size);
    }
    ReleaseSRWLockExclusive(&child->lock);
    WakeAllConditionVariable(&child->changed);
}

// The thread of a process's standard error: keeps the first bytes, reads and drops the rest.
DWORD WINAPI ReadErrors(void* parameter) {
    Child* child = static_cast<Child*>(parameter);
    char piece[1024];
    DWORD got = 0;
    while (ReadFile(child->errorEnd.Get(), piece, sizeof(piece), &got, nullptr) && got > 0) {
        AcquireSRWLockExclusive(&child->lock);
        const size_t room = kKeptErrorOutput - std::min(kKeptErrorOutput, child->errors.size());
        child->errors.append(piece, std::min<size_t>(room, got));
        ReleaseSRWLockExclusive(&child->lock);
    }
    return 0;
}

// The thread of a process: starts it, then reads its output to the end.
DWORD WINAPI RunChild(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Child>> owned(
        static_cast<std::shared_ptr<Child>*>(parameter));
    Child* child = owned->get();
    AcquireSRWLockExclusive(&gStartLock);
    const OwnedHandle readEnd = MakeProcess(child);
    ReleaseSRWLockExclusive(&gStartLock);
    SetEvent(child->startDone.Get());
    if (readEnd) {
        const OwnedHandle errorThread(CreateThread(nullptr, 64 * 1024, ReadErrors, child,
                                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        std::vector<char> piece(kReadPiece);
        DWORD got = 0;
        while (ReadFile(readEnd.Get(), piece.data(), kReadPiece, &got, nullptr) && got > 0)
            Keep(child, piece.data(), got);
        // Standard error ends with the process, unless a process it started holds on to it:
        // then what came so far will do.
        if (errorThread && WaitForSingleObject(errorThread.Get(), 2000) == WAIT_TIMEOUT) {
            CancelSynchronousIo(errorThread.Get());
            WaitForSingleObject(errorThread.Get(), INFINITE);
        }
    }
    AcquireSRWLockExclusive(&child->lock);
    child->ended = true;
    ReleaseSRWLockExclusive(&child->lock);
    WakeAllConditionVariable(&child->changed);
    return 0;
}

struct Process {
    std::shared_ptr<Child> child;
    OwnedHandle thread;
};

std::map<ProcessHandle, Process> gProcesses;
std::vector<OwnedHandle> gLetGo;  // threads of processes let go of, until they end
intptr_t gNextProcess = 1;

// The process's child, once its start is done (waiting for it).
Child* FindChild(ProcessHandle handle) {
    auto it = gProcesses.find(handle);
    if (it == gProcesses.end()) return nullptr;
    Child* child = it->second.child.get();
    WaitForSingleObject(child->startDone.Get(), INFINITE);
    return child;
}

}  // namespace

void LoadLibrariesOnlyFromSystem() {
    // Looked up, not imported: Windows 7 without update KB2533623 lacks it, and the program must
    // still start there.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // and never from the working directory
}

int ProcessorCount() {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? static_cast<int>(system.dwNumberOfProcessors) : 1;
}

uint32_t CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessIdRunning(uint32_t id) {
    const OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    // No such process; a process that runs but may not be asked is taken as running.
    if (!static_cast<bool>(process)) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    return !GetExitCodeProcess(process.Get(), &code) || code == STILL_ACTIVE;
}

std::u16string CurrentDirectory() {
    std::u16string path(GetCurrentDirectoryW(0, nullptr) + 1, u'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(path.size()),
                                              reinterpret_cast<wchar_t*>(path.data()));
    path.resize(length);
    if (path.empty() || path.back() != u'\\') path.push_back(u'\\');
    return path;
}

ProcessHandle StartProcess(std::u16string_view program, std::u16string_view commandLine,
                           std::u16string_view workingDirectory) {
    auto child = std::make_shared<Child>();
    if (!child->startDone) return ProcessHandle::kNone;
    child->program = program;
    child->commandLine = commandLine;  // CreateProcessW may write into it
    child->directory = workingDirectory;
    auto* parameter = new std::shared_ptr<Child>(child);
    // A small stack: the thread only starts a process and reads a pipe.
    OwnedHandle thread(CreateThread(nullptr, 64 * 1024, RunChild, parameter,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        delete parameter;
        return ProcessHandle::kNone;
    }
    const ProcessHandle handle{gNextProcess++};
    gProcesses[handle] = {std::move(child), std::move(thread)};
    return handle;
}

bool ProcessStarted(ProcessHandle handle) {
    const Child* child = FindChild(handle);
    return child && child->started;
}

void win32::StopStartingProcesses() {
    // Threads of processes let go of end with their process; each is given a moment.
    for (OwnedHandle& thread : gLetGo) WaitForSingleObject(thread.Get(), 2000);
    gLetGo.clear();
}

bool ProcessRunning(ProcessHandle handle) {
    const Child* child = FindChild(handle);
    return child && child->started && WaitForSingleObject(child->process.Get(), 0) == WAIT_TIMEOUT;
}

int64_t ProcessOutputAvailable(ProcessHandle handle) {
    Child* child = FindChild(handle);
    if (!child) return 0;
    AcquireSRWLockShared(&child->lock);
    const size_t available = child->output.size() - child->taken;
    ReleaseSRWLockShared(&child->lock);
    return static_cast<int64_t>(available);
}

int64_t ReadProcessOutput(ProcessHandle handle, char* buffer, int64_t size) {
    Child* child = FindChild(handle);
    if (!child || !child->started || size <= 0) return 0;
    AcquireSRWLockExclusive(&child->lock);
    while (child->output.size() == child->taken && !child->ended)
        SleepConditionVariableSRW(&child->changed, &child->lock, INFINITE, 0);
    const size_t got = std::min(static_cast<size_t>(size), child->output.size() - child->taken);
    child->output.copy(buffer, got, child->taken);
    child->taken += got;
    ReleaseSRWLockExclusive(&child->lock);
    WakeAllConditionVariable(&child->changed);
    return static_cast<int64_t>(got);
}

int64_t ProcessExitCode(ProcessHandle handle) {
    const Child* child = FindChild(handle);
    DWORD code = 0;
    if (!child || !child->started ||
        WaitForSingleObject(child->process.Get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child->process.Get(), &code)) {
        return -1;
    }
    return code;
}

std::string ProcessErrorOutput(ProcessHandle handle) {
    Child* child = FindChild(handle);
    if (!child || !child->started) return {};
    AcquireSRWLockShared(&child->lock);
    const std::string errors = child->ended ? child->errors : std::string();
    ReleaseSRWLockShared(&child->lock);
    return errors;
}

namespace {

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK TakeWindowOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

}  // namespace

bool BringProcessWindowsToFront(ProcessHandle handle) {
    const Child* child = FindChild(handle);
    if (!child || !child->started) return false;
    WindowSearch search{GetProcessId(child->process.Get()), {}};
    EnumWindows(TakeWindowOf, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        // The program is in the foreground while the user waits for its scan, so Windows lets
        // it hand the foreground on.
        SetForegroundWindow(window);
    }
    return !search.found.empty();
}

void CloseProcess(ProcessHandle handle) {
    auto it = gProcesses.find(handle);
    if (it == gProcesses.end()) return;
    Child* child = it->second.child.get();
    AcquireSRWLockExclusive(&child->lock);
    child->abandoned = true;
    child->output.clear();
    child->taken = 0;
    ReleaseSRWLockExclusive(&child->lock);
    WakeAllConditionVariable(&child->changed);
    // The thread reads on until the process ends, then lets go of what it holds.
    if (WaitForSingleObject(it->second.thread.Get(), 0) == WAIT_TIMEOUT)
        gLetGo.push_back(std::move(it->second.thread));
    gProcesses.erase(it);
}

void PauseMilliseconds(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

int64_t MonotonicMilliseconds() {
    return static_cast<int64_t>(GetTickCount64());
}

}  // namespace platform

}  // namespace spurlese

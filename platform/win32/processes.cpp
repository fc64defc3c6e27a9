// Child processes with their standard output on an anonymous pipe, polled from the GUI thread.
#include <map>

#include "platform/win32/win32_internal.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

struct Process {
    OwnedHandle process;
    OwnedHandle output;  // read end of the pipe
};

std::map<ProcessHandle, Process> gProcesses;
intptr_t gNextProcess = 1;

Process* FindProcess(ProcessHandle handle) {
    auto it = gProcesses.find(handle);
    return it == gProcesses.end() ? nullptr : &it->second;
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
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readHandle = nullptr, writeHandle = nullptr;
    if (!CreatePipe(&readHandle, &writeHandle, &inherit, 1 << 16)) return ProcessHandle::kNone;
    OwnedHandle readEnd(readHandle), writeEnd(writeHandle);
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);  // only the write end goes across

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

    const std::u16string programText(program);
    std::u16string line(commandLine);  // CreateProcessW may write into it
    const std::u16string directory(workingDirectory);
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessW(
        W(programText), reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr, TRUE,
        CREATE_NO_WINDOW, nullptr, directory.empty() ? nullptr : W(directory), &startup, &info);
    writeEnd.Reset();  // the child holds the only write end now: the pipe ends with it
    if (!started) return ProcessHandle::kNone;
    const OwnedHandle thread(info.hThread);
    const ProcessHandle handle{gNextProcess++};
    gProcesses[handle] = {OwnedHandle(info.hProcess), std::move(readEnd)};
    return handle;
}

bool ProcessRunning(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    return p && WaitForSingleObject(p->process.Get(), 0) == WAIT_TIMEOUT;
}

int64_t ProcessOutputAvailable(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    DWORD available = 0;
    if (!p || !PeekNamedPipe(p->output.Get(), nullptr, 0, nullptr, &available, nullptr)) return 0;
    return available;
}

int64_t ReadProcessOutput(ProcessHandle handle, char* buffer, int64_t size) {
    const Process* p = FindProcess(handle);
    if (!p || size <= 0) return 0;
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<int64_t>(size, 1 << 30));
    if (!ReadFile(p->output.Get(), buffer, wanted, &got, nullptr)) return 0;
    return got;
}

int64_t ProcessExitCode(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    DWORD code = 0;
    if (!p || WaitForSingleObject(p->process.Get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(p->process.Get(), &code)) {
        return -1;
    }
    return code;
}

void CloseProcess(ProcessHandle handle) {
    gProcesses.erase(handle);  // its owners close the pipe and the process handle
}

void PauseMilliseconds(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

int64_t MonotonicMilliseconds() {
    return static_cast<int64_t>(GetTickCount64());
}

}  // namespace platform

}  // namespace spurlese

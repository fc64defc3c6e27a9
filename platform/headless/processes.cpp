// Processes without processes: a started program runs its behaviour at once, and its output is
// handed out through a pipe of limited chunks, so the reading side meets partial lines and
// empty polls as with a real pipe.
#include <algorithm>
#include <functional>
#include <map>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"

namespace spurlese {

namespace platform {

namespace {

struct Process {
    std::string output;
    std::string errors;
    size_t read = 0;
    bool polledEmpty = false;  // a finished process still reports "running" for one poll
    int exitCode = 0;
};

std::map<std::u16string, headless::ProgramWithErrors> gPrograms;  // by lower-cased path
std::map<ProcessHandle, Process> gProcesses;
std::vector<headless::StartedProcess> gStarted;
intptr_t gNextProcess = 1;
size_t gPipeChunk = 4096;
std::u16string gCurrentDirectory = u"C:\\";
int64_t gPaused = 0;
std::vector<uint32_t> gRunningIds;  // other processes that run now

// Work runs on the program's thread here: a job at each wait.
struct Work {
    std::function<void(size_t)> job;
    size_t count = 0, done = 0;
};
std::map<WorkHandle, Work> gWorks;
intptr_t gNextWork = 1;
bool gFailNextWork = false;  // headless::FailNextWorkStart

Process* FindProcess(ProcessHandle handle) {
    auto it = gProcesses.find(handle);
    return it == gProcesses.end() ? nullptr : &it->second;
}

}  // namespace

void ResetProcesses() {
    gWorks.clear();
    gFailNextWork = false;
    gRunningIds.clear();
    gPrograms.clear();
    gProcesses.clear();
    gStarted.clear();
    gNextProcess = 1;
    gPipeChunk = 4096;
    gCurrentDirectory = u"C:\\";
    gPaused = 0;
}

void LoadLibrariesOnlyFromSystem() {}

int ProcessorCount() {
    return 2;
}

uint32_t CurrentProcessId() {
    return 4711;
}

bool ProcessIdRunning(uint32_t id) {
    return id == CurrentProcessId() ||
           std::find(gRunningIds.begin(), gRunningIds.end(), id) != gRunningIds.end();
}

std::u16string CurrentDirectory() {
    return gCurrentDirectory;
}

ProcessHandle StartProcess(std::u16string_view program, std::u16string_view commandLine,
                           std::u16string_view workingDirectory) {
    gStarted.push_back(
        {std::u16string(program), std::u16string(commandLine), std::u16string(workingDirectory)});
    auto behaviour = gPrograms.find(LowerCase(program));
    if (FileSize(program) < 0 || behaviour == gPrograms.end()) return ProcessHandle::kNone;
    Process process;
    process.exitCode = behaviour->second(commandLine, &process.output, &process.errors);
    if (process.errors.size() > kKeptErrorOutput) process.errors.resize(kKeptErrorOutput);
    const ProcessHandle handle{gNextProcess++};
    gProcesses[handle] = std::move(process);
    OnProcessStarted();
    return handle;
}

bool ProcessStarted(ProcessHandle handle) {
    return FindProcess(handle) != nullptr;
}

bool ProcessRunning(ProcessHandle handle) {
    Process* p = FindProcess(handle);
    if (!p) return false;
    if (p->read < p->output.size()) return true;
    const bool running = !p->polledEmpty;
    p->polledEmpty = true;
    return running;
}

int64_t ProcessOutputAvailable(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    if (!p) return 0;
    return static_cast<int64_t>(std::min(gPipeChunk, p->output.size() - p->read));
}

int64_t ReadProcessOutput(ProcessHandle handle, char* buffer, int64_t size) {
    Process* p = FindProcess(handle);
    if (!p || size <= 0) return 0;
    const size_t n = std::min({gPipeChunk, p->output.size() - p->read, static_cast<size_t>(size)});
    std::copy_n(p->output.data() + p->read, n, buffer);
    p->read += n;
    return static_cast<int64_t>(n);
}

int64_t ProcessExitCode(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    if (!p || p->read < p->output.size() || !p->polledEmpty) return -1;
    return p->exitCode;
}

std::string ProcessErrorOutput(ProcessHandle handle) {
    const Process* p = FindProcess(handle);
    return p && ProcessExitCode(handle) >= 0 ? p->errors : std::string();
}

// An in-memory program has no windows.
bool BringProcessWindowsToFront(ProcessHandle) {
    return false;
}

void CloseProcess(ProcessHandle handle) {
    gProcesses.erase(handle);
}

WorkHandle StartWork(size_t count, int, std::function<void(size_t job)> job) {
    if (std::exchange(gFailNextWork, false)) return WorkHandle::kNone;
    const WorkHandle handle{gNextWork++};
    gWorks[handle] = {std::move(job), count, 0};
    return handle;
}

bool WaitWork(WorkHandle handle, int, size_t* done) {
    auto found = gWorks.find(handle);
    if (found == gWorks.end()) return true;
    Work& work = found->second;
    if (work.done < work.count) work.job(work.done++);
    *done = work.done;
    return work.done >= work.count;
}

void FinishWork(WorkHandle handle, bool cancel) {
    auto found = gWorks.find(handle);
    if (found == gWorks.end()) return;
    while (!cancel && found->second.done < found->second.count)
        found->second.job(found->second.done++);
    gWorks.erase(found);
}

// 2026-12-09 09:00 UTC, and on with the pauses, so tests see the same thing every run.
int64_t CurrentTime() {
    return 134412804000000000 + gPaused * 10000;
}

void PauseMilliseconds(int milliseconds) {
    gPaused += milliseconds;
}

// Time passes here only in pauses, so tests see the same thing every run.
int64_t MonotonicMilliseconds() {
    return gPaused;
}

}  // namespace platform

namespace headless {

void FailNextWorkStart() {
    platform::gFailNextWork = true;
}

void SetRunningProcessIds(std::vector<uint32_t> ids) {
    platform::gRunningIds = std::move(ids);
}

size_t OpenHandles() {
    return platform::OpenFileSystemHandles() + platform::gProcesses.size();
}

bool InstallProgram(std::u16string_view path, ProgramBehaviour behaviour) {
    return InstallProgramWithErrors(
        path, [behaviour](std::u16string_view commandLine, std::string* output, std::string*) {
            return behaviour(commandLine, output);
        });
}

bool InstallProgramWithErrors(std::u16string_view path, ProgramWithErrors behaviour) {
    if (!MakeFile(path, "MZ")) return false;
    platform::gPrograms[platform::LowerCase(path)] = std::move(behaviour);
    return true;
}

void SetPipeChunk(size_t bytes) {
    platform::gPipeChunk = std::max<size_t>(bytes, 1);
}

const std::vector<StartedProcess>& StartedProcesses() {
    return platform::gStarted;
}

void SetCurrentDirectory(std::u16string_view path) {
    platform::gCurrentDirectory = path;
}

int64_t PausedMilliseconds() {
    return platform::gPaused;
}

}  // namespace headless

}  // namespace spurlese

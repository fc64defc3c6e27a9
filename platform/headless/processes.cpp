// Processes without processes: a started program runs its behaviour at once, and its output is
// handed out through a pipe of limited chunks, so the reading side meets partial lines and
// empty polls as with a real pipe.
#include <algorithm>
#include <map>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"
#include "tools/string_extractor.h"

namespace platform {

namespace {

struct Process {
    std::string output;
    size_t read = 0;
    bool polledEmpty = false;  // a finished process still reports "running" for one poll
    int exitCode = 0;
};

std::map<std::u16string, headless::ProgramBehaviour> gPrograms;  // by lower-cased path
std::map<ProcessHandle, Process> gProcesses;
std::vector<headless::StartedProcess> gStarted;
ProcessHandle gNextProcess = 1;
size_t gPipeChunk = 4096;
std::u16string gCurrentDirectory = u"C:\\";
int64_t gPaused = 0;

Process* FindProcess(ProcessHandle handle) {
    auto it = gProcesses.find(handle);
    return it == gProcesses.end() ? nullptr : &it->second;
}

}  // namespace

void ResetProcesses() {
    gPrograms.clear();
    gProcesses.clear();
    gStarted.clear();
    gNextProcess = 1;
    gPipeChunk = 4096;
    gCurrentDirectory = u"C:\\";
    gPaused = 0;
}

void LoadLibrariesOnlyFromSystem() {}

uint32_t CurrentProcessId() {
    return 4711;
}

std::u16string CurrentDirectory() {
    return gCurrentDirectory;
}

ProcessHandle StartProcess(std::u16string_view program, std::u16string_view commandLine,
                           std::u16string_view workingDirectory) {
    gStarted.push_back(
        {std::u16string(program), std::u16string(commandLine), std::u16string(workingDirectory)});
    auto behaviour = gPrograms.find(LowerCase(program));
    if (FileSize(program) < 0 || behaviour == gPrograms.end()) return 0;
    Process process;
    process.exitCode = behaviour->second(headless::SplitCommandLine(commandLine), &process.output);
    const ProcessHandle handle = gNextProcess++;
    gProcesses[handle] = std::move(process);
    OnProcessStarted();
    return handle;
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

void CloseProcess(ProcessHandle handle) {
    gProcesses.erase(handle);
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

bool InstallProgram(std::u16string_view path, ProgramBehaviour behaviour) {
    if (!MakeFile(path, "MZ")) return false;
    platform::gPrograms[platform::LowerCase(path)] = std::move(behaviour);
    return true;
}

namespace {

// The file and the minimum length of a strings64-style command line.
bool ExtractorArguments(const std::vector<std::u16string>& args, std::u16string* file,
                        uint64_t* minLength) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == u"-n" && i + 1 < args.size()) {
            const std::string digits = platform::Utf16ToUtf8(args[++i]);
            *minLength = std::strtoull(digits.c_str(), nullptr, 10);
        } else if (!args[i].empty() && args[i][0] != u'-') {
            *file = args[i];
        }
    }
    return !file->empty();
}

}  // namespace

ProgramBehaviour StringsProgram() {
    return [](const std::vector<std::u16string>& args, std::string* output) {
        std::u16string file;
        uint64_t minLength = 3;
        std::string bytes;
        if (!ExtractorArguments(args, &file, &minLength)) return 2;
        if (!platform::ReadFileBytes(file, &bytes)) return 1;
        *output = extractor::ExtractStrings(bytes, minLength);
        return 0;
    };
}

ProgramBehaviour CatProgram() {
    return [](const std::vector<std::u16string>& args, std::string* output) {
        return !args.empty() && platform::ReadFileBytes(args.back(), output) ? 0 : 1;
    };
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

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
    std::vector<std::u16string> args;
    size_t i = 0;
    // The program name: up to the next blank, or between double quotes, taken literally.
    std::u16string first;
    if (i < line.size() && line[i] == u'"') {
        const size_t close = line.find(u'"', 1);
        first = line.substr(
            1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
        i = close == std::u16string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t') first.push_back(line[i++]);
    }
    args.push_back(first);
    for (;;) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i >= line.size()) break;
        std::u16string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == u'"') {
                arg.append(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    arg.push_back(u'"');
                } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                    arg.push_back(u'"');  // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, u'\\');
                if (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
                    arg.push_back(line[i++]);
                }
            }
        }
        args.push_back(arg);
    }
    return args;
}

}  // namespace headless

// Events without a window system: the user is a script. Tests queue actions (clicks, slider
// moves, frame changes, close requests) and answers for the dialogs; WaitEvent plays them one by
// one, and everything the program shows or opens is recorded for the test to read.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <vector>

#include "platform/event_queue.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"

namespace spurlese {

namespace platform {

namespace {

enum class ActionKind { Click, Slide, SessionEnd, Drop, Frame, Look, MenuChoice, LineActivation };

struct Action {
    ActionKind kind = ActionKind::Click;
    int control = 0;
    int64_t position = 0;
    WindowAction frame = WindowAction::Resize;
    int width = 0;
    int height = 0;
    std::function<void()> look;
    int command = 0;
    int64_t line = -1;
};

struct Display {
    int width = 0, height = 0;
};

std::deque<Action> gActions;
std::deque<std::vector<std::u16string>> gDropQueue;  // what each queued drop brings
std::vector<std::u16string> gDropped;                // what the last drop brought
std::vector<Event> gDuringProcess;
std::deque<DialogResult> gFolderAnswers, gSaveAnswers;
std::vector<headless::DialogCall> gDialogs;
std::vector<headless::ShellCall> gShellCalls;
std::vector<std::u16string> gShownInFolder;
std::deque<int> gMessageAnswers;
std::vector<std::pair<int, Event>> gAtPoll;  // raised at that call of PollEvent
int gPolls = 0;
headless::TaskbarProgress gTaskbar;
std::vector<Display> gDisplays;
std::u16string gExecutable;
int gIgnoredActions = 0;

bool UserCanReach(int control) {
    return IsControlVisible(control) && IsControlEnabled(control);
}

void ControlEvent(int control) {
    events::Push({kControlEvent, control, kMainWindow});
}

void Apply(const Action& action) {
    switch (action.kind) {
        case ActionKind::Click:
            if (!UserCanReach(action.control)) {
                ++gIgnoredActions;
                return;
            }
            // A check box toggles itself before it tells its parent.
            if (KindOfControl(action.control) == ControlKind::CheckBox) {
                SetState(action.control, GetState(action.control) == 0 ? 1 : 0);
            }
            ControlEvent(action.control);
            return;
        case ActionKind::Slide:
            if (!UserCanReach(action.control)) {
                ++gIgnoredActions;
                return;
            }
            SetState(action.control, action.position);
            ControlEvent(action.control);
            return;
        case ActionKind::Drop:
            if (!WindowExists(kMainWindow)) return;
            gDropped = gDropQueue.front();
            gDropQueue.pop_front();
            events::Push({kItemsDropped, 0, kMainWindow});
            return;
        case ActionKind::SessionEnd:
            if (WindowExists(kMainWindow)) events::RaiseSessionEnding();
            return;
        case ActionKind::Frame:
            ApplyWindowAction(action.frame, action.width, action.height);
            return;
        case ActionKind::Look:
            action.look();
            return;
        case ActionKind::MenuChoice: {
            // Only an item the control's menu offers, enabled, on a control the user can reach.
            const std::vector<MenuItem> menu = GetControlMenu(action.control);
            const bool offered = std::any_of(menu.begin(), menu.end(), [&](const MenuItem& item) {
                return item.command == action.command && item.command != 0 && item.enabled;
            });
            if (!UserCanReach(action.control) || !offered) {
                ++gIgnoredActions;
                return;
            }
            events::Push({kMenuCommand, action.control, kMainWindow, action.command, action.line});
            return;
        }
        case ActionKind::LineActivation:
            if (!UserCanReach(action.control)) {
                ++gIgnoredActions;
                return;
            }
            events::Push({kLineActivated, action.control, kMainWindow, 0, action.line});
            return;
    }
}

}  // namespace

void ResetEvents() {
    events::Clear(true);
    gActions.clear();
    gDropQueue.clear();
    gDropped.clear();
    gDuringProcess.clear();
    gFolderAnswers.clear();
    gSaveAnswers.clear();
    gDialogs.clear();
    gShellCalls.clear();
    gShownInFolder.clear();
    gMessageAnswers.clear();
    gAtPoll.clear();
    gPolls = 0;
    gTaskbar = {};
    gDisplays = {{1280, 1024}};
    gExecutable = u"C:\\Programme\\Spurlese\\Spurlese.exe";
    gIgnoredActions = 0;
}

std::vector<std::u16string> DroppedItems() {
    return gDropped;
}

void RaiseSizeChanged(int window) {
    events::RaiseSizeChanged(window);
}

void OnProcessStarted() {
    for (const Event& event : gDuringProcess) events::Push(event);
    gDuringProcess.clear();
}

void WaitEvent(Event* event) {
    while (events::Empty()) {
        if (gActions.empty()) {
            // The script is over: the user closes the window, so a test can never hang.
            *event = {kCloseRequest, 0, kMainWindow};
            return;
        }
        const Action action = gActions.front();
        gActions.pop_front();
        Apply(action);
    }
    events::Take(event);
}

bool DropPendingEvent() {
    Event dropped;
    return events::Take(&dropped);
}

bool PollEvent(Event* event) {
    ++gPolls;
    for (auto it = gAtPoll.begin(); it != gAtPoll.end();) {
        if (it->first == gPolls) {
            events::Push(it->second);
            it = gAtPoll.erase(it);
        } else {
            ++it;
        }
    }
    return events::Take(event);
}

// The next queued answer; without one, OK, or "No" to a question, which leaves things as they are.
int ShowMessageBox(std::u16string_view title, std::u16string_view text, unsigned flags) {
    gDialogs.push_back({u"message", std::u16string(title), std::u16string(text), {}, flags});
    if (!gMessageAnswers.empty()) {
        const int answer = gMessageAnswers.front();
        gMessageAnswers.pop_front();
        return answer;
    }
    // Unanswered, the dialog is dismissed as Escape would: No where there is no Cancel.
    if ((flags & 15) == kYesNoCancelButtons) return kCancelPressed;
    return (flags & 15) == kYesNoButtons ? kNoPressed : kOkPressed;
}

// The next answer of the queue; none left is a cancel.
DialogResult NextAnswer(std::deque<DialogResult>* answers) {
    if (answers->empty()) return {};
    DialogResult answer = answers->front();
    answers->pop_front();
    return answer;
}

DialogResult ChooseFolder(std::u16string_view instruction, std::u16string_view startFolder) {
    gDialogs.push_back(
        {u"folder", {}, std::u16string(instruction), std::u16string(startFolder), 0});
    DialogResult answer = NextAnswer(&gFolderAnswers);
    if (!answer.path.empty() && answer.path.back() != u'\\') answer.path.push_back(u'\\');
    return answer;
}

DialogResult ChooseSaveFile(std::u16string_view title, std::u16string_view proposedFile,
                            std::u16string_view filter, int filterIndex) {
    gDialogs.push_back({u"save", std::u16string(title), std::u16string(proposedFile),
                        std::u16string(filter), static_cast<unsigned>(filterIndex)});
    return NextAnswer(&gSaveAnswers);
}

bool ShellOpen(std::u16string_view file, std::u16string_view parameters,
               std::u16string_view workingDirectory) {
    gShellCalls.push_back(
        {std::u16string(file), std::u16string(parameters), std::u16string(workingDirectory)});
    return true;
}

bool ShowInFolder(std::u16string_view path) {
    gShownInFolder.emplace_back(path);
    return true;
}

void SetTaskbarProgress(TaskbarState state, int64_t done, int64_t total) {
    gTaskbar = {state, done, total};
}

int EnumerateDisplays() {
    return static_cast<int>(gDisplays.size());
}

bool DisplaySize(int index, int* width, int* height) {
    if (index < 0 || index >= static_cast<int>(gDisplays.size())) {
        *width = *height = 0;
        return false;
    }
    *width = gDisplays[static_cast<size_t>(index)].width;
    *height = gDisplays[static_cast<size_t>(index)].height;
    return true;
}

std::u16string ExecutablePath() {
    return gExecutable;
}

void ReleasePlatform() {
    CloseWindow(kMainWindow);
    events::Clear(true);
}

// Runs inside a test's child process (a death test): what the program showed and opened goes
// to standard error, where the test reads it.
void EndProcess(int exitCode) {
    ReleasePlatform();
    for (const headless::DialogCall& call : gDialogs) {
        std::fprintf(stderr, "%s box \"%s\": \"%s\" (flags %u)\n", Utf16ToUtf8(call.kind).c_str(),
                     Utf16ToUtf8(call.title).c_str(), Utf16ToUtf8(call.text).c_str(), call.flags);
    }
    for (const headless::ShellCall& call : gShellCalls) {
        std::fprintf(stderr, "shell open \"%s\" in \"%s\"\n", Utf16ToUtf8(call.file).c_str(),
                     Utf16ToUtf8(call.workingDirectory).c_str());
    }
    std::fprintf(stderr, "exit code %d\n", exitCode);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

}  // namespace platform

namespace headless {

using platform::Action;
using platform::ActionKind;
using platform::gActions;

void QueueClick(int control) {
    gActions.push_back({.kind = ActionKind::Click, .control = control});
}

void QueueSlide(int control, int64_t position) {
    gActions.push_back({.kind = ActionKind::Slide, .control = control, .position = position});
}

void QueueDrop(const std::vector<std::u16string>& items) {
    platform::gDropQueue.push_back(items);
    gActions.push_back({.kind = ActionKind::Drop});
}

void QueueMenuChoice(int control, int command, int64_t line) {
    gActions.push_back(
        {.kind = ActionKind::MenuChoice, .control = control, .command = command, .line = line});
}

void QueueLineActivation(int control, int64_t line) {
    gActions.push_back({.kind = ActionKind::LineActivation, .control = control, .line = line});
}

void QueueSessionEnd() {
    gActions.push_back({.kind = ActionKind::SessionEnd});
}

void QueueResize(int clientWidth, int clientHeight) {
    gActions.push_back({.kind = ActionKind::Frame,
                        .frame = platform::WindowAction::Resize,
                        .width = clientWidth,
                        .height = clientHeight});
}

void QueueMinimise() {
    gActions.push_back({.kind = ActionKind::Frame, .frame = platform::WindowAction::Minimise});
}

void QueueMaximise() {
    gActions.push_back({.kind = ActionKind::Frame, .frame = platform::WindowAction::Maximise});
}

void QueueRestore() {
    gActions.push_back({.kind = ActionKind::Frame, .frame = platform::WindowAction::Restore});
}

void QueueLook(std::function<void()> look) {
    gActions.push_back({.kind = ActionKind::Look, .look = std::move(look)});
}

size_t PendingActions() {
    return gActions.size();
}

int IgnoredActions() {
    return platform::gIgnoredActions;
}

void RaiseDuringNextProcess(const platform::Event& event) {
    platform::gDuringProcess.push_back(event);
}

void QueueFolderAnswer(std::u16string_view folder) {
    platform::gFolderAnswers.push_back(
        {platform::DialogOutcome::kChosen, std::u16string(folder), {}});
}

void QueueSaveAnswer(std::u16string_view path) {
    platform::gSaveAnswers.push_back({platform::DialogOutcome::kChosen, std::u16string(path), {}});
}

void QueueFolderFailure(std::u16string_view reason) {
    platform::gFolderAnswers.push_back(
        {platform::DialogOutcome::kFailed, {}, std::u16string(reason)});
}

void QueueSaveFailure(std::u16string_view reason) {
    platform::gSaveAnswers.push_back(
        {platform::DialogOutcome::kFailed, {}, std::u16string(reason)});
}

const std::vector<DialogCall>& DialogCalls() {
    return platform::gDialogs;
}

void QueueMessageAnswer(int button) {
    platform::gMessageAnswers.push_back(button);
}

void RaiseAtPoll(int poll, const platform::Event& event) {
    platform::gAtPoll.emplace_back(poll, event);
}

const std::vector<std::u16string>& ShownInFolder() {
    return platform::gShownInFolder;
}

TaskbarProgress Taskbar() {
    return platform::gTaskbar;
}

const std::vector<ShellCall>& ShellCalls() {
    return platform::gShellCalls;
}

void SetExecutablePath(std::u16string_view path) {
    platform::gExecutable = path;
}

}  // namespace headless

}  // namespace spurlese

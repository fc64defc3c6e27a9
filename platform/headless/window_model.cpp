// The main window and its controls as plain records: the state the Win32 controls hold, with
// their rules (slider clamping, CR LF line breaks, container visibility) and nothing drawn.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"

namespace platform {

namespace {

struct Control {
    bool exists = false;
    ControlKind kind = ControlKind::Label;
    int parent = 0;
    ControlSpec spec;
    std::u16string caption;
    int64_t minimum = 0, maximum = 0, value = 0;
    std::u16string text;           // text displays: lines joined by CR LF
    std::vector<int64_t> history;  // every value set by SetState
    bool enabled = true;
    bool shown = true;
    bool caretInView = true;
};

struct Window {
    bool exists = false;
    bool shown = false;
    std::u16string title;
    int clientWidth = 0, clientHeight = 0;
};

constexpr int kMaxControl = 64;

Window gWindow;
std::array<Control, kMaxControl + 1> gControls;

Control* Find(int number) {
    if (number < 1 || number > kMaxControl || !gControls[number].exists) return nullptr;
    return &gControls[number];
}

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
    return std::max(low, std::min(value, high));
}

bool IsRanged(const Control& c) {
    return c.kind == ControlKind::Slider || c.kind == ControlKind::ProgressBar;
}

}  // namespace

void ResetWindowModel() {
    gWindow = Window{};
    gControls.fill(Control{});
}

bool OpenWindow(int window, std::u16string_view title, int clientWidth, int clientHeight) {
    if (window != kMainWindow || gWindow.exists) return false;
    gWindow.exists = true;
    gWindow.shown = false;
    gWindow.title = title;
    gWindow.clientWidth = clientWidth;
    gWindow.clientHeight = clientHeight;
    return true;
}

void CloseWindow(int window) {
    if (window != kMainWindow) return;
    gWindow = Window{};
    gControls.fill(Control{});
}

bool WindowExists(int window) {
    return window == kMainWindow && gWindow.exists;
}

void ShowWindow(int window, bool show) {
    if (WindowExists(window)) gWindow.shown = show;
}

bool CreateControl(const ControlSpec& spec) {
    if (!gWindow.exists || spec.number < 1 || spec.number > kMaxControl) return false;
    if (gControls[spec.number].exists) return false;
    if (spec.parent != 0) {
        const Control* parent = Find(spec.parent);
        if (!parent || parent->kind != ControlKind::Container) return false;
    }
    Control c;
    c.exists = true;
    c.kind = spec.kind;
    c.parent = spec.parent;
    c.spec = spec;
    c.caption = spec.caption;
    // Windows' own start states: a trackbar 0..100 (the program sets its range at once), a
    // progress bar 0..100.
    if (IsRanged(c)) c.maximum = 100;
    gControls[spec.number] = c;
    return true;
}

bool ControlExists(int control) {
    return Find(control) != nullptr;
}

std::u16string GetCaption(int control) {
    const Control* c = Find(control);
    return c ? c->caption : std::u16string();
}

void SetCaption(int control, std::u16string_view caption) {
    if (Control* c = Find(control)) c->caption = caption;
}

int64_t GetState(int control) {
    const Control* c = Find(control);
    if (!c) return 0;
    return c->value;
}

void SetState(int control, int64_t value) {
    Control* c = Find(control);
    if (!c) return;
    if (IsRanged(*c)) {
        c->history.push_back(value);
        c->value = Clamp(value, c->minimum, c->maximum);
    } else if (c->kind == ControlKind::CheckBox) {
        c->value = value != 0 ? 1 : 0;
    }
}

void SetMinimum(int control, int64_t value) {
    Control* c = Find(control);
    if (!c || !IsRanged(*c)) return;
    c->minimum = value;
    if (c->maximum < value) c->maximum = value;
    c->value = Clamp(c->value, c->minimum, c->maximum);
}

void SetMaximum(int control, int64_t value) {
    Control* c = Find(control);
    if (!c || !IsRanged(*c)) return;
    c->maximum = value;
    if (c->minimum > value) c->minimum = value;
    c->value = Clamp(c->value, c->minimum, c->maximum);
}

int64_t GetMinimum(int control) {
    const Control* c = Find(control);
    return c ? c->minimum : 0;
}

int64_t GetMaximum(int control) {
    const Control* c = Find(control);
    return c ? c->maximum : 0;
}

void AppendLine(int control, std::u16string_view text) {
    Control* c = Find(control);
    if (!c || c->kind != ControlKind::TextDisplay) return;
    if (!c->text.empty()) c->text += u"\r\n";
    // A display knows only paragraph breaks: any CR, LF or CR LF inside the text is one.
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' || unit == u'\n') {
            if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            c->text += u"\r\n";
        } else {
            c->text.push_back(unit);
        }
    }
    c->caretInView = false;
}

void ScrollToInsertionPoint(int control) {
    Control* c = Find(control);
    if (c && c->kind == ControlKind::TextDisplay) c->caretInView = true;
}

void ClearText(int control) {
    Control* c = Find(control);
    if (!c || c->kind != ControlKind::TextDisplay) return;
    c->text.clear();
    c->caretInView = true;
}

std::u16string GetText(int control) {
    const Control* c = Find(control);
    return c && c->kind == ControlKind::TextDisplay ? c->text : std::u16string();
}

int64_t TextLength(int control) {
    return static_cast<int64_t>(GetText(control).size());
}

void EnableControl(int control, bool enable) {
    if (Control* c = Find(control)) c->enabled = enable;
}

void ShowControl(int control, bool show) {
    if (Control* c = Find(control)) c->shown = show;
}

bool IsControlEnabled(int control) {
    for (const Control* c = Find(control); c; c = Find(c->parent)) {
        if (!c->enabled) return false;
        if (c->parent == 0) return true;
    }
    return false;
}

bool IsControlVisible(int control) {
    if (!gWindow.shown) return false;
    for (const Control* c = Find(control); c; c = Find(c->parent)) {
        if (!c->shown) return false;
        if (c->parent == 0) return true;
    }
    return false;
}

}  // namespace platform

namespace headless {

std::vector<int64_t> StateHistory(int control) {
    const platform::Control* c = platform::Find(control);
    return c ? c->history : std::vector<int64_t>();
}

bool InsertionPointInView(int control) {
    const platform::Control* c = platform::Find(control);
    return c && c->caretInView;
}

}  // namespace headless

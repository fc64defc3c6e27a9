// The main window and its controls as plain records: the state the Win32 controls hold, with
// their rules (slider clamping, CR LF line breaks, container visibility) and nothing drawn.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

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
    FontInfo font;
    std::vector<MenuItem> menu;
    std::u16string tooltip;
    ImageHandle image = ImageHandle::kNone;
};

// A window frame as Windows 10 draws one at 96 DPI: 8 units of border on three sides, a caption
// of 31 above the client area.
constexpr int kBorder = 8;
constexpr int kCaption = 31;

struct Window {
    bool exists = false;
    bool shown = false;
    std::u16string title;
    int x = 0, y = 0;  // outer frame
    int clientWidth = 0, clientHeight = 0;
    int minWidth = 0, minHeight = 0;
    bool maximised = false, minimised = false;
    int normalX = 0, normalY = 0, normalWidth = 0, normalHeight = 0;
    int focused = 0;
    intptr_t handle = 0;  // a new value for every window opened, as native handles are
};

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

struct Image {
    ImageInfo info;
};
std::vector<Image> gImages;  // handle = index + 1

void ResizeClient(int width, int height) {
    width = std::max(width, gWindow.minWidth);
    height = std::max(height, gWindow.minHeight);
    if (width == gWindow.clientWidth && height == gWindow.clientHeight) return;
    gWindow.clientWidth = width;
    gWindow.clientHeight = height;
    RaiseSizeChanged(kMainWindow);
}

}  // namespace

void ResetWindowModel() {
    gWindow = Window{};
    gControls.fill(Control{});
    gImages.clear();
}

bool OpenWindow(int window, std::u16string_view title, int clientWidth, int clientHeight) {
    if (window != kMainWindow || gWindow.exists) return false;
    static intptr_t opened = 0;
    gWindow.exists = true;
    gWindow.handle = 0x1000 + ++opened;
    gWindow.shown = false;
    gWindow.title = title;
    gWindow.clientWidth = clientWidth;
    gWindow.clientHeight = clientHeight;
    int displayWidth = 0, displayHeight = 0;
    DisplaySize(0, &displayWidth, &displayHeight);
    gWindow.x = (displayWidth - clientWidth - 2 * kBorder) / 2;
    gWindow.y = (displayHeight - clientHeight - kCaption - kBorder) / 2;
    return true;
}

// ---- Geometry ---------------------------------------------------------------------------

void SetMinimumClientSize(int window, int width, int height) {
    if (!WindowExists(window)) return;
    gWindow.minWidth = width;
    gWindow.minHeight = height;
}

bool GetClientSize(int window, int* width, int* height) {
    const bool exists = WindowExists(window);
    *width = exists ? gWindow.clientWidth : 0;
    *height = exists ? gWindow.clientHeight : 0;
    return exists;
}

bool GetFrameRect(int window, Rect* frame) {
    if (!WindowExists(window)) return false;
    *frame = {gWindow.x, gWindow.y, gWindow.clientWidth + 2 * kBorder,
              gWindow.clientHeight + kCaption + kBorder};
    return true;
}

void PlaceWindow(int window, int x, int y, int clientWidth, int clientHeight) {
    if (!WindowExists(window)) return;
    gWindow.maximised = false;
    gWindow.minimised = false;
    gWindow.x = x;
    gWindow.y = y;
    ResizeClient(clientWidth, clientHeight);
}

intptr_t WindowNativeHandle(int window) {
    return WindowExists(window) ? gWindow.handle : 0;
}

void InvalidateWindow(int) {}

Rect GetControlRect(int control) {
    const Control* c = Find(control);
    if (!c) return {};
    return {c->spec.x, c->spec.y, c->spec.width, c->spec.height};
}

void MoveControl(int control, int x, int y, int width, int height) {
    Control* c = Find(control);
    if (!c) return;
    if (x != kKeep) c->spec.x = x;
    if (y != kKeep) c->spec.y = y;
    if (width != kKeep) c->spec.width = width;
    if (height != kKeep) c->spec.height = height;
}

// ---- Fonts, tooltips, images ------------------------------------------------------------

void SetControlFont(int control, std::u16string_view face, int points) {
    if (Control* c = Find(control)) c->font = {std::u16string(face), face.empty() ? 0 : points};
}

FontInfo GetControlFont(int control) {
    const Control* c = Find(control);
    return c ? c->font : FontInfo{};
}

void SetTooltip(int control, std::u16string_view text) {
    if (Control* c = Find(control)) c->tooltip = text;
}

std::u16string GetTooltip(int control) {
    const Control* c = Find(control);
    return c ? c->tooltip : std::u16string();
}

// The picture is a BITMAPINFOHEADER (40 bytes, little-endian) with twice the height (colours
// and mask), then its colours and masks; only the header is looked at here.
ImageHandle CreateIconImage(std::string_view picture, int width, int height) {
    auto number = [&picture](size_t at, size_t size) {
        return static_cast<int64_t>(LittleEndian(picture, at, size));
    };
    if (picture.size() < 40 || number(0, 4) != 40) return ImageHandle::kNone;
    const int64_t bits = number(14, 2);
    if (number(4, 4) != width || number(8, 4) != 2 * height) return ImageHandle::kNone;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return ImageHandle::kNone;
    const int64_t colours = bits <= 8 ? (int64_t{1} << bits) * 4 : 0;
    const int64_t row = ((width * bits + 31) / 32) * 4;
    const int64_t mask = ((width + 31) / 32) * 4;
    if (static_cast<int64_t>(picture.size()) < 40 + colours + (row + mask) * height)
        return ImageHandle::kNone;
    gImages.push_back({{width, height, static_cast<int>(bits)}});
    return static_cast<ImageHandle>(gImages.size());
}

bool DescribeImage(ImageHandle image, ImageInfo* info) {
    const auto number = static_cast<size_t>(image);
    if (number < 1 || number > gImages.size()) return false;
    *info = gImages[number - 1].info;
    return true;
}

void SetButtonImage(int control, ImageHandle image) {
    Control* c = Find(control);
    if (c && c->kind == ControlKind::ImageButton) c->image = image;
}

ImageHandle GetButtonImage(int control) {
    const Control* c = Find(control);
    return c ? c->image : ImageHandle::kNone;
}

void SetControlMenu(int control, const std::vector<MenuItem>& items) {
    if (Control* c = Find(control)) c->menu = items;
}

std::vector<MenuItem> GetControlMenu(int control) {
    const Control* c = Find(control);
    return c ? c->menu : std::vector<MenuItem>();
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

ControlKind KindOfControl(int control) {
    const Control* c = Find(control);
    return c ? c->kind : ControlKind::Label;
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

bool FocusControl(int control) {
    if (!IsControlVisible(control) || !IsControlEnabled(control)) return false;
    gWindow.focused = control;
    return true;
}

int FocusedControl() {
    return gWindow.focused;
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

namespace platform {

// User actions on the window frame, as the event queue applies them.
void ApplyWindowAction(WindowAction action, int width, int height) {
    if (!gWindow.exists) return;
    switch (action) {
        case WindowAction::Resize:
            if (gWindow.maximised || gWindow.minimised) return;
            ResizeClient(width, height);
            break;
        case WindowAction::Minimise:
            // Windows keeps the client size of a minimised window for the restore and raises no
            // size change.
            gWindow.minimised = true;
            break;
        case WindowAction::Maximise: {
            if (gWindow.maximised) return;
            gWindow.normalX = gWindow.x;
            gWindow.normalY = gWindow.y;
            gWindow.normalWidth = gWindow.clientWidth;
            gWindow.normalHeight = gWindow.clientHeight;
            int displayWidth = 0, displayHeight = 0;
            DisplaySize(0, &displayWidth, &displayHeight);
            gWindow.maximised = true;
            gWindow.minimised = false;
            gWindow.x = -kBorder;
            gWindow.y = -kBorder;
            ResizeClient(displayWidth, displayHeight - kCaption + kBorder);
            break;
        }
        case WindowAction::Restore:
            gWindow.minimised = false;
            if (!gWindow.maximised) return;
            gWindow.maximised = false;
            gWindow.x = gWindow.normalX;
            gWindow.y = gWindow.normalY;
            ResizeClient(gWindow.normalWidth, gWindow.normalHeight);
            break;
    }
}

}  // namespace platform

}  // namespace spurlese

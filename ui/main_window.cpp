#include "ui/main_window.h"

#include <iterator>
#include <string>

#include "platform/text_helpers.h"
#include "ui/controls.h"
#include "ui/resize_layout.h"

namespace {

using platform::ControlKind;
using K = ControlKind;

enum Flags { kPlain = 0, kCaptionLeft = 1, kTickMarks = 2 };

ControlRow Row(int number, ControlKind kind, int parent, int x, int y, int width, int height,
               const char16_t* caption, int fontPoints, const char16_t* tooltip = nullptr,
               int flags = kPlain) {
    ControlRow row;
    row.spec.number = number;
    row.spec.kind = kind;
    row.spec.parent = parent;
    row.spec.x = x;
    row.spec.y = y;
    row.spec.width = width;
    row.spec.height = height;
    row.spec.caption = caption;
    row.spec.captionLeft = (flags & kCaptionLeft) != 0;
    row.spec.tickMarks = (flags & kTickMarks) != 0;
    row.fontPoints = fontPoints;
    row.tooltip = tooltip;
    return row;
}

// x, y, width and height in 96-DPI units, relative to the parent container. Both containers
// lie at the window's origin and are larger than the client area; the window clips them. A font
// size of 0 keeps the default GUI font.
const ControlRow kRows[] = {
    Row(ctl::SettingsPage, K::Container, 0, 0, 0, 600, 830, u"", 0),
    Row(ctl::SettingsFrame, K::Frame, ctl::SettingsPage, 5, 5, 555, 245, u"Einstellungen", 10),
    Row(ctl::ProjectDirLabel, K::Label, ctl::SettingsPage, 15, 35, 150, 30, u"MPH Verzeichnis", 14),
    Row(ctl::ProjectDirButton, K::PushButton, ctl::SettingsPage, 185, 35, 370, 30, u"", 12,
        u"Verzeichnis der MPH Dateien", kCaptionLeft),
    Row(ctl::BasePathLabel, K::Label, ctl::SettingsPage, 15, 75, 150, 30, u"Basis Pfad Bilder", 14),
    Row(ctl::BasePathButton, K::PushButton, ctl::SettingsPage, 185, 75, 370, 30, u"", 12,
        u"Basis Pfad des Familienarchives", kCaptionLeft),
    Row(ctl::MinLengthLabel, K::Label, ctl::SettingsPage, 15, 115, 165, 30, u"Min. String Length",
        14),
    Row(ctl::MinLengthSlider, K::Slider, ctl::SettingsPage, 185, 115, 330, 30, u"", 0, nullptr,
        kTickMarks),
    Row(ctl::MinLengthValue, K::Label, ctl::SettingsPage, 515, 115, 40, 30, u"", 14),
    Row(ctl::MustContainBaseBox, K::CheckBox, ctl::SettingsPage, 185, 150, 370, 30,
        u"muss Basis Pfad beinhalten", 12),
    Row(ctl::StripBaseBox, K::CheckBox, ctl::SettingsPage, 185, 180, 370, 30,
        u"Basis Pfad aus Treffern entfernen", 12),
    Row(ctl::PrefixProjectBox, K::CheckBox, ctl::SettingsPage, 185, 210, 370, 30,
        u"MPH Name in Treffern voranstellen", 12),
    Row(ctl::ApplyFilterButton, K::PushButton, ctl::SettingsPage, 220, 290, 160, 30,
        u"Filter anwenden", 14),
    Row(ctl::SettingsHelpButton, K::ImageButton, ctl::SettingsPage, 510, 345, 50, 50, u"", 0,
        u"Manual"),
    Row(ctl::ResultsPage, K::Container, 0, 0, 0, 600, 515, u"", 0),
    Row(ctl::InfoFrame, K::Frame, ctl::ResultsPage, 5, 5, 555, 190, u"Informationen", 0),
    Row(ctl::InfoText, K::TextDisplay, ctl::ResultsPage, 10, 25, 545, 165, u"", 0),
    Row(ctl::ScanProgress, K::ProgressBar, ctl::ResultsPage, 10, 200, 545, 15, u"", 0),
    Row(ctl::HitsFrame, K::Frame, ctl::ResultsPage, 5, 225, 555, 170, u"Treffer", 10),
    Row(ctl::HitsText, K::TextDisplay, ctl::ResultsPage, 10, 245, 545, 90, u"", 0),
    Row(ctl::SaveResultsButton, K::PushButton, ctl::ResultsPage, 10, 360, 150, 30,
        u"Ergebnis speichern", 12),
    Row(ctl::ResultsHelpButton, K::ImageButton, ctl::ResultsPage, 505, 340, 50, 50, u"", 0,
        u"Manual"),
};

}  // namespace

const ControlRow* MainWindowControls(int* count) {
    *count = static_cast<int>(std::size(kRows));
    return kRows;
}

namespace {

constexpr int kClientWidth = 568;
constexpr int kClientHeight = 400;

// Which controls follow the window's size, and how; "Filter anwenden" is centred separately.
struct Anchor {
    int control;
    int64_t flags;
};
constexpr Anchor kAnchors[] = {
    {ctl::SettingsPage, kWidthFollows | kHeightFollows},
    {ctl::SettingsFrame, kWidthFollows},
    {ctl::ProjectDirButton, kWidthFollows},
    {ctl::BasePathButton, kWidthFollows},
    {ctl::MinLengthSlider, kWidthFollows},
    {ctl::MinLengthValue, kXFollows},
    {ctl::ResultsPage, kWidthFollows | kHeightFollows},
    {ctl::InfoFrame, kWidthFollows},
    {ctl::InfoText, kWidthFollows},
    {ctl::ScanProgress, kWidthFollows},
    {ctl::HitsFrame, kWidthFollows | kHeightFollows},
    {ctl::HitsText, kWidthFollows | kHeightFollows},
    {ctl::SaveResultsButton, kYFollows},
    {ctl::ResultsHelpButton, kXFollows | kYFollows},
    {ctl::SettingsHelpButton, kXFollows | kYFollows},
};

}  // namespace

bool OpenMainWindow() {
    if (!platform::OpenWindow(platform::kMainWindow, u"Spurlese", kClientWidth, kClientHeight)) {
        return false;
    }
    for (const ControlRow& row : kRows) {
        platform::CreateControl(row.spec);
        if (row.fontPoints > 0)
            platform::SetControlFont(row.spec.number, u"Segoe UI", row.fontPoints);
        if (row.tooltip) platform::SetTooltip(row.spec.number, row.tooltip);
    }
    // Start states of the ranged controls; the startup step sets the slider's real range.
    platform::SetMinimum(ctl::MinLengthSlider, 0);
    platform::SetMaximum(ctl::MinLengthSlider, 10);
    platform::SetState(ctl::MinLengthSlider, 0);
    platform::SetMinimum(ctl::ScanProgress, 0);
    platform::SetMaximum(ctl::ScanProgress, 100);
    platform::SetState(ctl::ScanProgress, 0);

    int width = 0, height = 0;
    platform::GetClientSize(platform::kMainWindow, &width, &height);
    platform::SetMinimumClientSize(platform::kMainWindow, width, height);
    RegisterAnchorWindow(platform::kMainWindow);
    for (const Anchor& anchor : kAnchors) {
        RegisterAnchor(platform::kMainWindow, anchor.control, anchor.flags);
    }
    platform::ShowControl(ctl::ResultsPage, false);
    platform::ShowWindow(platform::kMainWindow, true);
    return true;
}

void ShowMinLength() {
    platform::SetCaption(ctl::MinLengthValue, Decimal(platform::GetState(ctl::MinLengthSlider)));
}

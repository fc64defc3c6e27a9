#include "ui/main_window.h"

#include <iterator>
#include <string>

#include "platform/text_helpers.h"
#include "ui/controls.h"
#include "ui/resize_layout.h"

namespace spurlese {

namespace {

using platform::ControlKind;
using K = ControlKind;

// x, y, width and height in 96-DPI units, relative to the parent container. Both containers
// lie at the window's origin and are larger than the client area; the window clips them. A font
// size of 0 keeps the default GUI font. A row names only what it sets; the members it leaves
// out keep their defaults.
// clang-format off
const ControlRow kRows[] = {
    {.spec = {.number = ctl::SettingsPage, .kind = K::Container, .x = 0, .y = 0, .width = 600,
              .height = 830}},
    {.spec = {.number = ctl::SettingsFrame, .kind = K::Frame, .parent = ctl::SettingsPage, .x = 5,
              .y = 5, .width = 555, .height = 245, .caption = u"Einstellungen"},
     .fontPoints = 10},
    {.spec = {.number = ctl::ProjectDirLabel, .kind = K::Label, .parent = ctl::SettingsPage,
              .x = 15, .y = 35, .width = 150, .height = 30, .caption = u"MPH Verzeichnis"},
     .fontPoints = 14},
    {.spec = {.number = ctl::ProjectDirButton, .kind = K::PushButton, .parent = ctl::SettingsPage,
              .x = 185, .y = 35, .width = 370, .height = 30, .captionLeft = true},
     .fontPoints = 12, .tooltip = u"Verzeichnis der MPH Dateien"},
    {.spec = {.number = ctl::BasePathLabel, .kind = K::Label, .parent = ctl::SettingsPage, .x = 15,
              .y = 75, .width = 150, .height = 30, .caption = u"Basis Pfad Bilder"},
     .fontPoints = 14},
    {.spec = {.number = ctl::BasePathButton, .kind = K::PushButton, .parent = ctl::SettingsPage,
              .x = 185, .y = 75, .width = 370, .height = 30, .captionLeft = true},
     .fontPoints = 12, .tooltip = u"Basis Pfad des Familienarchives"},
    {.spec = {.number = ctl::MinLengthLabel, .kind = K::Label, .parent = ctl::SettingsPage, .x = 15,
              .y = 115, .width = 165, .height = 30, .caption = u"Min. String Length"},
     .fontPoints = 14},
    {.spec = {.number = ctl::MinLengthSlider, .kind = K::Slider, .parent = ctl::SettingsPage,
              .x = 185, .y = 115, .width = 330, .height = 30, .tickMarks = true}},
    {.spec = {.number = ctl::MinLengthValue, .kind = K::Label, .parent = ctl::SettingsPage,
              .x = 515, .y = 115, .width = 40, .height = 30},
     .fontPoints = 14},
    {.spec = {.number = ctl::MustContainBaseBox, .kind = K::CheckBox, .parent = ctl::SettingsPage,
              .x = 185, .y = 150, .width = 370, .height = 30,
              .caption = u"muss Basis Pfad beinhalten"},
     .fontPoints = 12},
    {.spec = {.number = ctl::StripBaseBox, .kind = K::CheckBox, .parent = ctl::SettingsPage,
              .x = 185, .y = 180, .width = 370, .height = 30,
              .caption = u"Basis Pfad aus Treffern entfernen"},
     .fontPoints = 12},
    {.spec = {.number = ctl::PrefixProjectBox, .kind = K::CheckBox, .parent = ctl::SettingsPage,
              .x = 185, .y = 210, .width = 370, .height = 30,
              .caption = u"MPH Name in Treffern voranstellen"},
     .fontPoints = 12},
    {.spec = {.number = ctl::ApplyFilterButton, .kind = K::PushButton, .parent = ctl::SettingsPage,
              .x = 220, .y = 290, .width = 160, .height = 30, .caption = u"Filter anwenden"},
     .fontPoints = 14},
    {.spec = {.number = ctl::SettingsHelpButton, .kind = K::ImageButton,
              .parent = ctl::SettingsPage, .x = 510, .y = 345, .width = 50, .height = 50},
     .tooltip = u"Manual"},
    {.spec = {.number = ctl::ResultsPage, .kind = K::Container, .x = 0, .y = 0, .width = 600,
              .height = 515}},
    {.spec = {.number = ctl::InfoFrame, .kind = K::Frame, .parent = ctl::ResultsPage, .x = 5,
              .y = 5, .width = 555, .height = 190, .caption = u"Informationen"}},
    {.spec = {.number = ctl::InfoText, .kind = K::TextDisplay, .parent = ctl::ResultsPage, .x = 10,
              .y = 25, .width = 545, .height = 165}},
    {.spec = {.number = ctl::ScanProgress, .kind = K::ProgressBar, .parent = ctl::ResultsPage,
              .x = 10, .y = 200, .width = 545, .height = 15}},
    {.spec = {.number = ctl::HitsFrame, .kind = K::Frame, .parent = ctl::ResultsPage, .x = 5,
              .y = 225, .width = 555, .height = 170, .caption = u"Treffer"},
     .fontPoints = 10},
    {.spec = {.number = ctl::HitsText, .kind = K::TextDisplay, .parent = ctl::ResultsPage, .x = 10,
              .y = 245, .width = 545, .height = 90}},
    {.spec = {.number = ctl::SaveResultsButton, .kind = K::PushButton, .parent = ctl::ResultsPage,
              .x = 10, .y = 360, .width = 150 + kSplitArrowWidth, .height = 30,
              .caption = u"Ergebnis speichern", .splitButton = true},
     .fontPoints = 12},
    {.spec = {.number = ctl::ResultsHelpButton, .kind = K::ImageButton, .parent = ctl::ResultsPage,
              .x = 505, .y = 340, .width = 50, .height = 50},
     .tooltip = u"Manual"},
};
// clang-format on

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

}  // namespace spurlese

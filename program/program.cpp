// The event loop and what each control does; the one file that sees every subsystem.
#include "program/program.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/copy_used_files.h"
#include "app/duplicates_list.h"
#include "app/overview_save.h"
#include "app/results_export.h"
#include "app/show_in_folder.h"
#include "app/tidy_up.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "program/startup_checks.h"
#include "scan/scan_driver.h"
#include "settings/app_settings.h"
#include "settings/window_placement.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/page_table.h"
#include "ui/resize_layout.h"

namespace spurlese {

namespace {

// What the program keeps from one event to the next: the results page, the record of the last
// scan that finished (none before a scan, and after one that could not run), and the folder the
// last copy went to.
struct ProgramState {
    ResultsPage page;
    std::optional<ScanRecord> lastScan;
    std::u16string lastCopyTarget;
};

void ShowHelpImage(int control) {
    if (appSettings.helpImage != platform::ImageHandle::kNone)
        platform::SetButtonImage(control, appSettings.helpImage);
}

// The project directory for the scan, as the folder picker gives it: with a trailing backslash.
void UseProjectDirectory(std::u16string folder) {
    if (folder.empty()) return;
    folder = WithFinalBackslash(folder);
    appSettings.projectDirectory = folder;
    platform::SetCaption(ctl::ProjectDirButton, folder);
}

void ChooseProjectDirectory() {
    constexpr std::u16string_view kInstruction =
        u"Bitte das Verzeichnis mit den Photostory MPH Dateien wählen";
    const platform::DialogResult chosen =
        platform::ChooseFolder(kInstruction, appSettings.projectDirectory);
    if (chosen.outcome == platform::DialogOutcome::kFailed) {
        platform::ShowMessageBox(
            u"MPH Verzeichnis",
            u"Das Fenster zur Wahl des Ordners ließ sich nicht öffnen:\n" + chosen.reason,
            platform::kWarningIcon);
    }
    UseProjectDirectory(chosen.path);
}

// A folder dragged from Explorer onto the window works as if chosen in the folder picker, while
// the settings page shows; files, several items, or a drop once the scan has begun are ignored.
void TakeDroppedFolder() {
    const std::vector<std::u16string> items = platform::DroppedItems();
    if (items.size() == 1 && platform::KindOfPath(items[0]) == platform::PathKind::kFolder &&
        platform::IsControlVisible(ctl::SettingsPage)) {
        UseProjectDirectory(items[0]);
    }
}

void FollowSlider() {
    appSettings.minStringLength = platform::GetState(ctl::MinLengthSlider);
    ShowMinLength();
}

// While the box is checked the slider cannot go below the base path's length, so it can never
// contradict what the box promises; clearing the box frees the whole range again.
void FollowMustContainBase() {
    if (platform::GetState(ctl::MustContainBaseBox) != 0) {
        const int64_t length =
            static_cast<int64_t>(platform::GetCaption(ctl::BasePathButton).size());
        const int64_t lowest = std::min(std::max(length, kShortestMinLength), kLongestMinLength);
        platform::SetState(ctl::MinLengthSlider, length);
        platform::SetMinimum(ctl::MinLengthSlider, lowest);
        appSettings.minStringLength = platform::GetState(ctl::MinLengthSlider);
    } else {
        platform::SetMinimum(ctl::MinLengthSlider, kShortestMinLength);
    }
    ShowMinLength();
}

void SaveResults(ResultsPage* page) {
    TellSaveResult(ExportResults(page), kHitListDialog.title);
}

// What the results page offers besides a click on "Ergebnis speichern": the items of its arrow's
// menu, and the same in the context menu of "Treffer".
using namespace menu;
const platform::MenuItem kSeparator = {};
const platform::MenuItem kShowItem = {kShowInFolder, u"Im Ordner anzeigen"};
const platform::MenuItem kSaveItems[] = {
    {kSaveHitList, u"Trefferliste speichern\u2026"},
    {kSaveCrossReference, u"Querverweis f\u00FCr Excel speichern\u2026"},
    {kSaveUnusedFiles, u"Nicht verwendete Dateien speichern\u2026"},
    {kSaveDuplicates, u"Doppelte Dateien speichern\u2026"},
    {kSaveOverview, u"\u00DCbersicht als Webseite speichern\u2026"},
};
const platform::MenuItem kCopyItem = {kCopyUsedFiles, u"Verwendete Dateien kopieren nach\u2026"};
// "Aufräumen": setting aside, and putting back, which needs no scan.
const platform::MenuItem kTidyItems[] = {
    {kSetAsideDuplicates, u"Doppelte Kopien beiseitelegen\u2026"},
    {kSetAsideUnused, u"Nicht verwendete Dateien beiseitelegen\u2026"},
    {kPutBack, u"Beiseitegelegtes zur\u00FCcklegen\u2026"},
};

// The items made from a scan's record are offered only while there is one whose archive was
// there: after a scan that could not run, or that could not reach the archive (a drive not
// connected), only the hit list can be saved, as a click on the button saves it.
bool OffersRecordItems(const std::optional<ScanRecord>& record) {
    return record && record->archiveUnreachable.empty();
}

void SetResultsMenus(bool haveScan) {
    std::vector<platform::MenuItem> saveMenu(std::begin(kSaveItems), std::end(kSaveItems));
    saveMenu.push_back(kSeparator);
    saveMenu.push_back(kCopyItem);
    saveMenu.push_back(kSeparator);
    saveMenu.insert(saveMenu.end(), std::begin(kTidyItems), std::end(kTidyItems));
    for (platform::MenuItem& item : saveMenu) {
        if (item.command != kSaveHitList && item.command != kPutBack && item.command != 0)
            item.enabled = haveScan;
    }
    platform::SetControlMenu(ctl::SaveResultsButton, saveMenu);
    saveMenu.insert(saveMenu.begin(), {kShowItem, kSeparator});
    platform::SetControlMenu(ctl::HitsText, saveMenu);
    platform::SetControlMenu(ctl::InfoText, {kShowItem});
}

void ApplyFilter(ProgramState* state) {
    // Disabled before the page shows, so that it never shows enabled while the scan runs.
    platform::EnableControl(ctl::SaveResultsButton, false);
    ActivatePage(kResultsPage);
    ShowHelpImage(ctl::ResultsHelpButton);
    // The focus follows the page: the hits while they come, then "Ergebnis speichern", unless
    // the user has put it elsewhere meanwhile.
    platform::FocusControl(ctl::HitsText);
    state->lastScan = ScanOnResultsPage(&state->page, ReadScanInputs());
    SetResultsMenus(OffersRecordItems(state->lastScan));
    platform::EnableControl(ctl::SaveResultsButton, true);
    if (platform::FocusedControl() == ctl::HitsText) platform::FocusControl(ctl::SaveResultsButton);
}

// True when the program is to end (closed during a copy or a walk).
bool DispatchMenuCommand(const platform::Event& event, ProgramState* state) {
    ResultsPage* page = &state->page;
    if (event.command == kShowInFolder) {
        ShowLineInFolder(page->TargetOfLine(event.control, event.line));
        return false;
    }
    if (event.command == kSaveHitList) {
        SaveResults(page);
        return false;
    }
    if (event.command == kPutBack) {
        return PutBackAside(state->lastScan ? &*state->lastScan : nullptr, page);
    }
    // Disabled without a record; a command that comes all the same does nothing.
    if (!OffersRecordItems(state->lastScan)) return false;
    ScanRecord& record = *state->lastScan;
    switch (event.command) {
        case kCopyUsedFiles:
            return CopyUsedFiles(record, page, &state->lastCopyTarget);
        case kSaveOverview:
            return SaveOverview(record, page);
        case kSaveCrossReference:
            TellSaveResult(SaveCrossReference(record), kCrossReferenceDialog.title);
            return false;
        case kSaveUnusedFiles: {
            BusyRequests requests;
            TellSaveResult(SaveUnusedFiles(&record, page, &requests), kUnusedFilesDialog.title);
            return requests.quit;
        }
        case kSetAsideDuplicates:
            return SetAsideDuplicates(&record, page);
        case kSetAsideUnused:
            return SetAsideUnused(&record, page);
        case kSaveDuplicates: {
            BusyRequests requests;
            TellSaveResult(SaveDuplicates(&record, page, &requests), kDuplicatesDialog.title);
            return requests.quit;
        }
        default:
            return false;
    }
}

void OpenHelp(int control) {
    const std::u16string file = PageRowFile(control);
    if (file.empty()) return;
    platform::ShellOpen(file, u"", platform::CurrentDirectory());
}

// What a control event does, by the number of the control that raised it.
void DispatchControlEvent(int control, ProgramState* state) {
    switch (control) {
        case ctl::ProjectDirButton:
            ChooseProjectDirectory();
            break;
        case ctl::MinLengthSlider:
            FollowSlider();
            break;
        case ctl::MustContainBaseBox:
            FollowMustContainBase();
            break;
        case ctl::ApplyFilterButton:
            ApplyFilter(state);
            break;
        case ctl::SaveResultsButton:
            SaveResults(&state->page);
            break;
        case ctl::ResultsHelpButton:
        case ctl::SettingsHelpButton:
            OpenHelp(control);
            break;
        default:
            // The base-path button, the two hit options and the displays only hold state that
            // the scan reads when it runs.
            break;
    }
}

}  // namespace

ScanInputs ReadScanInputs() {
    ScanInputs inputs;
    inputs.projectDirectory = platform::GetCaption(ctl::ProjectDirButton);
    inputs.basePathText = platform::GetCaption(ctl::BasePathButton);
    inputs.basePath = appSettings.basePath;
    inputs.minLength = appSettings.minStringLength;
    inputs.stripBase = platform::GetState(ctl::StripBaseBox) == 1;
    inputs.prefixProject = platform::GetState(ctl::PrefixProjectBox) == 1;
    return inputs;
}

std::optional<ScanRecord> ScanOnResultsPage(ResultsPage* page, const ScanInputs& inputs) {
    page->ClearHits();
    platform::EnableControl(ctl::ApplyFilterButton, false);
    BusyRequests requests;  // a scan drops the user's events: nothing is ever asked
    page->BeginWork();
    std::optional<ScanRecord> record =
        RunScan(inputs, page->ScanReportFor(BusyWork::kScan, &requests));
    page->EndWork();
    platform::EnableControl(ctl::ApplyFilterButton, true);
    return record;
}

void ResetProgramLists() {
    ResetAnchors();
    ResetPageTable();
    ResetAppSettings();
}

int RunProgram() {
    platform::LoadLibrariesOnlyFromSystem();
    ResetProgramLists();
    platform::BindEvent(platform::kSizeChanged, OnSizeChangedRelayout);
    if (OpenMainWindow()) {
        ProgramState state;
        SetResultsMenus(false);
        RunStartupChecks();
        ShowMinLength();
        ActivatePage(kSettingsPage);
        platform::FocusControl(ctl::ProjectDirButton);  // the settings page's first tab stop
        platform::BindEvent(platform::kSizeChanged, OnSizeChangedCentre);
        LoadSettings();
        // Logging off keeps the placement as closing does: saved before the process may end.
        platform::BindEvent(platform::kSessionEnding,
                            [](const platform::Event&) { SaveSettings(); });
        ShowHelpImage(ctl::SettingsHelpButton);

        bool quit = false;
        while (!quit) {
            platform::Event event;
            platform::WaitEvent(&event);
            if (event.number == platform::kCloseRequest && event.window == platform::kMainWindow) {
                quit = true;
            } else if (event.number == platform::kControlEvent) {
                DispatchControlEvent(event.control, &state);
            } else if (event.number == platform::kItemsDropped) {
                TakeDroppedFolder();
            } else if (event.number == platform::kMenuCommand) {
                quit = DispatchMenuCommand(event, &state);
            } else if (event.number == platform::kLineActivated) {
                ShowLineInFolder(state.page.TargetOfLine(event.control, event.line));
            }
        }
        SaveSettings();
        platform::CloseWindow(platform::kMainWindow);
    }
    platform::ReleasePlatform();
    return 0;
}

}  // namespace spurlese

#include "program/startup_checks.h"

#include <string>

#include "app/help_icon.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/extractor_runner.h"
#include "settings/app_settings.h"
#include "ui/controls.h"
#include "ui/page_table.h"

namespace spurlese {

void AddStartupPageRows() {
    AddPageRow(kSettingsPage, ctl::SettingsPage, u"", 1);
    for (int control = ctl::ProjectDirLabel; control <= ctl::ApplyFilterButton; ++control) {
        AddPageRow(kSettingsPage, control, u"", 0);
    }
    AddPageRow(kSettingsPage, ctl::SettingsHelpButton, u"Spurlese.chm", 0);
    AddPageRow(kResultsPage, ctl::ResultsPage, u"", 1);
    for (int control = ctl::InfoFrame; control <= ctl::SaveResultsButton; ++control) {
        AddPageRow(kResultsPage, control, u"", 0);
    }
    AddPageRow(kResultsPage, ctl::ResultsHelpButton, u"Spurlese.chm", 0);
}

namespace {

constexpr int kExtractorMissingExitCode = 999;

[[noreturn]] void ReportMissingExtractor() {
    std::u16string text = u"Bitte kopieren Sie das Sysinternals Tool\n'";
    text.append(kExtractorName);
    text.append(u"' in das Verzeichnis zu ");
    text.append(FileNamePart(platform::ExecutablePath()));
    platform::ShowMessageBox(u"Fataler Fehler", text, platform::kStopIcon);
    platform::ShellOpen(kExtractorDownloadPage, u"", platform::CurrentDirectory());
    platform::EndProcess(kExtractorMissingExitCode);
}

}  // namespace

int RunStartupChecks() {
    appSettings.basePath = u"D:\\Familienbilder Stand Juni 2022";
    appSettings.projectDirectory = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe";
    appSettings.minStringLength = static_cast<int64_t>(appSettings.basePath.size());
    AddStartupPageRows();

    platform::SetMinimum(ctl::MinLengthSlider, kShortestMinLength);
    platform::SetMaximum(ctl::MinLengthSlider, kLongestMinLength);
    platform::SetState(ctl::MinLengthSlider, appSettings.minStringLength);
    platform::SetCaption(ctl::ProjectDirButton, appSettings.projectDirectory);
    platform::SetCaption(ctl::BasePathButton, appSettings.basePath);

    appSettings.helpImage = CreateImageFromIconFile(HelpIconFile());

    // A bare name: looked up in the working directory, where the scan starts it from.
    if (platform::KindOfPath(kExtractorName) != platform::PathKind::kFile) ReportMissingExtractor();

    platform::EnumerateDisplays();
    return 0;
}

}  // namespace spurlese

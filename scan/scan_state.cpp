#include "scan/scan_state.h"

#include "platform/platform.h"
#include "settings/app_settings.h"
#include "ui/controls.h"

namespace spurlese {

ScanState scanState;

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

bool References::Add(std::u16string_view path, std::u16string_view projectFile) {
    auto found = latest.find(path);
    if (found != latest.end() && all[found->second].projectFile == projectFile) return false;
    all.push_back({std::u16string(path), std::u16string(projectFile)});
    if (found != latest.end()) {
        found->second = all.size() - 1;
    } else {
        latest.emplace(path, all.size() - 1);
    }
    return true;
}

void ResetScanState() {
    scanState = ScanState{};
}

}  // namespace spurlese

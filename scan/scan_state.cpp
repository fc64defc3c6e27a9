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

void ResetScanState() {
    scanState = ScanState{};
}

}  // namespace spurlese

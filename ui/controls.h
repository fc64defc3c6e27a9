// The numbers of the main window's controls. They are also the native control ids, so tests and
// accessibility tools find a control by its number.
#pragma once

namespace spurlese {

namespace ctl {

enum : int {
    SettingsPage = 1,
    SettingsFrame = 2,
    ProjectDirLabel = 3,
    ProjectDirButton = 4,
    BasePathLabel = 5,
    BasePathButton = 6,
    MinLengthLabel = 7,
    MinLengthSlider = 8,
    MinLengthValue = 9,
    MustContainBaseBox = 10,
    StripBaseBox = 11,
    PrefixProjectBox = 12,
    ApplyFilterButton = 13,
    ResultsPage = 14,
    InfoFrame = 15,
    InfoText = 16,
    ScanProgress = 17,
    HitsFrame = 18,
    HitsText = 19,
    SaveResultsButton = 20,
    ResultsHelpButton = 21,
    SettingsHelpButton = 22,
};

constexpr int kCount = 22;

}  // namespace ctl

}  // namespace spurlese

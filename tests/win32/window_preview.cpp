// Shows the main window with a few lines, the slider and the progress bar filled in, so that a
// screenshot under Xvfb shows what real Win32 controls make of the model. Not a test: run by
// scripts/screenshot_test_window. Argument "results" shows the results page, anything else the
// settings page. Runs until its process is ended.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <cwchar>

#include "platform/platform.h"
#include "results_page/results_page.h"
#include "ui/controls.h"
#include "ui/main_window.h"

using namespace spurlese;

int wmain(int argc, wchar_t** argv) {
    if (!OpenMainWindow()) return 1;
    platform::SetCaption(ctl::ProjectDirButton,
                         u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe");
    platform::SetCaption(ctl::BasePathButton, u"D:\\Familienbilder Stand Juni 2022");
    platform::SetMinimum(ctl::MinLengthSlider, 8);
    platform::SetMaximum(ctl::MinLengthSlider, 40);
    platform::SetState(ctl::MinLengthSlider, 33);
    platform::SetCaption(ctl::MinLengthValue, u"33");

    ResultsPage page;
    page.Info(
        u"Es wird gesucht unter 'C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory "
        u"Deluxe' nach treffern in 'D:\\Familienbilder Stand Juni 2022'");
    page.Info(u"Filtering 'C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Urlaub.mph'");
    page.Info(u"Error examining the path 'D:\\Familienbilder Stand Juni 2022\\Gel\u00F6scht'");
    page.Hit(u"D:\\Familienbilder Stand Juni 2022\\Urlaub 2021\\IMG_0815.JPG");
    page.Hit(u"D:\\Familienbilder Stand Juni 2022\\Geburtstag J\u00FCrgen\\IMG_0001.HEIC");
    page.Hit(u"D:\\Familienbilder Stand Juni 2022\\Videos\\Strand.mp4");
    platform::SetMinimum(ctl::ScanProgress, 0);
    platform::SetMaximum(ctl::ScanProgress, 3);
    platform::SetState(ctl::ScanProgress, 2);

    if (argc > 1 && std::wcscmp(argv[1], L"results") == 0) {
        platform::ShowControl(ctl::SettingsPage, false);
        platform::ShowControl(ctl::ResultsPage, true);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// Spurlese.exe end to end, driven from this process as a user would drive it: started in a
// working directory, its window found by title, controls found by number, clicks posted, the
// real save dialog and message boxes answered, the exit code and the files it left checked.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/tidy_up.h"
#include "platform/platform.h"
#include "tests/support/remote_window.h"
#include "tests/support/test_platform.h"
#include "tests/win32/raw_files.h"

namespace spurlese {

namespace {

using remote::BoxText;
using remote::Child;
using remote::ChildOfClass;
using remote::Text;
using remote::TopWindow;
using remote::WaitFor;

constexpr wchar_t kWork[] = L"D:\\E2E\\";

std::wstring BuildFolder() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + L"..\\";
}

std::wstring Program() {
    return BuildFolder() + L"Spurlese.exe";
}

using spurlese::rawfiles::FileBytes;
using spurlese::rawfiles::PutFile;

class ProgramEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        CreateDirectoryW(L"D:\\E2E", nullptr);
        // Drive C: stays between tests: only this test's projects are scanned.
        const std::wstring projects = L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
        WIN32_FIND_DATAW found;
        HANDLE listing = FindFirstFileW((projects + L"*.mph").c_str(), &found);
        for (bool more = listing != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(listing, &found))
            DeleteFileW((projects + found.cFileName).c_str());
        if (listing != INVALID_HANDLE_VALUE) FindClose(listing);
        ASSERT_TRUE(CopyFileW((BuildFolder() + L"tools\\spurlese_strings.exe").c_str(),
                              L"D:\\E2E\\strings64.exe", FALSE));
        PutFile(L"D:\\Familienbilder Stand Juni 2022\\Geburtstag J\u00fcrgen\\IMG_0001.JPG", "j");
        PutFile(L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Feier.mph",
                std::string("\x05\x00", 2) +
                    "D:\\Familienbilder Stand Juni 2022\\Geburtstag J\xFCrgen\\IMG_0001.JPG" +
                    std::string("\x00\x00", 2));
    }
};

TEST_F(ProgramEndToEndTest, WithoutExtractorTheUserIsToldAndTheProgramEnds) {
    CreateDirectoryW(L"D:\\Leer", nullptr);
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), L"D:\\Leer\\"));
    HWND box = program.Window(L"Fataler Fehler");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(
        L"Bitte kopieren Sie das Sysinternals Tool\n'strings64.exe' in das Verzeichnis zu "
        L"Spurlese.exe",
        BoxText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(999, program.ExitCode());
    EXPECT_EQ("<none>", FileBytes(L"D:\\Leer\\Spurlese.ini"));
}

TEST_F(ProgramEndToEndTest, ScanSaveCloseAndRestart) {
    PutFile(L"D:\\E2E\\Spurlese.chm", "ITSF");
    CreateDirectoryW(L"D:\\Ausgabe", nullptr);
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), kWork));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe", Text(Child(main, 4)));
    EXPECT_EQ(L"D:\\Familienbilder Stand Juni 2022", Text(Child(main, 6)));
    EXPECT_EQ(L"33", Text(Child(main, 9)));
    EXPECT_TRUE(IsWindowVisible(Child(main, 22)));  // the help file is there

    // The slider by keyboard, then the box that sets it to the base path's length.
    PostMessageW(Child(main, 8), WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_TRUE(WaitFor([&] { return Text(Child(main, 9)) == L"34"; }));
    PostMessageW(Child(main, 10), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Text(Child(main, 9)) == L"33"; }));

    // "Filter anwenden": the results page, the hit, "Ergebnis speichern" enabled again.
    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] {
        return IsWindowVisible(Child(main, 19)) && IsWindowEnabled(Child(main, 20)) &&
               Text(Child(main, 16)).find(L"Done") != std::wstring::npos;
    }));
    const std::wstring hit =
        L"D:\\Familienbilder Stand Juni 2022\\Geburtstag J\u00fcrgen\\img_0001.jpg";
    EXPECT_EQ(hit, Text(Child(main, 19)));
    EXPECT_FALSE(IsWindowVisible(Child(main, 13)));

    // Save: the real dialog, a name typed without extension, confirmed.
    PostMessageW(Child(main, 20), BM_CLICK, 0, 0);
    HWND dialog = program.Window(L"Ergebnis speichern");
    ASSERT_NE(nullptr, dialog);
    HWND name = ChildOfClass(dialog, L"Edit");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(L"Spurlese_Hits.txt", Text(name));
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\Ausgabe\\treffer"));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND success = program.Window(L"Success");
    ASSERT_NE(nullptr, success);
    EXPECT_EQ(L"The results where successfully saved.", BoxText(success));
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "D:\\Familienbilder Stand Juni 2022\\Geburtstag J\xC3\xBCrgen\\img_0001.jpg\r\n",
        FileBytes(L"D:\\Ausgabe\\treffer"));

    // Saving again, cancelled: no message.
    PostMessageW(Child(main, 20), BM_CLICK, 0, 0);
    dialog = program.Window(L"Ergebnis speichern");
    ASSERT_NE(nullptr, dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    Sleep(500);
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    EXPECT_EQ(nullptr, TopWindow(process, L"Success"));

    // And to a path of over 300 characters, typed whole into the dialog.
    std::wstring deep = L"D:\\Ausgabe";
    for (int k = 0; k < 3; ++k) {
        deep += L"\\Sicherung der Trefferliste f\u00fcr die Diashow \u201eSommer\u201c, Teil " +
                std::to_wstring(k + 1) + L" von drei, mit Bildern und Videos";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    const std::wstring longTarget = deep + L"\\treffer.txt";
    ASSERT_GT(longTarget.size(), 300u);
    PostMessageW(Child(main, 20), BM_CLICK, 0, 0);
    ASSERT_TRUE(remote::TypeAndConfirm(program.Window(L"Ergebnis speichern"), longTarget));
    success = program.Window(L"Success");
    ASSERT_NE(nullptr, success) << "saved to a long path";
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(FileBytes(L"D:\\Ausgabe\\treffer"), FileBytes(L"\\\\?\\" + longTarget));

    // Moved and resized from outside, then closed: the placement is kept.
    RECT frame = {};
    GetWindowRect(main, &frame);
    SetWindowPos(main, nullptr, 100, 80, frame.right - frame.left + 100,
                 frame.bottom - frame.top + 50, SWP_NOZORDER);
    RECT client = {};
    GetClientRect(main, &client);
    EXPECT_EQ(668, client.right);
    EXPECT_EQ(450, client.bottom);
    RECT button = {};
    GetWindowRect(Child(main, 20), &button);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(450 - 40, button.top);  // follows the bottom edge
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
    EXPECT_EQ("[General]\nMainWindowPosition=100,80,668,450\n",
              FileBytes(L"D:\\E2E\\Spurlese.ini"));

    // Started again: where it was closed.
    remote::RunningProgram again;
    ASSERT_TRUE(again.Start(Program(), kWork));
    main = again.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    // The window shows before the stored placement is applied.
    WaitFor([&] { return GetWindowRect(main, &frame) && frame.left == 100; });
    GetWindowRect(main, &frame);
    GetClientRect(main, &client);
    EXPECT_EQ(100, frame.left);
    EXPECT_EQ(80, frame.top);
    EXPECT_EQ(668, client.right);
    EXPECT_EQ(450, client.bottom);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, again.ExitCode());
}

// The folder picker is Windows' own folder dialog and takes a folder of a long path typed whole.
TEST_F(ProgramEndToEndTest, FolderPickerTakesALongPath) {
    std::wstring deep = L"D:\\Projekte";
    CreateDirectoryW(deep.c_str(), nullptr);
    for (int k = 0; k < 5; ++k) {
        deep += L"\\Diashows der Familie aus dem Jahr 20" + std::to_wstring(19 + k) +
                L", alle Fassungen und Entw\u00fcrfe";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    ASSERT_GT(deep.size(), 300u);
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), kWork));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    PostMessageW(Child(main, 4), BM_CLICK, 0, 0);
    HWND picker =
        program.Window(L"Bitte das Verzeichnis mit den Photostory MPH Dateien w\u00e4hlen");
    ASSERT_TRUE(remote::TypeAndConfirm(picker, deep));
    EXPECT_TRUE(WaitFor([&] { return Text(Child(main, 4)) == deep + L"\\"; }))
        << Text(Child(main, 4)).size();
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// Text in the encodings a project file may hold it in.
std::string Encoded(const std::wstring& text, UINT codePage) {
    if (codePage == 1200) {  // UTF-16LE
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    }
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                     nullptr));
    return bytes;
}

// Folder names as people and phones write them, in every encoding, between bytes that look like
// a compressed picture: each file reaches "Treffer". Two projects both name one file in two
// letter cases: the report after "Done" names each of those hits with both projects.
TEST_F(ProgramEndToEndTest, EveryReferenceFoundWhateverItsPathHolds) {
    const std::wstring base = L"D:\\Familienbilder Stand Juni 2022\\";
    const struct Reference {
        std::wstring path;
        UINT codePage;
    } references[] = {
        {base + L"Urlaub 2019 \u2013 Italien\\img_1.jpg", CP_UTF8},
        {base + L"\u201eSommerfest\u201c 2020 \u2013 5 \u20ac\\img_2.jpg", 1252},
        {base + L"Party \U0001F389 \u0391\u03b8\u03ae\u03bd\u03b1\\clip_3.mov", 1200},
        {base + L"Ferien\\img_4.jpg", 1200},
        {base + L"FERIEN\\img_4.jpg", CP_UTF8},
    };
    std::string project;
    unsigned noise = 2022;
    for (const Reference& reference : references) {
        PutFile(reference.path, "x");
        for (int k = 0; k < 700; ++k)
            project += static_cast<char>((noise = noise * 1103515245 + 12345) >> 16);
        project += "Titel" + Encoded(reference.path, reference.codePage) + std::string(2, '\0');
    }
    const std::wstring projects = L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
    PutFile(projects + L"Feier.mph", project);
    PutFile(projects + L"Zweite Feier.mph", project);
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), kWork));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Text(Child(main, 16)).find(L"Done") != std::wstring::npos; }));
    const std::wstring hits = L"\r\n" + Text(Child(main, 19)) + L"\r\n";
    for (const Reference& reference : references) {
        EXPECT_NE(std::wstring::npos, hits.find(L"\r\n" + reference.path + L"\r\n"))
            << "code page " << reference.codePage;
    }
    const std::wstring log = Text(Child(main, 16));
    const std::wstring report = log.substr(log.find(L"Done\r\n") + 6);
    // The projects in the order of the folder's listing.
    const bool feierFirst = log.find(L"Feier.mph") < log.find(L"Zweite Feier.mph");
    const std::wstring first = projects + (feierFirst ? L"Feier.mph" : L"Zweite Feier.mph");
    const std::wstring second = projects + (feierFirst ? L"Zweite Feier.mph" : L"Feier.mph");
    const std::wstring both = L"\r\n   " + first + L"\r\n   " + second + L"\r\n";
    EXPECT_NE(std::wstring::npos, report.find(base + L"FERIEN\\img_4.jpg" + both));
    EXPECT_NE(std::wstring::npos, report.find(base + L"Ferien\\img_4.jpg" + both));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// A library named like a system one and planted beside the program (a Downloads folder holds
// both) is never loaded, and the window works.
// The extractor as a stand-in that behaves as `behaviour` says (tests/win32/cat_tool.cpp), then
// Spurlese started with it and "Filter anwenden" clicked.
HWND StartScanWithStandIn(remote::RunningProgram* program, const wchar_t* behaviour) {
    if (!CopyFileW((BuildFolder() + L"tests\\cat_tool.exe").c_str(), L"D:\\E2E\\strings64.exe",
                   FALSE))
        return nullptr;
    SetEnvironmentVariableW(L"SPURLESE_STAND_IN", behaviour);  // inherited by both
    const bool started = program->Start(Program(), kWork);
    SetEnvironmentVariableW(L"SPURLESE_STAND_IN", nullptr);
    HWND main = started ? program->Window(L"Spurlese") : nullptr;
    if (main) PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    return main;
}

// An extractor that works long without a word leaves the window answering the system (Windows
// offers to end a program that does not answer for 5 s); after 15 s "Informationen" says what the
// scan waits for.
TEST_F(ProgramEndToEndTest, ASilentExtractorLeavesTheWindowAnswering) {
    remote::RunningProgram program;
    HWND main = StartScanWithStandIn(&program, L"silent:17");
    ASSERT_NE(nullptr, main);
    ULONGLONG longest = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            const ULONGLONG before = GetTickCount64();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer);
            longest = std::max(longest, GetTickCount64() - before);
            return Text(Child(main, 16)).find(L"Done") != std::wstring::npos;
        },
        40000));
    EXPECT_LT(longest, 1000u);
    const std::wstring log = Text(Child(main, 16));
    EXPECT_NE(std::wstring::npos,
              log.find(L"Keine Ausgabe von 'D:\\E2E\\strings64.exe' seit 15 s, es liest 'C:\\"))
        << std::string(log.begin(), log.end());
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// An extractor that asks in a window of its own, which opens behind Spurlese (as a background
// process's window does on Windows), is not left waiting unseen: it is brought to the front.
TEST_F(ProgramEndToEndTest, AnExtractorsOwnWindowIsBroughtToTheFront) {
    remote::RunningProgram program;
    HWND main = StartScanWithStandIn(&program, L"window");
    ASSERT_NE(nullptr, main);
    HWND question = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        question = FindWindowW(nullptr, L"Sysinternals License Agreement");
        return question != nullptr;
    }));
    EXPECT_TRUE(WaitFor([&] { return question && GetForegroundWindow() == question; }, 8000));
    // Answered whatever came before, so that the stand-in ends and the next test finds its file.
    if (question) PostMessageW(question, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Text(Child(main, 16)).find(L"Done") != std::wstring::npos; }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

TEST_F(ProgramEndToEndTest, LibraryPlantedBesideTheProgramIsNotLoaded) {
    const std::wstring folder = L"D:\\Downloads\\";
    CreateDirectoryW(L"D:\\Downloads", nullptr);
    for (const auto& [from, to] :
         {std::pair{Program(), L"Spurlese.exe"},
          {BuildFolder() + L"tools\\spurlese_strings.exe", L"strings64.exe"},
          {BuildFolder() + L"tests\\planted\\msftedit.dll", L"msftedit.dll"}}) {
        ASSERT_TRUE(CopyFileW(from.c_str(), (folder + to).c_str(), FALSE)) << to;
    }
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(folder + L"Spurlese.exe", folder));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    EXPECT_NE(nullptr, Child(main, 19)) << "the rich edit displays were made";
    EXPECT_EQ("<none>", FileBytes(L"D:\\planted-library-was-loaded"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// Starts the program with this Spurlese.ini, waits until the window stands where `placed`
// accepts (it shows before the stored placement is applied), reads its frame and client area in
// device pixels, and closes it.
void PlacementAfterStart(const std::string& ini, bool (*placed)(const RECT& frame), RECT* frame,
                         RECT* client) {
    PutFile(L"D:\\E2E\\Spurlese.ini", ini);
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), kWork));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    WaitFor([&] { return GetWindowRect(main, frame) && placed(*frame); });
    GetWindowRect(main, frame);
    GetClientRect(main, client);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// Run at 96 DPI and again on a display scaled to 200 %: the stored numbers are in 96-DPI units,
// and the bounds hold them to the display in the same units, so the window stays on the screen.
// (Compared with device pixels, x 20000 would be allowed up to 2560 - 600 units, far off a
// 2560-pixel screen at 200 %.)
TEST_F(ProgramEndToEndTest, PlacementStaysOnTheScreenAtAnyScaling) {
    RECT frame = {}, client = {};
    PlacementAfterStart(
        "[General]\nMainWindowPosition=20000,15000,600,400\n",
        [](const RECT& f) { return f.left > GetSystemMetrics(SM_CXSCREEN) / 4; }, &frame, &client);
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.top, 0);
    EXPECT_LE(frame.left + client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(frame.top + client.bottom, GetSystemMetrics(SM_CYSCREEN));
}

std::string Narrow(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                     bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                     nullptr));
    return bytes;
}

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The files of a folder (no subfolders), with their sizes.
std::vector<std::pair<std::wstring, int64_t>> FilesIn(const std::wstring& folder) {
    std::vector<std::pair<std::wstring, int64_t>> files;
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files.push_back(
            {found.cFileName, (int64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
    return files;
}

// Saves through the program's save dialog, a path typed into it; true on "Success".
// Starts Spurlese in the test's working directory and clicks "Filter anwenden"; the main window
// once the scan has ended, or nullptr.
HWND StartAndScan(remote::RunningProgram* program) {
    if (!program->Start(Program(), kWork)) return nullptr;
    HWND main = program->Window(L"Spurlese");
    if (!main) return nullptr;
    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    const bool ended = WaitFor([&] {
        return Text(Child(main, 16)).find(L"Done") != std::wstring::npos &&
               IsWindowEnabled(Child(main, 20));
    });
    return ended ? main : nullptr;
}

bool SaveAs(remote::RunningProgram& program, const wchar_t* title, const std::wstring& path) {
    if (!remote::TypeAndConfirm(program.Window(title), path)) return false;
    HWND success = program.Window(L"Success");
    if (!success) return false;
    PostMessageW(success, WM_COMMAND, IDOK, 0);
    return true;
}

// A folder of referenced files was renamed and moved: its "Missing" line names where the file
// is now; the unused list (with a live photo's video) and the cross-reference, both from the
// split button's menu, hold exactly what the archive and the project say.
TEST_F(ProgramEndToEndTest, MissingFilesFoundUnusedListAndCrossReferenceSaved) {
    const std::wstring base = L"D:\\Familienbilder Stand Juni 2022\\";
    const std::wstring beach = base + L"Urlaub; Strand, Mole\\";
    const std::wstring project =
        L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Sommer, 2023.mph";
    DeleteFileW(L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Feier.mph");
    PutFile(beach + L"img_2.jpg", std::string(1234, 'p'));
    PutFile(beach + L"img_10.jpg", "12345");
    PutFile(beach + L"IMG_2.MOV", "v");
    PutFile(base + L"Rest\\img_1.jpg", "r");
    PutFile(base + L"Neu sortiert\\Alt 2019\\img_3.heic", "h");  // was Alt\img_3.heic
    std::string bytes;
    for (const wchar_t* name : {L"img_10.jpg", L"img_2.jpg"})
        bytes += "\x01" + Encoded(beach + name, CP_UTF8) + std::string(2, '\0');
    bytes += Encoded(base + L"Alt\\img_3.heic", 1200) + std::string(2, '\0');
    PutFile(project, bytes);
    // The pictures' last change: 14 July 2023, 12:00 UTC, as it is in this machine's time zone.
    SYSTEMTIME noon = {2023, 7, 5, 14, 12, 0, 0, 0}, local = {};
    FILETIME stamp = {}, localStamp = {};
    SystemTimeToFileTime(&noon, &stamp);
    for (const wchar_t* name : {L"img_2.jpg", L"img_10.jpg"}) {
        HANDLE file = CreateFileW((beach + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &stamp);
        CloseHandle(file);
    }
    SystemTimeToTzSpecificLocalTime(nullptr, &noon, &local);
    SystemTimeToFileTime(&local, &localStamp);
    const int64_t offset = ((int64_t(localStamp.dwHighDateTime) << 32 | localStamp.dwLowDateTime) -
                            (int64_t(stamp.dwHighDateTime) << 32 | stamp.dwLowDateTime)) /
                           600000000;
    char when[40];
    std::snprintf(when, sizeof(when), "2023-07-14T%02d:%02d:00%c%02d:%02d", local.wHour,
                  local.wMinute, offset < 0 ? '-' : '+', int(std::abs(offset) / 60),
                  int(std::abs(offset) % 60));

    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), kWork));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    // The report after "Done" ends the scan; the button is enabled again after it.
    const std::wstring found = L"Missing '" + base + L"Alt\\img_3.heic'\r\n   maybe now '" + base +
                               L"Neu sortiert\\Alt 2019\\img_3.heic'";
    ASSERT_TRUE(WaitFor([&] {
        return Text(Child(main, 16)).find(found) != std::wstring::npos &&
               IsWindowEnabled(Child(main, 20));
    })) << "no line: "
        << std::string(found.begin(), found.end());

    CreateDirectoryW(L"D:\\Ausgabe", nullptr);
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 2));
    ASSERT_TRUE(SaveAs(program, L"Nicht verwendete Dateien speichern", L"D:\\Ausgabe\\frei.txt"));
    const std::string archive = "D:\\Familienbilder Stand Juni 2022\\";
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "Mediendateien im Archiv: 6, verwendet: 2, nicht verwendet: 4\r\n" +
            archive + "Geburtstag J\xC3\xBCrgen\\IMG_0001.JPG\r\n" + archive +
            "Neu sortiert\\Alt 2019\\img_3.heic\r\n" + archive + "Rest\\img_1.jpg\r\n" + archive +
            "Urlaub; Strand, Mole\\IMG_2.MOV\tgeh\xC3\xB6rt zum verwendeten Bild "
            "'img_2.jpg'\r\n",
        FileBytes(L"D:\\Ausgabe\\frei.txt"));

    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 1));
    ASSERT_TRUE(SaveAs(program, L"Querverweis f\u00fcr Excel speichern", L"D:\\Ausgabe\\quer.csv"));
    const std::string projectField =
        "\"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Sommer, 2023.mph\";";
    const std::string beachField = "\"" + archive + "Urlaub; Strand, Mole\\";
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "Projektdatei;Mediendatei;Status;Gr\xC3\xB6\xC3\x9F"
        "e (Bytes);"
        "Letzte \xC3\x84nderung;Vermutlich jetzt unter\r\n" +
            projectField + archive + "Alt\\img_3.heic;fehlt;;;" + archive +
            "Neu sortiert\\Alt 2019\\img_3.heic\r\n" + projectField + beachField +
            "img_2.jpg\";vorhanden;1234;" + when + ";\r\n" + projectField + beachField +
            "img_10.jpg\";vorhanden;5;" + when + ";\r\n",
        FileBytes(L"D:\\Ausgabe\\quer.csv"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// A show held open without sharing by another program (the slideshow program with it open) while
// the scan runs: said in "Informationen", and the unused list is refused, naming the show, instead
// of listing what only that show uses as unused.
TEST_F(ProgramEndToEndTest, AShowHeldOpenIsNamedAndTheUnusedListRefused) {
    const std::wstring shows = L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
    PutFile(L"D:\\Familienbilder Stand Juni 2022\\Namen \u201eTag\u201c\\nur hier.jpg", "n");
    PutFile(shows + L"Namen.mph",
            "\x05" +
                Encoded(L"D:\\Familienbilder Stand Juni 2022\\Namen \u201eTag\u201c\\nur hier.jpg",
                        CP_UTF8) +
                std::string(2, '\0'));
    struct Held {
        HANDLE file;
        ~Held() { CloseHandle(file); }
    } held{CreateFileW((shows + L"Namen.mph").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr)};
    ASSERT_NE(INVALID_HANDLE_VALUE, held.file);
    remote::RunningProgram program;
    HWND main = StartAndScan(&program);
    ASSERT_NE(nullptr, main);
    EXPECT_NE(std::wstring::npos,
              Text(Child(main, 16)).find(L"Error reading '" + shows + L"Namen.mph'"));
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 2));
    HWND box = program.Window(L"Nicht verwendete Dateien speichern");
    ASSERT_NE(nullptr, box);
    const std::wstring said = BoxText(box);
    EXPECT_NE(std::wstring::npos, said.find(L"wird nicht gespeichert")) << Narrow(said);
    EXPECT_NE(std::wstring::npos, said.find(L"'" + shows +
                                            L"Namen.mph': der Extraktor konnte sie "
                                            L"nicht lesen"))
        << Narrow(said);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// The duplicates list through the menu: a copy of a used picture under another name, and a hard
// link of it, which is the same file and no copy.
TEST_F(ProgramEndToEndTest, DuplicatesListedWithTheCopyThatStays) {
    const std::wstring base = L"D:\\Familienbilder Stand Juni 2022\\";
    PutFile(base + L"Kopien \u2013 Handy\\IMG_0001 (2).JPG", "j");
    ASSERT_TRUE(CreateHardLinkW((base + L"Zweiter Name.JPG").c_str(),
                                (base + L"Geburtstag J\u00fcrgen\\IMG_0001.JPG").c_str(), nullptr));
    remote::RunningProgram program;
    HWND main = StartAndScan(&program);
    ASSERT_NE(nullptr, main);
    CreateDirectoryW(L"D:\\Ausgabe", nullptr);
    DeleteFileW(L"D:\\Ausgabe\\doppelt.txt");
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 3));
    ASSERT_TRUE(SaveAs(program, L"Doppelte Dateien speichern", L"D:\\Ausgabe\\doppelt.txt"));
    const std::string list = FileBytes(L"D:\\Ausgabe\\doppelt.txt");
    const std::string archive = "D:\\Familienbilder Stand Juni 2022\\";
    EXPECT_NE(std::string::npos,
              list.find(": 2 gleiche Dateien zu je 1 Bytes\r\n   bleibt: " + archive +
                        "Geburtstag J\xC3\xBCrgen\\IMG_0001.JPG\t(verwendet von Feier.mph)\r\n"
                        "   Kopie:  " +
                        archive + "Kopien \xE2\x80\x93 Handy\\IMG_0001 (2).JPG"))
        << list;
    EXPECT_EQ(std::string::npos, list.find("Zweiter Name")) << "one file, two names";
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
    DeleteFileW((base + L"Zweiter Name.JPG").c_str());
    DeleteFileW((base + L"Kopien \u2013 Handy\\IMG_0001 (2).JPG").c_str());
}

// "Aufräumen" through the menu: the unused files set aside beside the archive, each in its new
// place with its size and time and listed; then put back, the archive exactly as before.
TEST_F(ProgramEndToEndTest, SetAsideAndPutBackLeaveTheArchiveAsItWas) {
    const std::wstring base = L"D:\\Familienbilder Stand Juni 2022\\";
    const std::wstring unused[] = {L"Kopien \u2013 Handy\\IMG_0001 (2).JPG",
                                   L"Oma 90 \u201eTorte\u201c\\\U0001F382 Kerzen.mp4"};
    for (const std::wstring& name : unused) PutFile(base + name, "bytes of " + Narrow(name));
    const std::u16string before = testsupport::TreeOf(u"D:\\Familienbilder Stand Juni 2022");
    const std::u16string name =
        AsideFolderName(u"D:\\Familienbilder Stand Juni 2022\\", platform::CurrentTime());
    const std::wstring aside = L"D:\\" + std::wstring(name.begin(), name.end()) + L"\\";
    remote::RunningProgram program;
    HWND main = StartAndScan(&program);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 7));
    HWND question = program.Window(L"Nicht verwendete Dateien beiseitelegen");
    ASSERT_NE(nullptr, question);
    EXPECT_NE(std::wstring::npos,
              BoxText(question).find(L"nach\n'" + aside.substr(0, aside.size() - 1)))
        << Narrow(BoxText(question));
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitFor([&] {
        return Text(Child(main, 16)).find(L"Beiseitelegen beendet") != std::wstring::npos;
    }));
    const std::string list = FileBytes(aside + L"Spurlese_Beiseitegelegt.txt");
    for (const std::wstring& name : unused) {
        EXPECT_EQ("bytes of " + Narrow(name), FileBytes(aside + name));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((base + name).c_str()));
        EXPECT_NE(std::string::npos,
                  list.find(Encoded(base + name + L"\t" + aside + name, CP_UTF8)))
            << list;
    }
    EXPECT_EQ("j", FileBytes(base + L"Geburtstag J\u00fcrgen\\IMG_0001.JPG")) << "used: stays";

    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 8));
    ASSERT_TRUE(remote::TypeAndConfirm(
        program.Window(L"Ordner mit beiseitegelegten Dateien w\u00e4hlen"), aside));
    question = program.Window(L"Beiseitegelegtes zur\u00fccklegen");
    ASSERT_NE(nullptr, question);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitFor([&] {
        return Text(Child(main, 16)).find(L"Zur\u00fccklegen beendet") != std::wstring::npos;
    }));
    EXPECT_EQ(before, testsupport::TreeOf(u"D:\\Familienbilder Stand Juni 2022"))
        << testsupport::Show(testsupport::TreeOf(u"D:\\Familienbilder Stand Juni 2022"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(aside.c_str())) << "nothing left aside";
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
    for (const std::wstring& name : unused) DeleteFileW((base + name).c_str());
}

// Drive D: not connected (the test's script maps it to a folder that is not there): after "Done"
// the archive is said to be away, once (the menu's items that need it are disabled, as the
// headless tests check).
TEST(DriveEndToEndTest, WithoutDriveDTheArchiveIsSaidToBeAway) {
    if (!_wgetenv(L"SPURLESE_NO_DRIVE_D")) GTEST_SKIP() << "needs drive D: mapped to nothing";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"D:\\"));
    const std::wstring work = L"C:\\E2E ohne D\\";
    CreateDirectoryW(work.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((BuildFolder() + L"tools\\spurlese_strings.exe").c_str(),
                          (work + L"strings64.exe").c_str(), FALSE));
    PutFile(L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Feier.mph",
            "\x05"
            "D:\\Familienbilder Stand Juni 2022\\Feier\\a.jpg" +
                std::string(2, '\0'));
    remote::RunningProgram program;
    ASSERT_TRUE(program.Start(Program(), work));
    HWND main = program.Window(L"Spurlese");
    ASSERT_NE(nullptr, main);
    PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
    const std::wstring away =
        L"Das Archiv 'D:\\Familienbilder Stand Juni 2022' ist nicht "
        L"erreichbar: das Laufwerk D: ist nicht verbunden oder antwortet "
        L"nicht.";
    ASSERT_TRUE(WaitFor([&] {
        return Text(Child(main, 16)).find(away) != std::wstring::npos &&
               IsWindowEnabled(Child(main, 20));
    })) << Narrow(Text(Child(main, 16)));
    EXPECT_EQ(1u, Count(Text(Child(main, 16)), L"nicht erreichbar"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.ExitCode());
}

// The used files of the summer project and of the birthday, copied as a user does it: the menu
// item, then the target typed into the folder picker.
class CopyEndToEndTest : public ProgramEndToEndTest {
protected:
    const std::wstring base = L"D:\\Familienbilder Stand Juni 2022\\";
    const std::wstring trip = L"Urlaub \u2013 Sommer \u201e2023\u201c\\";
    // Makes the summer's files of these sizes, named in a project, and scans.
    void ScanWithSummerFiles(const std::vector<std::pair<std::wstring, size_t>>& files) {
        std::string project;
        for (const auto& [name, size] : files) {
            std::string bytes(size, '\0');
            unsigned noise = static_cast<unsigned>(size);
            for (char& byte : bytes)
                byte = static_cast<char>((noise = noise * 1103515245 + 12345) >> 16);
            PutFile(base + trip + name, bytes);
            project += "\x01\x02" + Encoded(base + trip + name, 1200) + std::string(2, '\0');
        }
        PutFile(L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Sommer.mph", project);
        ASSERT_TRUE(program.Start(Program(), kWork));
        main = program.Window(L"Spurlese");
        ASSERT_NE(nullptr, main);
        PostMessageW(Child(main, 13), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] {
            return Text(Child(main, 16)).find(L"Done") != std::wstring::npos &&
                   IsWindowEnabled(Child(main, 20));
        }));
    }
    // Chooses the copy and its target; the copy then runs.
    void StartCopy(const std::wstring& target) {
        ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 5));
        HWND picker =
            program.Window(L"Ordner w\u00e4hlen, in den die verwendeten Dateien kopiert werden");
        ASSERT_TRUE(remote::TypeAndConfirm(picker, target));
    }
    // The copy's summary line, once the copy ended.
    std::wstring Copy(const std::wstring& target) {
        const size_t before = Count(Text(Child(main, 16)), L"Kopieren beendet");
        StartCopy(target);
        if (!WaitFor([&] { return Count(Text(Child(main, 16)), L"Kopieren beendet") > before; }))
            return L"<no end>";
        const std::wstring log = Text(Child(main, 16));
        const size_t at = log.rfind(L"Kopieren beendet");
        return log.substr(at, log.find(L"\r", at) - at);
    }
    void TearDown() override {
        if (!main) return;  // skipped, or never started
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, program.ExitCode());
    }
    remote::RunningProgram program;
    HWND main = nullptr;
};

// Into an empty folder, then again into it (all there already), then beside a different file of
// the same name (a conflict, left as it is); a folder in the archive is refused.
TEST_F(CopyEndToEndTest, IntoAnEmptyFolderAgainAndBesideADifferentFile) {
    ScanWithSummerFiles(
        {{L"IMG_0001.HEIC", 2'000'000}, {L"Strand \U0001F3D6\\Clip.mp4", 3'000'000}});
    CreateDirectoryW(L"D:\\Stick", nullptr);
    EXPECT_EQ(
        L"Kopieren beendet: 3 kopiert, 0 schon vorhanden, 0 Konflikte, 0 fehlgeschlagen, "
        L"5.000.001 Bytes kopiert",
        Copy(L"D:\\Stick"));
    for (const std::wstring& name : {trip + L"IMG_0001.HEIC", trip + L"Strand \U0001F3D6\\Clip.mp4",
                                     std::wstring(L"Geburtstag J\u00fcrgen\\IMG_0001.JPG")}) {
        EXPECT_EQ(FileBytes(base + name), FileBytes(L"D:\\Stick\\" + name));
        WIN32_FILE_ATTRIBUTE_DATA source = {}, copy = {};
        GetFileAttributesExW((base + name).c_str(), GetFileExInfoStandard, &source);
        GetFileAttributesExW((L"D:\\Stick\\" + name).c_str(), GetFileExInfoStandard, &copy);
        EXPECT_EQ(0, CompareFileTime(&source.ftLastWriteTime, &copy.ftLastWriteTime));
    }
    const std::string list = FileBytes(L"D:\\Stick\\Spurlese_Kopie.txt");
    EXPECT_EQ(0u, list.find("\xEF\xBB\xBF"
                            "D:\\Familienbilder Stand Juni 2022\\"));
    EXPECT_EQ(5u, Count(std::wstring(list.begin(), list.end()), L"\r\n")) << "3 files, the note";

    EXPECT_EQ(
        L"Kopieren beendet: 0 kopiert, 3 schon vorhanden, 0 Konflikte, 0 fehlgeschlagen, "
        L"0 Bytes kopiert",
        Copy(L"D:\\Stick"));

    PutFile(L"D:\\Stick 2\\Geburtstag J\u00fcrgen\\IMG_0001.JPG", "anders");
    EXPECT_EQ(
        L"Kopieren beendet: 2 kopiert, 0 schon vorhanden, 1 Konflikt, 0 fehlgeschlagen, "
        L"5.000.000 Bytes kopiert",
        Copy(L"D:\\Stick 2"));
    EXPECT_EQ("anders", FileBytes(L"D:\\Stick 2\\Geburtstag J\u00fcrgen\\IMG_0001.JPG"));
    EXPECT_NE(std::wstring::npos,
              Text(Child(main, 16))
                  .find(L"Nicht kopiert, am Ziel liegt schon eine andere Datei: 'D:\\Stick "
                        L"2\\Geburtstag J\u00fcrgen\\IMG_0001.JPG'"));

    CreateDirectoryW((base + L"Neu").c_str(), nullptr);
    StartCopy(base + L"Neu");
    HWND refusal = program.Window(L"Verwendete Dateien kopieren");
    ASSERT_NE(nullptr, refusal);
    EXPECT_NE(std::wstring::npos, BoxText(refusal).find(L"liegt im Archiv"));
    PostMessageW(refusal, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(FilesIn(base + L"Neu").empty());
}

// Escape during the copy asks; a stop takes effect at once, abandons the file under way and
// leaves only whole files under their own names.
TEST_F(CopyEndToEndTest, StoppedInTheMiddleLeavesOnlyWholeFiles) {
    std::vector<std::pair<std::wstring, size_t>> videos;
    for (int k = 1; k <= 4; ++k)
        videos.push_back({L"Video " + std::to_wstring(k) + L".mp4", 60'000'000});
    ScanWithSummerFiles(videos);
    CreateDirectoryW(L"D:\\Halt", nullptr);
    StartCopy(L"D:\\Halt");
    ASSERT_TRUE(WaitFor(
        [&] { return Text(Child(main, 16)).find(L"Kopieren nach") != std::wstring::npos; }));
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND question = program.Window(L"Verwendete Dateien kopieren");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        L"Das Kopieren anhalten?\nDie Datei, die gerade kopiert wird, wird verworfen; fertig "
        L"kopierte Dateien bleiben.",
        BoxText(question));
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitFor(
        [&] { return Text(Child(main, 16)).find(L"Kopieren angehalten") != std::wstring::npos; }));
    const auto copied = FilesIn(L"D:\\Halt\\" + trip.substr(0, trip.size() - 1));
    EXPECT_LT(copied.size(), 4u) << "stopped before the end";
    for (const auto& [name, size] : copied) {
        EXPECT_EQ(0u, name.find(L"Video ")) << "no temporary file is left";
        EXPECT_EQ(60'000'000, size);
    }
}

// A project may name a file by the short name the file system gives it: the file is used, once
// in the unused list's count, "vorhanden" in the cross-reference beside the project that writes
// its long name, and copied once, under its long names.
TEST_F(CopyEndToEndTest, AFileNamedByItsShortNameIsUsedAndCopiedOnce) {
    const std::wstring file = base + L"Schreibweisen Test Ordner\\Bild Eins vom Strand.jpg";
    PutFile(file, "kurz");
    wchar_t shortBase[MAX_PATH] = {}, shortFile[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(base.c_str(), shortBase, MAX_PATH));
    ASSERT_NE(0u, GetShortPathNameW(file.c_str(), shortFile, MAX_PATH));
    const std::wstring spelled = base + std::wstring(shortFile).substr(wcslen(shortBase));
    ASSERT_EQ(std::wstring::npos, spelled.find(L"Schreibweisen")) << "no short name given";
    const std::wstring projects = L"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
    PutFile(projects + L"Kurz.mph", "\x01" + Encoded(spelled, 1200) + std::string(2, '\0'));
    PutFile(projects + L"Lang.mph", "\x01" + Encoded(file, CP_UTF8) + std::string(2, '\0'));
    ScanWithSummerFiles({});

    CreateDirectoryW(L"D:\\Ausgabe", nullptr);
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 1));
    ASSERT_TRUE(SaveAs(program, L"Querverweis f\u00fcr Excel speichern", L"D:\\Ausgabe\\kurz.csv"));
    const std::string csv = FileBytes(L"D:\\Ausgabe\\kurz.csv");
    for (const char* project : {"Kurz.mph;", "Lang.mph;"}) {
        EXPECT_NE(std::string::npos, csv.find(project + Encoded(file, CP_UTF8) + ";vorhanden;4;"))
            << project << "\n"
            << csv;
    }
    ASSERT_TRUE(remote::ChooseFromSaveMenu(program.Id(), main, 2));
    ASSERT_TRUE(SaveAs(program, L"Nicht verwendete Dateien speichern", L"D:\\Ausgabe\\kurz.txt"));
    EXPECT_EQ(std::string::npos, FileBytes(L"D:\\Ausgabe\\kurz.txt").find("Bild Eins vom Strand"));

    CreateDirectoryW(L"D:\\Kurz", nullptr);
    EXPECT_EQ(
        L"Kopieren beendet: 2 kopiert, 0 schon vorhanden, 0 Konflikte, 0 fehlgeschlagen, "
        L"5 Bytes kopiert",
        Copy(L"D:\\Kurz"));
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW(L"D:\\Kurz\\*", &found);
    for (bool more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileW(listing, &found)) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.')
            folders.push_back(found.cFileName);
    }
    if (listing != INVALID_HANDLE_VALUE) FindClose(listing);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ((std::vector<std::wstring>{L"Geburtstag J\u00fcrgen", L"Schreibweisen Test Ordner"}),
              folders);
    EXPECT_EQ((std::vector<std::pair<std::wstring, int64_t>>{{L"Bild Eins vom Strand.jpg", 4}}),
              FilesIn(L"D:\\Kurz\\Schreibweisen Test Ordner"));
}

// A target folder that takes no file (read-only to this user, made by the test's script): each
// failure is logged with its reason, and nothing is left.
TEST_F(CopyEndToEndTest, IntoAReadOnlyFolderNothingIsLeft) {
    const wchar_t* locked = _wgetenv(L"SPURLESE_LOCKED_TARGET");
    if (!locked) GTEST_SKIP() << "needs the folder of tests/win32/locked_trees_under_wine.sh";
    ScanWithSummerFiles({{L"IMG_0001.HEIC", 100'000}});
    EXPECT_EQ(
        L"Kopieren beendet: 0 kopiert, 0 schon vorhanden, 0 Konflikte, 2 fehlgeschlagen, "
        L"0 Bytes kopiert",
        Copy(locked));
    EXPECT_EQ(2u, Count(Text(Child(main, 16)), L"Fehler beim Kopieren von 'D:\\Familienbilder"));
    EXPECT_TRUE(FilesIn(locked).empty());
    EXPECT_TRUE(FilesIn(std::wstring(locked) + L"\\Geburtstag J\u00fcrgen").empty());
}

}  // namespace

}  // namespace spurlese

// The whole program on the headless platform, driven by a scripted user: start, click, toggle,
// slide, scan, save, resize, close. Checks run where the script "looks at the screen".
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless.h"
#include "platform/text_helpers.h"
#include "program/program.h"
#include "settings/app_settings.h"
#include "tests/support/test_platform.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

using headless::QueueClick;
using headless::QueueLook;

constexpr char16_t kProjects[] = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe";
constexpr char16_t kArchive[] = u"D:\\Familienbilder Stand Juni 2022";

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Strings);
        headless::MakeFile(std::u16string(kArchive) + u"\\Ostern\\IMG_0001.JPG", "jpg");
        headless::MakeFile(std::u16string(kArchive) + u"\\Ostern\\Clip.mp4", "mp4");
        headless::MakeFile(std::u16string(kProjects) + u"\\Ostern.mph",
                           std::string("\x01\x02") +
                               "D:\\Familienbilder Stand Juni 2022\\Ostern\\IMG_0001.JPG\0\0"
                               "D:\\Familienbilder Stand Juni 2022\\Ostern\\fehlt.jpg\0",
                           std::string::size_type(110));
    }
    // Whatever the program opened or started (listings, processes, the files it saved), it let
    // go of.
    void TearDown() override { EXPECT_EQ(0u, headless::OpenHandles()); }
    static std::string Bytes(std::u16string_view path) { return testsupport::FileBytes(path); }
    static std::u16string Caption(int control) { return platform::GetCaption(control); }
};

TEST_F(ProgramTest, StartsOnTheSettingsPageAndSavesThePlacementAtTheEnd) {
    bool looked = false;
    QueueLook([&looked] {
        looked = true;
        EXPECT_U16_EQ(u"33", Caption(ctl::MinLengthValue));
        EXPECT_EQ(33, platform::GetState(ctl::MinLengthSlider));
        EXPECT_U16_EQ(kProjects, Caption(ctl::ProjectDirButton));
        EXPECT_U16_EQ(kArchive, Caption(ctl::BasePathButton));
        EXPECT_TRUE(platform::IsControlVisible(ctl::ApplyFilterButton));
        EXPECT_EQ(ctl::ProjectDirButton, platform::FocusedControl()) << "the first tab stop";
        EXPECT_FALSE(platform::IsControlVisible(ctl::SettingsHelpButton));  // no help file
        EXPECT_FALSE(platform::IsControlVisible(ctl::ResultsPage));
        EXPECT_FALSE(platform::IsControlEnabled(ctl::HitsText));
        // "Filter anwenden" keeps its creation place until the first size change.
        EXPECT_EQ(220, platform::GetControlRect(ctl::ApplyFilterButton).x);
    });
    RunProgram();
    EXPECT_TRUE(looked);
    EXPECT_FALSE(platform::WindowExists(platform::kMainWindow));
    // Centred on 1280 x 1024 with its frame: (1280 - 584) / 2, (1024 - 439) / 2.
    EXPECT_EQ("[General]\nMainWindowPosition=348,292,568,400\n", Bytes(u"D:\\Work\\Spurlese.ini"));
    EXPECT_TRUE(headless::DialogCalls().empty());
}

// Logging off with the program open keeps the placement as closing does: saved at once, before
// the process may be ended, and then the program ends as after a close request.
TEST_F(ProgramTest, SessionEndSavesThePlacementAtOnce) {
    static std::string atSessionEnd;
    atSessionEnd = "<not ended>";
    // Bound before the program's own callback, so it runs right after it.
    platform::BindEvent(platform::kSessionEnding, [](const platform::Event&) {
        atSessionEnd = Bytes(u"D:\\Work\\Spurlese.ini");
    });
    headless::QueueResize(668, 450);
    headless::QueueSessionEnd();
    headless::QueueClick(ctl::ApplyFilterButton);  // never played: the program has ended
    RunProgram();
    EXPECT_EQ("[General]\nMainWindowPosition=348,292,668,450\n", atSessionEnd);
    EXPECT_EQ(1u, headless::PendingActions());
}

TEST_F(ProgramTest, StoredPlacementIsRestoredAndControlsFollow) {
    headless::MakeFile(u"D:\\Work\\Spurlese.ini", "[General]\nMainWindowPosition=100,50,768,500\n");
    QueueLook([] {
        platform::Rect frame;
        platform::GetFrameRect(platform::kMainWindow, &frame);
        EXPECT_EQ(100, frame.x);
        EXPECT_EQ(50, frame.y);
        EXPECT_EQ(304, platform::GetControlRect(ctl::ApplyFilterButton).x);
        EXPECT_EQ(768 - 198, platform::GetControlRect(ctl::ProjectDirButton).width);
    });
    headless::QueueResize(668, 450);
    headless::QueueMinimise();  // no size change
    QueueLook([] {
        EXPECT_EQ(254, platform::GetControlRect(ctl::ApplyFilterButton).x);
        EXPECT_EQ(615, platform::GetControlRect(ctl::MinLengthValue).x);
    });
    headless::QueueRestore();
    headless::QueueMaximise();
    QueueLook(
        [] { EXPECT_EQ((1280 - 160) / 2, platform::GetControlRect(ctl::ApplyFilterButton).x); });
    headless::QueueRestore();
    QueueLook([] { EXPECT_EQ(254, platform::GetControlRect(ctl::ApplyFilterButton).x); });
    headless::QueueResize(300, 100);  // held at the minimum size
    RunProgram();
    EXPECT_EQ("[General]\nMainWindowPosition=100,50,568,400\n", Bytes(u"D:\\Work\\Spurlese.ini"));
}

TEST_F(ProgramTest, SliderAndMustContainBaseBox) {
    headless::QueueSlide(ctl::MinLengthSlider, 25);
    QueueLook([] {
        EXPECT_U16_EQ(u"25", Caption(ctl::MinLengthValue));
        EXPECT_EQ(25, appSettings.minStringLength);
    });
    QueueClick(ctl::MustContainBaseBox);  // checked: the base path's length, 33
    QueueLook([] {
        EXPECT_U16_EQ(u"33", Caption(ctl::MinLengthValue));
        EXPECT_EQ(33, appSettings.minStringLength);
        EXPECT_EQ(33, platform::GetMinimum(ctl::MinLengthSlider));
    });
    headless::QueueSlide(ctl::MinLengthSlider, 12);  // cannot go below what the box promises
    QueueLook([] { EXPECT_EQ(33, appSettings.minStringLength); });
    headless::QueueSlide(ctl::MinLengthSlider, 38);
    QueueClick(ctl::MustContainBaseBox);  // cleared: the whole range again, nothing moves
    QueueLook([] {
        EXPECT_EQ(8, platform::GetMinimum(ctl::MinLengthSlider));
        EXPECT_EQ(38, platform::GetState(ctl::MinLengthSlider));
        EXPECT_U16_EQ(u"38", Caption(ctl::MinLengthValue));
        EXPECT_EQ(38, appSettings.minStringLength);
        // A base path longer than the slider's range: the box gives 40.
        platform::SetCaption(ctl::BasePathButton,
                             u"D:\\Ein sehr langer Pfad zum Familienarchiv mit Bildern");
    });
    QueueClick(ctl::MustContainBaseBox);
    QueueLook([] {
        EXPECT_EQ(40, appSettings.minStringLength);
        EXPECT_U16_EQ(u"40", Caption(ctl::MinLengthValue));
        EXPECT_EQ(40, platform::GetMinimum(ctl::MinLengthSlider));
    });
    QueueClick(ctl::BasePathButton);  // does nothing
    RunProgram();
    EXPECT_TRUE(headless::DialogCalls().empty());
}

// A folder dropped from Explorer while the settings page shows is taken as the folder picker
// takes one; a file, several items, and a drop once the scan has begun are not.
TEST_F(ProgramTest, DroppedFolderBecomesTheProjectDirectory) {
    headless::MakeFile(u"D:\\Gezogen\\Fest.mph");
    headless::QueueDrop({u"D:\\Gezogen\\Fest.mph"});
    headless::QueueDrop({u"D:\\Gezogen", u"D:\\Work"});
    QueueLook([] { EXPECT_U16_EQ(kProjects, Caption(ctl::ProjectDirButton)); });
    headless::QueueDrop({u"D:\\Gezogen"});
    QueueLook([] {
        EXPECT_U16_EQ(u"D:\\Gezogen\\", Caption(ctl::ProjectDirButton));
        EXPECT_U16_EQ(u"D:\\Gezogen\\", appSettings.projectDirectory);
    });
    QueueClick(ctl::ApplyFilterButton);
    headless::QueueDrop({u"D:\\Work"});
    QueueLook([] {
        EXPECT_U16_EQ(u"D:\\Gezogen\\", Caption(ctl::ProjectDirButton));
        EXPECT_NE(std::u16string::npos,
                  platform::GetText(ctl::InfoText).find(u"Filtering 'D:\\Gezogen\\\\Fest.mph'"));
    });
    RunProgram();
}

TEST_F(ProgramTest, FolderPickerChoosesOrCancels) {
    QueueClick(ctl::ProjectDirButton);
    headless::QueueFolderAnswer(u"D:\\Andere Projekte");
    QueueLook([] {
        EXPECT_U16_EQ(u"D:\\Andere Projekte\\", Caption(ctl::ProjectDirButton));
        EXPECT_U16_EQ(u"D:\\Andere Projekte\\", appSettings.projectDirectory);
    });
    QueueClick(ctl::ProjectDirButton);  // no answer queued: cancelled
    QueueLook([] { EXPECT_U16_EQ(u"D:\\Andere Projekte\\", Caption(ctl::ProjectDirButton)); });
    RunProgram();
    const auto& calls = headless::DialogCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_U16_EQ(u"folder", calls[0].kind);
    EXPECT_U16_EQ(u"Bitte das Verzeichnis mit den Photostory MPH Dateien wählen", calls[0].text);
    EXPECT_U16_EQ(kProjects, calls[0].extra);
    EXPECT_U16_EQ(u"D:\\Andere Projekte\\", calls[1].extra);
}

TEST_F(ProgramTest, ScanShowsTheResultsPageForGood) {
    headless::MakeFile(u"D:\\Work\\Spurlese.chm", "ITSF");
    QueueLook([] {
        EXPECT_TRUE(platform::IsControlVisible(ctl::SettingsHelpButton));
        EXPECT_NE(platform::ImageHandle::kNone, platform::GetButtonImage(ctl::SettingsHelpButton));
    });
    // The user tries to close the window while the scan runs: dropped.
    headless::RaiseDuringNextProcess({platform::kCloseRequest, 0, platform::kMainWindow});
    QueueClick(ctl::ApplyFilterButton);
    QueueLook([] {
        EXPECT_TRUE(platform::WindowExists(platform::kMainWindow));
        EXPECT_U16_EQ(u"D:\\Familienbilder Stand Juni 2022\\Ostern\\img_0001.jpg",
                      platform::GetText(ctl::HitsText));
        EXPECT_TRUE(platform::IsControlVisible(ctl::HitsText));
        EXPECT_TRUE(platform::IsControlEnabled(ctl::SaveResultsButton));
        EXPECT_EQ(ctl::SaveResultsButton, platform::FocusedControl()) << "the focus follows";
        EXPECT_TRUE(platform::IsControlVisible(ctl::ResultsHelpButton));
        EXPECT_NE(platform::ImageHandle::kNone, platform::GetButtonImage(ctl::ResultsHelpButton));
        EXPECT_FALSE(platform::IsControlVisible(ctl::ApplyFilterButton));
        EXPECT_EQ(1, platform::GetState(ctl::ScanProgress));
    });
    QueueClick(ctl::ApplyFilterButton);  // hidden now: the user cannot reach it
    QueueClick(ctl::ResultsHelpButton);
    RunProgram();
    EXPECT_EQ(1, headless::IgnoredActions());
    EXPECT_EQ(1u, headless::StartedProcesses().size());
    ASSERT_EQ(1u, headless::ShellCalls().size());
    EXPECT_U16_EQ(u"Spurlese.chm", headless::ShellCalls()[0].file);
    EXPECT_U16_EQ(u"", headless::ShellCalls()[0].parameters);
    EXPECT_U16_EQ(u"D:\\Work\\", headless::ShellCalls()[0].workingDirectory);
}

// A save is confirmed, a cancel says nothing, and a failure says what failed, of the file or of
// the dialog.
TEST_F(ProgramTest, SavingTheHitsConfirmsASuccessAndExplainsAFailure) {
    headless::MakeFolder(u"D:\\Export");
    // The dialogs take the answers in turn: a file, a file in a missing folder, a dialog that
    // fails, and none (a cancel).
    headless::QueueSaveAnswer(u"D:\\Export\\treffer");
    headless::QueueSaveAnswer(u"D:\\Nirgends\\treffer.txt");
    headless::QueueSaveFailure(u"Zugriff verweigert");
    QueueClick(ctl::ApplyFilterButton);
    for (int k = 0; k < 4; ++k) QueueClick(ctl::SaveResultsButton);
    RunProgram();

    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "D:\\Familienbilder Stand Juni 2022\\Ostern\\img_0001.jpg\r\n",
        Bytes(u"D:\\Export\\treffer"));
    const auto& calls = headless::DialogCalls();
    ASSERT_EQ(7u, calls.size());
    EXPECT_U16_EQ(u"save", calls[0].kind);
    EXPECT_U16_EQ(u"Ergebnis speichern", calls[0].title);
    EXPECT_U16_EQ(u"Spurlese_Hits.txt", calls[0].text);
    EXPECT_U16_EQ(u"Text *.txt", calls[0].extra);
    EXPECT_EQ(1u, calls[0].flags);
    EXPECT_U16_EQ(u"message", calls[1].kind);
    EXPECT_U16_EQ(u"Success", calls[1].title);
    EXPECT_U16_EQ(u"The results where successfully saved.", calls[1].text);
    EXPECT_EQ(64u, calls[1].flags);
    EXPECT_U16_EQ(u"Ergebnis speichern", calls[3].title);
    EXPECT_NE(std::u16string::npos, calls[3].text.find(u"'D:\\Nirgends\\treffer.txt'"));
    EXPECT_EQ(48u, calls[3].flags);
    EXPECT_NE(std::u16string::npos, calls[5].text.find(u"Zugriff verweigert"));
    EXPECT_U16_EQ(u"save", calls[6].kind);  // and no message after the cancel
}

// The results page's menus: the lists and the copy on the arrow of "Ergebnis speichern", the
// same after "Im Ordner anzeigen" in the context menu of "Treffer"; each list through its own save
// dialog and a "Success". A scan with nothing missing does not walk the archive; the list of
// unused files walks it then.
TEST_F(ProgramTest, ListsFromTheMenus) {
    headless::MakeFile(std::u16string(kProjects) + u"\\Ostern.mph",
                       "D:\\Familienbilder Stand Juni 2022\\Ostern\\IMG_0001.JPG\n");
    headless::MakeFolder(u"D:\\Export");
    headless::QueueSaveAnswer(u"D:\\Export\\quer.csv");
    headless::QueueSaveAnswer(u"D:\\Export\\frei.txt");
    QueueClick(ctl::ApplyFilterButton);
    QueueLook([] {
        const std::u16string saveMenu[] = {u"Trefferliste speichern\u2026",
                                           u"Querverweis f\u00FCr Excel speichern\u2026",
                                           u"Nicht verwendete Dateien speichern\u2026",
                                           u"Doppelte Dateien speichern\u2026",
                                           u"\u00DCbersicht als Webseite speichern\u2026",
                                           u"",
                                           u"Verwendete Dateien kopieren nach\u2026",
                                           u"",
                                           u"Doppelte Kopien beiseitelegen\u2026",
                                           u"Nicht verwendete Dateien beiseitelegen\u2026",
                                           u"Beiseitegelegtes zur\u00FCcklegen\u2026"};
        const auto button = platform::GetControlMenu(ctl::SaveResultsButton);
        const auto hits = platform::GetControlMenu(ctl::HitsText);
        ASSERT_EQ(11u, button.size());
        ASSERT_EQ(13u, hits.size());
        EXPECT_U16_EQ(u"Im Ordner anzeigen", hits[0].text);
        for (size_t k = 0; k < 11; ++k) {
            EXPECT_U16_EQ(saveMenu[k], button[k].text);
            EXPECT_U16_EQ(saveMenu[k], hits[k + 2].text);
        }
        EXPECT_U16_EQ(u"Im Ordner anzeigen", platform::GetControlMenu(ctl::InfoText).at(0).text);
        EXPECT_EQ(std::u16string::npos, platform::GetText(ctl::InfoText).find(u"Archiv"));
    });
    headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveCrossReference);
    headless::QueueMenuChoice(ctl::HitsText, menu::kSaveUnusedFiles, 0);
    QueueLook([] {
        EXPECT_NE(
            std::u16string::npos,
            platform::GetText(ctl::InfoText).find(u"Archiv durchsucht: 2 Dateien in 2 Ordnern"));
    });
    RunProgram();
    const auto& calls = headless::DialogCalls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_U16_EQ(u"Querverweis f\u00FCr Excel speichern", calls[0].title);
    EXPECT_U16_EQ(u"Spurlese_Querverweis.csv", calls[0].text);
    EXPECT_U16_EQ(u"CSV (Trennzeichen-getrennt) (*.csv)|*.csv", calls[0].extra);
    EXPECT_U16_EQ(u"Success", calls[1].title);
    EXPECT_U16_EQ(u"Nicht verwendete Dateien speichern", calls[2].title);
    EXPECT_U16_EQ(u"Spurlese_Nicht_verwendet.txt", calls[2].text);
    EXPECT_U16_EQ(u"Success", calls[3].title);
    EXPECT_EQ(
        "\xEF\xBB\xBFProjektdatei;Mediendatei;Status;Gr\xC3\xB6\xC3\x9F"
        "e (Bytes);"
        "Letzte \xC3\x84nderung;Vermutlich jetzt unter\r\n"
        "C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Ostern.mph;"
        "D:\\Familienbilder Stand Juni 2022\\Ostern\\IMG_0001.JPG;vorhanden;3;"
        "1601-01-01T00:00:00+00:00;\r\n",
        Bytes(u"D:\\Export\\quer.csv"));
    EXPECT_EQ(
        "\xEF\xBB\xBFMediendateien im Archiv: 2, verwendet: 1, nicht verwendet: 1\r\n"
        "D:\\Familienbilder Stand Juni 2022\\Ostern\\Clip.mp4\r\n",
        Bytes(u"D:\\Export\\frei.txt"));
}

// A scan that could not run leaves nothing to act on: only the hit list can be saved, no list
// walks anything (no base path is read from an empty record), and the window closes when asked.
TEST_F(ProgramTest, AfterAFailedScanNothingIsOffered) {
    headless::QueueFolderAnswer(u"C:\\Gibt es nicht");
    QueueClick(ctl::ProjectDirButton);
    headless::QueueLook([] { platform::DeleteFilePath(u"C:\\Gibt es nicht\\x"); });
    QueueClick(ctl::ApplyFilterButton);
    // Chosen all the same (by a stale menu, say): nothing happens.
    headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveUnusedFiles);
    QueueLook([] {
        for (const int control : {ctl::SaveResultsButton, ctl::HitsText}) {
            for (const platform::MenuItem& item : platform::GetControlMenu(control)) {
                const bool offered = item.command == menu::kSaveHitList ||
                                     item.command == menu::kShowInFolder ||
                                     item.command == menu::kPutBack || item.command == 0;
                EXPECT_EQ(offered, item.enabled) << testsupport::Show(item.text);
            }
        }
        EXPECT_TRUE(platform::IsControlEnabled(ctl::SaveResultsButton)) << "saves \"Treffer\"";
        EXPECT_EQ(std::u16string::npos, platform::GetText(ctl::InfoText).find(u"Archiv"));
    });
    RunProgram();
    for (const auto& call : headless::DialogCalls()) EXPECT_U16_EQ(u"folder", call.kind);
}

// The archive's walk for the unused list asks on the close box, as the copy does; agreed, the
// program ends and saves nothing.
TEST_F(ProgramTest, CloseDuringTheWalkAsksAndEnds) {
    headless::MakeFile(std::u16string(kProjects) + u"\\Ostern.mph",
                       "D:\\Familienbilder Stand Juni 2022\\Ostern\\IMG_0001.JPG\n");
    for (int k = 0; k < 50; ++k)
        headless::MakeFolder(std::u16string(kArchive) + u"\\Ordner " + Decimal(k));
    headless::MakeFolder(u"D:\\Export");
    headless::QueueSaveAnswer(u"D:\\Export\\frei.txt");
    QueueClick(ctl::ApplyFilterButton);
    headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveUnusedFiles);
    headless::RaiseAtPoll(1, {platform::kCloseRequest, 0, platform::kMainWindow});
    headless::QueueMessageAnswer(platform::kYesPressed);
    QueueLook([] { ADD_FAILURE() << "the program goes on after the close was agreed"; });
    RunProgram();
    const auto& calls = headless::DialogCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_U16_EQ(u"Archiv durchsuchen", calls[1].title);
    EXPECT_EQ(-1, platform::FileSize(u"D:\\Export\\frei.txt"));
}

TEST_F(ProgramTest, MissingExtractorEndsTheProgramWith999) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    headless::SetExecutablePath(u"E:\\Werkzeuge\\Spurlese.exe");
    platform::DeleteFilePath(u"D:\\Work\\strings64.exe");
    headless::MakeFolder(u"D:\\Work\\strings64.exe");  // a folder does not count
    // A POSIX exit status keeps the low eight bits of 999.
    EXPECT_EXIT(RunProgram(), ::testing::ExitedWithCode(999 & 0xFF),
                "message box \"Fataler Fehler\": \"Bitte kopieren Sie das Sysinternals Tool\n"
                "'strings64.exe' in das Verzeichnis zu Spurlese.exe\" \\(flags 16\\)\n"
                "shell open \"https://learn.microsoft.com/sysinternals/downloads/strings\" in "
                "\"D:.Work.\"\nexit code 999");
}

}  // namespace

}  // namespace spurlese

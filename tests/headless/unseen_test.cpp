// What a scan could not see is never taken for nothing: a show the extractor could not read or
// start for, an archive whose drive is not there, a folder renamed since the scan. Through the
// whole program with a scripted user.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "program/program.h"
#include "settings/app_settings.h"
#include "tests/support/test_platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr char16_t kProjects[] = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
constexpr char16_t kArchive[] = u"D:\\Familienbilder Stand Juni 2022\\";
const std::u16string kEaster = std::u16string(kArchive) + u"Ostern 2021 \u2013 bei Oma\\a.jpg";
const std::u16string kOnlyNames = std::u16string(kArchive) + u"Namen \u201ETag\u201C\\nur.jpg";

std::u16string Text(std::u16string_view path) {
    return platform::Utf8ToUtf16(testsupport::FileBytes(path));
}

// Every message box's text, one after the other.
std::u16string Messages() {
    std::u16string all;
    for (const headless::DialogCall& call : headless::DialogCalls())
        if (call.kind == u"message") all += call.text + u"\n---\n";
    return all;
}

bool SaveDialogShown(std::u16string_view title) {
    for (const headless::DialogCall& call : headless::DialogCalls())
        if (call.kind == u"save" && call.title == title) return true;
    return false;
}

class UnseenTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Strings);
        headless::MakeFile(kEaster, "x");
        headless::MakeFile(kOnlyNames, "y");
        headless::MakeFile(std::u16string(kProjects) + u"Ostern.mph",
                           "\x01" + platform::Utf16ToUtf8(kEaster) + std::string(2, '\0'));
        headless::MakeFile(std::u16string(kProjects) + u"Namen.mph",
                           "\x02" + platform::Utf16ToUtf8(kOnlyNames) + std::string(2, '\0'));
        headless::MakeFolder(u"E:\\Stick");
    }
    void TearDown() override { EXPECT_EQ(0u, headless::OpenHandles()); }
};

// A show the scan could not read: the unused list is refused with the reason and what to do, the
// copy asks first and its list names the show, the cross-reference and the overview say so.
TEST_F(UnseenTest, AnUnreadShowIsNeverAShowThatUsesNothing) {
    const struct Row {
        const char* name;
        std::function<void()> fault;
        std::u16string why;  // in the messages, the cross-reference and the overview
        bool easterRead;
    } rows[] = {
        {"held open by the slideshow program",
         [] { headless::SetUnreadable(std::u16string(kProjects) + u"Namen.mph"); },
         u"der Extraktor konnte sie nicht lesen (Exit-Code 1)", true},
        {"the extractor's licence not accepted",
         [] { testsupport::InstallExtractor(u"D:\\Work\\", testsupport::ExtractorKind::Refusing); },
         u"You must accept EULA", false},
        {"a message and nothing else, exit code 0",
         [] {
             headless::InstallProgramWithErrors(
                 u"D:\\Work\\strings64.exe", [](std::u16string_view, std::string*, std::string* e) {
                     *e = "Zugriff verweigert\r\n";
                     return 0;
                 });
         },
         u"der Extraktor hat sie abgelehnt: Zugriff verweigert", false},
        {"the extractor gone before the scan",
         [] { platform::DeleteFilePath(u"D:\\Work\\strings64.exe"); },
         u"lie\u00DF sich nicht starten", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        headless::QueueLook(row.fault);
        headless::QueueClick(ctl::ApplyFilterButton);
        headless::QueueMessageAnswer(platform::kYesPressed);  // copy all the same
        headless::QueueFolderAnswer(u"E:\\Stick");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kCopyUsedFiles);
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveUnusedFiles);
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSetAsideUnused);
        headless::QueueSaveAnswer(u"E:\\Querverweis.csv");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveCrossReference);
        headless::QueueSaveAnswer(u"E:\\Seite.html");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveOverview);
        RunProgram();

        const std::u16string messages = Messages();
        EXPECT_NE(std::u16string::npos, messages.find(u"Namen.mph': "))
            << testsupport::Show(messages);
        EXPECT_NE(std::u16string::npos, messages.find(row.why)) << testsupport::Show(messages);
        EXPECT_NE(std::u16string::npos, messages.find(u"Trotzdem kopieren?"));
        EXPECT_NE(std::u16string::npos,
                  messages.find(u"Die Liste der nicht verwendeten Dateien wird nicht gespeichert"));
        EXPECT_NE(std::u16string::npos, messages.find(u"Filter anwenden\u201C klicken"));
        EXPECT_FALSE(SaveDialogShown(u"Nicht verwendete Dateien speichern")) << "refused first";
        EXPECT_NE(std::u16string::npos, messages.find(u"Es wird nichts beiseitegelegt: "));
        EXPECT_EQ("y", testsupport::FileBytes(kOnlyNames)) << "never set aside";
        // Nothing to copy when no show was read; else the list names the unread one.
        const std::u16string list = Text(u"E:\\Stick\\Spurlese_Kopie.txt");
        EXPECT_EQ(row.easterRead,
                  list.find(u"; " + std::u16string(kProjects) + u"Namen.mph: ") != list.npos)
            << testsupport::Show(list);
        EXPECT_EQ(row.easterRead,
                  testsupport::FileBytes(u"E:\\Stick\\Ostern 2021 \u2013 bei Oma\\a.jpg") == "x");
        const std::u16string csv = Text(u"E:\\Querverweis.csv");
        const size_t row_ = csv.find(u"Namen.mph;;");
        EXPECT_NE(std::u16string::npos, csv.find(u"nicht gelesen: ", row_))
            << testsupport::Show(csv);
        const std::u16string page = Text(u"E:\\Seite.html");
        EXPECT_NE(std::u16string::npos,
                  page.find(u"Namen.mph <span class=\"flag\">nicht gelesen</span>"));
    }
}

// An archive that is not there is not an empty archive: said once after "Done" and nothing that
// needs it offered; one that went away or changed after the scan refuses the unused list, naming
// why.
TEST_F(UnseenTest, AnArchiveThatIsNotThereIsNotAnEmptyOne) {
    const std::u16string archive(kArchive, std::size(kArchive) - 2);  // no final backslash
    const struct Row {
        const char* name;
        std::u16string basePath;
        std::function<void()> afterScan;
        std::u16string said;  // in "Informationen" or the message
        bool offered;         // the record's menu items
    } rows[] = {
        {"the drive not connected",
         u"G:\\Familienbilder",
         {},
         u"das Laufwerk G: ist nicht verbunden oder antwortet nicht",
         false},
        {"the folder not on its drive", archive + u" alt", {}, u"ist auf D: nicht da", false},
        {"unplugged after the scan", archive,
         [&] { platform::RenameFile(archive, u"D:\\Anderswo"); }, u"ist auf D: nicht da", true},
        {"a used folder renamed after the scan", archive,
         [&] {
             platform::RenameFile(std::u16string(kArchive) + u"Ostern 2021 \u2013 bei Oma",
                                  std::u16string(kArchive) + u"Ostern");
         },
         u"im Ordner 'D:\\Familienbilder Stand Juni 2022\\Ostern 2021 \u2013 bei Oma' nicht "
         u"mehr zu finden",
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        headless::QueueLook([&] { appSettings.basePath = row.basePath; });
        headless::QueueClick(ctl::ApplyFilterButton);
        std::vector<platform::MenuItem> menu;
        headless::QueueLook([&] {
            menu = platform::GetControlMenu(ctl::SaveResultsButton);
            if (row.afterScan) row.afterScan();
        });
        headless::QueueSaveAnswer(u"E:\\Nicht.txt");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveUnusedFiles);
        std::u16string said;
        headless::QueueLook([&said] { said = platform::GetText(ctl::InfoText); });
        RunProgram();
        said += Messages();
        EXPECT_NE(std::u16string::npos, said.find(row.said)) << testsupport::Show(said);
        EXPECT_EQ("<none>", testsupport::FileBytes(u"E:\\Nicht.txt"));
        for (const platform::MenuItem& item : menu) {
            if (item.command == menu::kSaveHitList || item.command == menu::kPutBack ||
                item.command == 0)
                continue;
            EXPECT_EQ(row.offered, item.enabled) << testsupport::Show(item.text);
        }
    }
}

}  // namespace

}  // namespace spurlese

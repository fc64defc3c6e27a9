// From a line to the file, through the whole program with a scripted user: a line shown in
// Explorer, the used files copied to a stick, stopped, closed, or cut short by a full disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/copy_used_files.h"
#include "platform/headless/headless.h"
#include "program/program.h"
#include "tests/support/test_platform.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

using headless::QueueClick;
using headless::QueueLook;

constexpr char16_t kProject[] =
    u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\Ostern.mph";
constexpr char16_t kArchive[] = u"D:\\Familienbilder Stand Juni 2022\\";
const std::u16string kEaster = std::u16string(kArchive) + u"Ostern 2021 \u2013 bei Oma\\";

// The display's line (from 0) that is exactly the text; -1 when none is.
int64_t LineOf(int control, std::u16string_view text) {
    const std::u16string all = platform::GetText(control) + u"\r\n";
    int64_t line = 0;
    for (size_t from = 0, end; (end = all.find(u"\r\n", from)) != std::u16string::npos;
         from = end + 2, ++line) {
        if (std::u16string_view(all).substr(from, end - from) == text) return line;
    }
    return -1;
}

bool InfoHas(std::u16string_view text) {
    return platform::GetText(ctl::InfoText).find(text) != std::u16string::npos;
}

class HitActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Strings);
        std::string project = "\x01\x02";
        for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "Clip.mp4", "fehlt.jpg"}) {
            const std::u16string path = kEaster + platform::Utf8ToUtf16(name);
            if (std::string(name) != "fehlt.jpg") headless::MakeFile(path, std::string(100, 'x'));
            project += platform::Utf16ToUtf8(path) + std::string(2, '\0');
        }
        headless::MakeFile(kProject, project);
        headless::MakeFolder(u"E:\\Stick");
        headless::SetCopyChunk(10);
    }
    void TearDown() override { EXPECT_EQ(0u, headless::OpenHandles()); }
    static void QueueCopy(std::u16string_view target) {
        headless::QueueFolderAnswer(target);
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kCopyUsedFiles);
    }
};

// A double click (or Enter) on a line, or "Im Ordner anzeigen" in its menu: a hit shown without
// the base path, its project's header, a missing file's nearest folder; nothing for a line that
// stands for nothing, a message for a file deleted since the scan.
TEST_F(HitActionsTest, EveryKindOfLineShownInItsFolder) {
    QueueClick(ctl::StripBaseBox);
    QueueClick(ctl::PrefixProjectBox);
    QueueClick(ctl::ApplyFilterButton);
    const std::u16string missing = kEaster + u"fehlt.jpg";
    QueueLook([&] {
        const struct Row {
            int control;
            int64_t line;
            bool byMenu;
        } rows[] = {
            {ctl::HitsText, LineOf(ctl::HitsText, u"Ostern 2021 \u2013 bei Oma\\img_0002.jpg"),
             false},
            {ctl::HitsText, LineOf(ctl::HitsText, u"; Ostern.mph"), true},
            {ctl::InfoText, LineOf(ctl::InfoText, u"Missing '" + missing + u"'"), false},
            {ctl::InfoText, LineOf(ctl::InfoText, u"Done"), true},
            {ctl::HitsText, 99, false},
        };
        for (const Row& row : rows) {
            ASSERT_GE(row.line, 0);
            if (row.byMenu) {
                headless::QueueMenuChoice(row.control, menu::kShowInFolder, row.line);
            } else {
                headless::QueueLineActivation(row.control, row.line);
            }
        }
        headless::QueueLook([] { platform::DeleteFilePath(kEaster + u"IMG_0002.JPG"); });
        headless::QueueLineActivation(ctl::HitsText, rows[0].line);
    });
    RunProgram();
    const std::vector<std::u16string> shown = headless::ShownInFolder();
    ASSERT_EQ(2u, shown.size());
    EXPECT_U16_EQ(kEaster + u"IMG_0002.JPG", shown[0]) << "the file, named as its folder lists it";
    EXPECT_U16_EQ(kProject, shown[1]);
    ASSERT_EQ(1u, headless::ShellCalls().size());
    EXPECT_U16_EQ(kEaster.substr(0, kEaster.size() - 1), headless::ShellCalls()[0].file);
    const auto& boxes = headless::DialogCalls();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::u16string::npos, boxes[0].text.find(u"IMG_0002.JPG' ist nicht mehr da"));
}

// Into an empty folder, then again (everything there), then refused inside the archive.
TEST_F(HitActionsTest, CopyIntoAFolderThenAgain) {
    QueueClick(ctl::ApplyFilterButton);
    QueueCopy(u"E:\\Stick");
    QueueLook([] {
        EXPECT_TRUE(InfoHas(u"Kopieren nach 'E:\\Stick\\': 3 Dateien, 300 Bytes"));
        EXPECT_TRUE(InfoHas(u"Kopiert 'E:\\Stick\\Ostern 2021 \u2013 bei Oma\\IMG_0001.JPG'"));
        EXPECT_TRUE(
            InfoHas(u"Kopieren beendet: 3 kopiert, 0 schon vorhanden, 0 Konflikte, 0 "
                    u"fehlgeschlagen, 300 Bytes kopiert"));
        EXPECT_EQ(platform::TaskbarState::kNone, headless::Taskbar().state);
    });
    QueueCopy(u"E:\\Stick");
    QueueCopy(std::u16string(kArchive) + u"Neu");
    QueueLook([] {
        EXPECT_TRUE(InfoHas(u"Kopieren beendet: 0 kopiert, 3 schon vorhanden, 0 Konflikte"));
    });
    RunProgram();
    EXPECT_EQ(std::string(100, 'x'),
              testsupport::FileBytes(u"E:\\Stick\\Ostern 2021 \u2013 bei Oma\\Clip.mp4"));
    EXPECT_EQ("\xEF\xBB\xBF" + platform::Utf16ToUtf8(kEaster) + "IMG_0001.JPG\r\n" +
                  platform::Utf16ToUtf8(kEaster) + "IMG_0002.JPG\r\n" +
                  platform::Utf16ToUtf8(kEaster) + "Clip.mp4\r\n\r\n" +
                  platform::Utf16ToUtf8(kCopyListNote) + "\r\n",
              testsupport::FileBytes(u"E:\\Stick\\Spurlese_Kopie.txt"));
    const auto& boxes = headless::DialogCalls();
    ASSERT_EQ(4u, boxes.size());  // three folder pickers and the refusal
    EXPECT_NE(std::u16string::npos, boxes[3].text.find(u"liegt im Archiv"));
}

// The list in the target keeps what earlier copies put there and is still there.
TEST_F(HitActionsTest, TheCopyListKeepsEarlierCopiesStillThere) {
    const std::string easter = platform::Utf16ToUtf8(kEaster);
    headless::MakeFile(u"E:\\Stick\\Ostern 2021 \u2013 bei Oma\\Alt.jpg", "a");
    headless::MakeFile(u"E:\\Stick\\Spurlese_Kopie.txt", "\xEF\xBB\xBF" + easter + "Alt.jpg\r\n" +
                                                             easter + "Weg.jpg\r\n" + easter +
                                                             "IMG_0001.JPG\r\n");
    QueueClick(ctl::ApplyFilterButton);
    QueueCopy(u"E:\\Stick");
    RunProgram();
    EXPECT_EQ("\xEF\xBB\xBF" + easter + "Alt.jpg\r\n" + easter + "IMG_0001.JPG\r\n" + easter +
                  "IMG_0002.JPG\r\n" + easter + "Clip.mp4\r\n\r\n" +
                  platform::Utf16ToUtf8(kCopyListNote) + "\r\n",
              testsupport::FileBytes(u"E:\\Stick\\Spurlese_Kopie.txt"));
}

// Escape or the close box during the copy asks; a stop takes effect at once: the second file,
// under way, is abandoned, the first stays; a close ends the program then. A full disk and a folder
// that takes no file end in red on the taskbar. Whatever happens, no partial file is left.
TEST_F(HitActionsTest, StopsAndFailuresLeaveNothingPartial) {
    const struct Row {
        const char* name;
        platform::EventKind request;
        int answer;
        int64_t freeBytes;  // on E:, -1 for no limit
        bool unwritable;
        const char16_t* summary;
        int64_t files;  // in the target afterwards
        platform::TaskbarState taskbar;
    } rows[] = {
        {"escape, stop", platform::kCancelRequest, platform::kYesPressed, -1, false,
         u"Kopieren angehalten: 1 kopiert", 1, platform::TaskbarState::kNone},
        {"escape, go on", platform::kCancelRequest, platform::kNoPressed, -1, false,
         u"Kopieren beendet: 3 kopiert", 3, platform::TaskbarState::kNone},
        {"close, stop", platform::kCloseRequest, platform::kYesPressed, -1, false,
         u"<ended with the copy>", 1, platform::TaskbarState::kNone},
        {"full disk", platform::kNone, 0, 150, false,
         u"Kopieren abgebrochen, der Datenträger ist voll: 1 kopiert", 1,
         platform::TaskbarState::kError},
        {"read-only", platform::kNone, 0, -1, true, u"Kopieren beendet: 0 kopiert", 0,
         platform::TaskbarState::kError},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        if (row.request != platform::kNone) {
            headless::RaiseAtPoll(15, {row.request, 0, platform::kMainWindow});
            headless::QueueMessageAnswer(row.answer);
        }
        if (row.freeBytes >= 0) headless::SetFreeSpace(u"E:", row.freeBytes);
        headless::SetUnwritable(u"E:\\Stick", row.unwritable);
        QueueClick(ctl::ApplyFilterButton);
        QueueCopy(u"E:\\Stick");
        std::u16string info = u"<ended with the copy>";
        QueueLook([&info] { info = platform::GetText(ctl::InfoText); });
        RunProgram();
        EXPECT_NE(std::u16string::npos, info.find(row.summary)) << testsupport::Show(info);
        EXPECT_EQ(row.taskbar, headless::Taskbar().state);
        int64_t files = 0;
        const platform::ListingHandle listing =
            platform::OpenListing(u"E:\\Stick\\Ostern 2021 \u2013 bei Oma", u"*.*");
        for (platform::ListingEntry entry; platform::NextListingEntry(listing, &entry);) {
            if (entry.isDirectory) continue;
            EXPECT_EQ(100, entry.size) << testsupport::Show(entry.name);
            ++files;
        }
        platform::CloseListing(listing);
        EXPECT_EQ(row.files, files);
    }
}

}  // namespace

}  // namespace spurlese

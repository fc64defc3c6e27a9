// "Aufräumen": files set aside with a list of where each went, checked just before they move, and
// put back in one step, leaving the archive exactly as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tidy_up.h"
#include "platform/file_faults.h"
#include "platform/headless/headless.h"
#include "program/program.h"
#include "tests/support/test_platform.h"
#include "tidy/set_aside.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr char16_t kProjects[] = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
const std::u16string kArchive = u"D:\\Familienbilder Stand Juni 2022\\";
const std::u16string kUsed = u"Urlaub 2019 \u2013 Italien\\IMG_0815.JPG";
const std::u16string kCopy = u"Import \u201Ealt\u201C\\IMG_0815.JPG";
const std::u16string kLive = u"Handy \U0001F4F1\\IMG_1234.MOV";
const std::u16string kCake = u"Oma 90 \u2013 Geburtstag\\Torte.mp4";
const std::u16string kCandles = u"Oma 90 \u2013 Geburtstag\\Kerzen.jpeg";

constexpr int kEscapePoll = 6;  // the poll of the busy loop while the first file is set aside

bool Exists(std::u16string_view path) {
    return platform::KindOfPath(path) == platform::PathKind::kFile;
}

std::u16string Messages() {
    std::u16string all;
    for (const headless::DialogCall& call : headless::DialogCalls())
        if (call.kind == u"message") all += call.text + u"\n---\n";
    return all;
}

// A family's archive: a used picture and an unused copy of it, a used phone picture with its live
// photo's video, two unused files; the show names the two pictures.
void MakeFamilyArchive() {
    testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
    const struct {
        std::u16string path;
        std::string bytes;
        int64_t lastWrite;
    } files[] = {
        {kUsed, "JPEG A", 100},
        {kCopy, "JPEG A", 50},
        {u"Handy \U0001F4F1\\IMG_1234.HEIC", "HEIC B", 7},
        {kLive, "MOV C", 7},
        {kCake, "MP4 D", 3},
        {kCandles, "JPEG E", 4},
    };
    for (const auto& file : files) {
        ASSERT_TRUE(headless::MakeFile(kArchive + file.path, file.bytes));
        headless::SetLastWrite(kArchive + file.path, file.lastWrite);
    }
    headless::MakeFile(
        std::u16string(kProjects) + u"Ostern.mph",
        platform::Utf16ToUtf8(kArchive + kUsed + u"\n" + kArchive + files[2].path) + "\n");
}

// Beside the archive, where a folder can be made: not above a drive's or a share's root.
TEST(TidyTest, TheFolderBesideTheArchive) {
    const struct Row {
        std::u16string_view base, beside;
    } rows[] = {
        {u"D:\\Familienbilder", u"D:\\"},
        {u"D:\\Fotos\\Familie\\", u"D:\\Fotos\\"},
        {u"D:\\", u""},
        {u"\\\\nas\\fotos", u""},
        {u"\\\\nas\\fotos\\Familie", u"\\\\nas\\fotos\\"},
        {u"\\\\?\\D:\\", u""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(testsupport::Show(row.beside), testsupport::Show(FolderBesideArchive(row.base)))
            << testsupport::Show(row.base);
}

TEST(TidyTest, SetAsideAndPutBackThroughTheMenu) {
    MakeFamilyArchive();
    const std::u16string before = testsupport::TreeOf(kArchive);
    const std::u16string name = AsideFolderName(kArchive, platform::CurrentTime());
    const std::u16string aside = u"D:\\" + name + u"\\";
    // After each act: which files are aside (the rest in their places).
    const struct Act {
        int command;
        std::vector<std::u16string> aside;
    } acts[] = {
        {menu::kSetAsideDuplicates, {kCopy}},               // the used twin stays
        {menu::kSetAsideUnused, {kCopy, kCandles, kCake}},  // the live photo's video stays
    };
    headless::QueueClick(ctl::ApplyFilterButton);
    for (const Act& act : acts) {
        headless::QueueMessageAnswer(platform::kYesPressed);  // beside the archive
        headless::QueueMenuChoice(ctl::SaveResultsButton, act.command);
        headless::QueueLook([&] {
            std::vector<tidy::AsideEntry> listed;
            ASSERT_TRUE(tidy::ReadJournal(aside, &listed));
            ASSERT_EQ(act.aside.size(), listed.size());
            for (size_t k = 0; k < listed.size(); ++k) {
                EXPECT_EQ(kArchive + act.aside[k], listed[k].from) << k;
                EXPECT_EQ(aside + act.aside[k], listed[k].to) << k;
                EXPECT_TRUE(Exists(listed[k].to) && !Exists(listed[k].from)) << k;
            }
        });
        headless::QueueFolderAnswer(aside);
        headless::QueueMessageAnswer(platform::kYesPressed);
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kPutBack);
        headless::QueueLook([&] {
            EXPECT_EQ(before, testsupport::TreeOf(kArchive))
                << testsupport::Show(testsupport::TreeOf(kArchive));
            EXPECT_EQ(platform::PathKind::kNone, platform::KindOfPath(aside));
        });
    }
    RunProgram();
    EXPECT_NE(std::u16string::npos,
              Messages().find(u"3 nicht verwendete Dateien (17 Bytes) werden beiseitegelegt nach\n"
                              u"'D:\\" +
                              name + u"'"))
        << testsupport::Show(Messages());
    EXPECT_NE(std::u16string::npos, Messages().find(u"Gelesen wurden nur die Projekte"));
}

// Escape while files are set aside asks; a stop ends between two files, and the list names
// exactly the files that went.
TEST(TidyTest, EscapeAsksAndStopsBetweenTwoFiles) {
    MakeFamilyArchive();
    const std::u16string aside =
        u"D:\\" + AsideFolderName(kArchive, platform::CurrentTime()) + u"\\";
    headless::QueueClick(ctl::ApplyFilterButton);
    headless::QueueMessageAnswer(platform::kYesPressed);  // beside the archive
    headless::QueueMessageAnswer(platform::kYesPressed);  // stop
    headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSetAsideUnused);
    headless::RaiseAtPoll(kEscapePoll, {platform::kCancelRequest, 0, platform::kMainWindow});
    std::u16string info;
    headless::QueueLook([&info] { info = platform::GetText(ctl::InfoText); });
    RunProgram();
    EXPECT_NE(std::u16string::npos, info.find(u"Beiseitelegen angehalten: 1 beiseitegelegt"))
        << testsupport::Show(info);
    EXPECT_NE(std::u16string::npos, Messages().find(u"Nach der Datei, die gerade verschoben wird"));
    std::vector<tidy::AsideEntry> listed;
    ASSERT_TRUE(tidy::ReadJournal(aside, &listed));
    ASSERT_EQ(1u, listed.size());
    EXPECT_TRUE(Exists(listed[0].to) && !Exists(listed[0].from));
    EXPECT_TRUE(Exists(kArchive + kCandles) && Exists(kArchive + kCake));
}

// Each file just before it moves: still as the scan saw it, a duplicate's twin still the same
// bytes, nothing in its new place; across drives copied, checked and only then removed. At every
// step each file is in its place or listed where it went.
TEST(TidyTest, EachFileIsCheckedJustBeforeItMoves) {
    testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
    const std::u16string folder = u"D:\\Beiseite", other = u"E:\\Beiseite";
    headless::MakeFolder(u"E:\\");
    const struct Row {
        const char* name;
        std::u16string relative, twin;
        void (*change)(const std::u16string& path, const std::u16string& twin);
        tidy::FileStatus expected;
    } rows[] = {
        {"as the scan saw it", u"a\\eins.jpg", {}, nullptr, tidy::FileStatus::kMoved},
        {"a copy whose twin is the same", u"a\\zwei.jpg", u"b\\zwei.jpg", nullptr,
         tidy::FileStatus::kMoved},
        {"changed since the scan",
         u"a\\drei.jpg",
         {},
         [](const std::u16string& p, const std::u16string&) { headless::MakeFile(p, "anders"); },
         tidy::FileStatus::kChanged},
        {"touched since the scan",
         u"a\\vier.jpg",
         {},
         [](const std::u16string& p, const std::u16string&) { headless::SetLastWrite(p, 9); },
         tidy::FileStatus::kChanged},
        {"gone since the scan",
         u"a\\f\u00FCnf.jpg",
         {},
         [](const std::u16string& p, const std::u16string&) { platform::DeleteFilePath(p); },
         tidy::FileStatus::kGone},
        {"the twin changed, same size", u"a\\sechs.jpg", u"b\\sechs.jpg",
         [](const std::u16string&, const std::u16string& t) { headless::MakeFile(t, "BILD"); },
         tidy::FileStatus::kTwinDiffers},
        {"the twin gone", u"a\\sieben.jpg", u"b\\sieben.jpg",
         [](const std::u16string&, const std::u16string& t) { platform::DeleteFilePath(t); },
         tidy::FileStatus::kTwinDiffers},
        {"a user's file where it would go",
         u"a\\acht.jpg",
         {},
         [](const std::u16string&, const std::u16string&) {
             headless::MakeFile(u"D:\\Beiseite\\a\\acht.jpg", "meins");
         },
         tidy::FileStatus::kPlaceTaken},
    };
    std::vector<tidy::AsideFile> files;
    for (const Row& row : rows) {
        const std::u16string path = kArchive + row.relative;
        const std::u16string twin = row.twin.empty() ? u"" : kArchive + row.twin;
        headless::MakeFile(path, "bild");
        headless::SetLastWrite(path, 5);
        if (!twin.empty()) headless::MakeFile(twin, "bild");
        files.push_back({path, row.relative, 4, 5, twin});
        if (row.change) row.change(path, twin);
    }
    std::vector<tidy::FileOutcome> outcomes;
    tidy::TidyObserver observer;
    observer.fileDone = [&](const tidy::AsideEntry&, const tidy::FileOutcome& outcome) {
        outcomes.push_back(outcome);
        std::vector<tidy::AsideEntry> listed;
        ASSERT_TRUE(tidy::ReadJournal(folder, &listed));
        for (const tidy::AsideFile& file : files) {
            const tidy::AsideEntry* entry = nullptr;
            for (const tidy::AsideEntry& e : listed) entry = e.from == file.path ? &e : entry;
            EXPECT_TRUE(Exists(file.path) || (entry && Exists(entry->to)) ||
                        file.relative == u"a\\f\u00FCnf.jpg")
                << testsupport::Show(file.path);
        }
    };
    const tidy::TidySummary summary = tidy::SetAside(files, folder, observer);
    ASSERT_EQ(std::size(rows), outcomes.size());
    std::vector<tidy::AsideEntry> listed;
    ASSERT_TRUE(tidy::ReadJournal(folder, &listed));
    size_t moved = 0;
    for (size_t k = 0; k < std::size(rows); ++k) {
        SCOPED_TRACE(rows[k].name);
        EXPECT_EQ(rows[k].expected, outcomes[k].status);
        const bool went = rows[k].expected == tidy::FileStatus::kMoved;
        EXPECT_EQ(went, listed.size() > moved && listed[moved].from == files[k].path);
        moved += went;
    }
    EXPECT_EQ(moved, listed.size()) << "the list names exactly the files that went";
    EXPECT_EQ("meins", testsupport::FileBytes(u"D:\\Beiseite\\a\\acht.jpg"));
    EXPECT_EQ(2, summary.moved);

    // Across drives: copied, checked, its times kept, and only then removed from the archive.
    headless::MakeFile(kArchive + u"c\\Film.mp4", "film");
    headless::SetLastWrite(kArchive + u"c\\Film.mp4", 77);
    EXPECT_EQ(
        1,
        tidy::SetAside({{kArchive + u"c\\Film.mp4", u"c\\Film.mp4", 4, 77, {}}}, other, {}).moved);
    int64_t size = 0, lastWrite = 0;
    EXPECT_TRUE(platform::FileFacts(other + u"\\c\\Film.mp4", &size, &lastWrite));
    EXPECT_EQ(77, lastWrite);
    EXPECT_FALSE(Exists(kArchive + u"c\\Film.mp4"));

    // A rename the system refuses: the file stays, with the system's reason.
    headless::MakeFile(kArchive + u"d\\Fest.jpg", "fest");
    platform::FailFileOperation(platform::FileOperation::kRename);
    outcomes.clear();
    observer.fileDone = [&](const tidy::AsideEntry&, const tidy::FileOutcome& outcome) {
        outcomes.push_back(outcome);
    };
    tidy::SetAside({{kArchive + u"d\\Fest.jpg", u"d\\Fest.jpg", 4, 0, {}}}, folder, observer);
    ASSERT_EQ(1u, outcomes.size());
    EXPECT_EQ(tidy::FileStatus::kFailed, outcomes[0].status);
    EXPECT_NE(std::u16string::npos, outcomes[0].reason.find(u"Ger\u00E4t"))
        << "the rename's reason";
    EXPECT_TRUE(Exists(kArchive + u"d\\Fest.jpg"));

    // A stop ends between two files; the list names the one that went. The earlier tidy-up's
    // entries into the same folder stay listed.
    for (const char16_t* name : {u"x1.jpg", u"x2.jpg"}) headless::MakeFile(kArchive + name, "x");
    int asked = 0;
    tidy::TidyObserver stopping;
    stopping.busy = [&asked] { return ++asked < 2; };
    const tidy::TidySummary stopped = tidy::SetAside(
        {{kArchive + u"x1.jpg", u"x1.jpg", 1, 0, {}}, {kArchive + u"x2.jpg", u"x2.jpg", 1, 0, {}}},
        other, stopping);
    EXPECT_TRUE(stopped.stopped);
    ASSERT_TRUE(tidy::ReadJournal(other, &listed));
    ASSERT_EQ(2u, listed.size());
    EXPECT_EQ(kArchive + u"x1.jpg", listed[1].from);
    EXPECT_TRUE(Exists(kArchive + u"x2.jpg"));
}

// Putting back: every file to its old place; one whose place is taken stays aside and listed;
// the folders emptied are removed, and the folder with its list once nothing is left. The list was
// written on a stick and the folder moved from there since: its files are found where it is now.
TEST(TidyTest, PuttingBack) {
    testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
    const std::u16string folder = u"D:\\Beiseite\\", written = u"E:\\Stick\\Beiseite";
    const struct Row {
        const char* name;
        std::u16string relative;
        bool aside, inPlace;  // where the file is before putting back
        tidy::FileStatus expected;
    } rows[] = {
        {"aside", u"Tag \u2013 1\\eins.jpg", true, false, tidy::FileStatus::kMoved},
        {"its old place taken", u"Tag \u2013 1\\zwei.jpg", true, true,
         tidy::FileStatus::kPlaceTaken},
        {"never moved (a crash after the list)", u"drei.jpg", false, true,
         tidy::FileStatus::kAlreadyBack},
        {"taken away from the folder by hand", u"tief\\vier.jpg", false, false,
         tidy::FileStatus::kGone},
    };
    std::vector<tidy::AsideEntry> entries;
    for (const Row& row : rows) {
        entries.push_back({kArchive + row.relative, written + u"\\" + row.relative, 3, 0});
        if (row.aside) headless::MakeFile(folder + row.relative, "neu");
        if (row.inPlace) headless::MakeFile(kArchive + row.relative, "alt");
    }
    std::string bytes;
    ASSERT_TRUE(platform::ConvertUtf16ToUtf8(tidy::JournalText(entries, written), &bytes));
    headless::MakeFile(folder + std::u16string(tidy::kJournalName), bytes);
    headless::MakeFolder(folder + u"tief");
    std::vector<tidy::FileStatus> outcomes;
    tidy::TidyObserver observer;
    observer.fileDone = [&](const tidy::AsideEntry&, const tidy::FileOutcome& outcome) {
        outcomes.push_back(outcome.status);
    };
    const tidy::TidySummary summary = tidy::PutBack(folder, observer);
    ASSERT_EQ(std::size(rows), outcomes.size());
    for (size_t k = 0; k < std::size(rows); ++k) EXPECT_EQ(rows[k].expected, outcomes[k]) << k;
    EXPECT_EQ(1, summary.left);
    EXPECT_EQ("neu", testsupport::FileBytes(kArchive + rows[0].relative));
    EXPECT_EQ("alt", testsupport::FileBytes(kArchive + rows[1].relative)) << "never replaced";
    std::vector<tidy::AsideEntry> listed;
    ASSERT_TRUE(tidy::ReadJournal(folder, &listed));
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ(entries[1].from, listed[0].from);
    EXPECT_EQ(folder + rows[1].relative, listed[0].to) << "written where the list is now";
    EXPECT_EQ(platform::PathKind::kFolder, platform::KindOfPath(folder + u"tief")) << "not ours";

    // A line edited by hand is no entry, however long its numbers.
    EXPECT_TRUE(tidy::ParseJournal(u"D:\\a.jpg\tE:\\a.jpg\t99999999999999999999\t1").empty());

    // The place freed, the second putting back ends the tidy-up.
    platform::DeleteFilePath(kArchive + rows[1].relative);
    EXPECT_EQ(1, tidy::PutBack(folder, {}).moved);
    EXPECT_EQ("neu", testsupport::FileBytes(kArchive + rows[1].relative));
    EXPECT_EQ(u"tief\\\n", testsupport::TreeOf(folder));
}

}  // namespace

}  // namespace spurlese

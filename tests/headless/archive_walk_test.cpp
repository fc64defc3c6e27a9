// What only the in-memory drive sets up at will: a walk past junctions, one that loops back to
// the archive and one that leads out of it, and a folder that cannot be listed. (Under Wine a real
// tree with the same traps is walked by tests/win32/archive_walk_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "platform/headless/headless.h"
#include "scan/archive_walk.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

TEST(ArchiveWalkTest, LinksAreNotFollowedAndUnlistableFoldersAreTold) {
    testsupport::ResetForTest();
    headless::MakeFile(u"D:\\Archiv\\Sub\\a.jpg");
    headless::MakeFile(u"D:\\Anderswo\\b.jpg");
    headless::MakeFolderLink(u"D:\\Archiv\\Sub\\Zur\u00FCck", u"D:\\Archiv");
    headless::MakeFolderLink(u"D:\\Archiv\\Extern", u"D:\\Anderswo");
    headless::MakeFile(u"D:\\Archiv\\Gesperrt\\c.jpg");
    headless::SetUnlistable(u"D:\\Archiv\\Gesperrt");
    // A cloud drive's folder is a reparse point too, but no link: walked. A symbolic link is not.
    headless::MakeFile(u"D:\\Archiv\\OneDrive\\d.jpg");
    headless::SetReparseTag(u"D:\\Archiv\\OneDrive", 0x9000601A);
    headless::MakeFile(u"D:\\Archiv\\Verlinkt\\e.jpg");
    headless::SetReparseTag(u"D:\\Archiv\\Verlinkt", 0xA000000C);
    std::vector<std::u16string> unlistable;
    std::vector<std::pair<int64_t, int64_t>> progress;
    archive::WalkObserver observer;
    observer.unlistable = [&](std::u16string_view folder) { unlistable.emplace_back(folder); };
    observer.progress = [&](int64_t done, int64_t total) { progress.emplace_back(done, total); };
    const archive::ArchiveIndex index = archive::WalkArchive(u"D:\\Archiv", observer);
    ASSERT_EQ(2u, index.files.size());
    EXPECT_U16_EQ(u"D:\\Archiv\\Sub\\a.jpg", index.Path(index.files[0]));
    EXPECT_U16_EQ(u"D:\\Archiv\\OneDrive\\d.jpg", index.Path(index.files[1]));
    EXPECT_EQ((std::vector<std::u16string>{u"D:\\Archiv\\Gesperrt"}), unlistable);
    EXPECT_EQ(4u, index.foldersWalked);
    // The base path's own folders (Sub, Gesperrt, OneDrive) count the progress, to the end.
    EXPECT_EQ((std::pair<int64_t, int64_t>{3, 3}), progress.back());
}

// A base path that is empty or depends on the current drive or folder would walk something else
// than the archive (the whole drive): refused before anything is listed, and said.
TEST(ArchiveWalkTest, OnlyAFullBasePathIsWalked) {
    const struct Row {
        const char16_t* basePath;
        WalkOutcome outcome;
    } rows[] = {
        {u"", WalkOutcome::kRefused},
        {u"Archiv", WalkOutcome::kRefused},
        {u"\\Archiv", WalkOutcome::kRefused},
        {u"D:Archiv", WalkOutcome::kRefused},
        {u"D:\\Archiv", WalkOutcome::kWalked},
        {u"D:\\Archiv\\", WalkOutcome::kWalked},
        {u"\\\\server\\share", WalkOutcome::kUnreachable},  // the model has no shares
        {u"D:\\Fehlt", WalkOutcome::kUnreachable},
        {u"E:\\Archiv", WalkOutcome::kUnreachable},
    };
    for (const Row& row : rows) {
        testsupport::ResetForTest();
        headless::MakeFile(u"D:\\Archiv\\a.jpg");
        headless::SetCurrentDirectory(u"D:\\Archiv\\");
        ScanRecord record;
        record.inputs.basePath = row.basePath;
        std::vector<std::u16string> said;
        ScanReport report;
        report.info = [&said](std::u16string_view text, LineTarget) { said.emplace_back(text); };
        EXPECT_EQ(row.outcome, WalkArchiveOnce(&record, report)) << testsupport::Show(row.basePath);
        ASSERT_FALSE(said.empty());
        const bool refused = row.outcome == WalkOutcome::kRefused;
        const bool unreachable = row.outcome == WalkOutcome::kUnreachable;
        EXPECT_EQ(refused,
                  said.back().find(u"kein vollst\u00E4ndiger Pfad") != std::u16string::npos);
        EXPECT_EQ(unreachable, said.back().find(u"nicht erreichbar") != std::u16string::npos);
        EXPECT_EQ(!refused && !unreachable, record.archive.walked);
    }
}

// The walk a scan begins on a worker at its first missing file is the one its end takes: the same
// files, the folders it could not list told then, once; with no worker, the end walks itself.
TEST(ArchiveWalkTest, AnEarlyWalkIsTakenAtTheEnd) {
    for (const bool worker : {true, false}) {
        SCOPED_TRACE(worker);
        testsupport::ResetForTest();
        headless::MakeFile(u"D:\\Archiv\\Neu\\a.jpg");
        headless::MakeFile(u"D:\\Archiv\\Gesperrt\\c.jpg");
        headless::SetUnlistable(u"D:\\Archiv\\Gesperrt");
        ScanRecord record;
        record.inputs.basePath = u"D:\\Archiv";
        record.missing = {u"D:\\Archiv\\Alt\\a.jpg"};
        if (!worker) headless::FailNextWorkStart();
        EarlyWalk early;
        early.BeginOnce(record.inputs.basePath);
        std::u16string said;
        ScanReport report;
        report.info = [&said](std::u16string_view text, LineTarget) {
            said.append(text).append(u"\n");
        };
        ASSERT_EQ(WalkOutcome::kWalked, WalkArchiveOnce(&record, report, &early));
        EXPECT_EQ(1u, record.archive.files.size());
        ASSERT_EQ(1u, record.candidates.size());
        EXPECT_EQ(1u, record.candidates[0].size());
        EXPECT_U16_EQ(
            u"Error examining the path 'D:\\Archiv\\Gesperrt'\n"
            u"Archiv durchsucht: 1 Datei in 3 Ordnern, 0,0 s\n",
            said);
    }
}

}  // namespace

}  // namespace spurlese

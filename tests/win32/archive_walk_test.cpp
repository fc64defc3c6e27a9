// The archive's walk on a real tree under Wine (tests/win32/locked_trees_under_wine.sh makes it): a
// symbolic link that loops back to the archive, one that leads out of it, and a folder that cannot
// be listed. The walk ends, takes nothing through the links, and tells the locked folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "platform/platform.h"
#include "scan/file_identity.h"
#include "scan/hit_filter.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

TEST(RealArchiveWalkTest, LoopsLinksAndLockedFolders) {
    const char* tree = std::getenv("SPURLESE_WALK_TREE");
    ASSERT_NE(nullptr, tree) << "run through tests/win32/locked_trees_under_wine.sh";
    const std::u16string base = platform::Utf8ToUtf16(tree);
    std::vector<std::u16string> unlistable;
    archive::WalkObserver observer;
    observer.unlistable = [&](std::u16string_view folder) { unlistable.emplace_back(folder); };
    const archive::ArchiveIndex index = archive::WalkArchive(base, observer);
    std::set<std::u16string> found;
    for (const archive::ArchiveFile& file : index.files) found.insert(index.Path(file));
    const std::u16string trip = base + u"\\Urlaub 2019 \u2013 Italien";
    EXPECT_EQ((std::set<std::u16string>{base + u"\\a.JPG", trip + u"\\IMG_0815.jpg",
                                        trip + u"\\Tag 1\\clip.MOV"}),
              found);
    EXPECT_EQ((std::vector<std::u16string>{base + u"\\Gesperrt"}), unlistable)
        << testsupport::Show(unlistable.empty() ? u"" : unlistable[0]);
}

// Walks on workers while the program's thread walks too, as the archive is walked while a scan
// lists folders: every walk sees the whole tree.
TEST(RealArchiveWalkTest, WalksOnWorkersAndOnTheProgramsThreadAtOnce) {
    const char* tree = std::getenv("SPURLESE_WALK_TREE");
    ASSERT_NE(nullptr, tree) << "run through tests/win32/locked_trees_under_wine.sh";
    const std::u16string base = platform::Utf8ToUtf16(tree);
    const size_t files = archive::WalkArchive(base, {}).files.size();
    ASSERT_EQ(3u, files);
    constexpr size_t kJobs = 8;
    std::vector<int> wrong(kJobs + 1);
    const platform::WorkHandle work = platform::StartWork(kJobs, 4, [&](size_t job) {
        for (int round = 0; round < 50; ++round)
            wrong[job] += archive::WalkArchive(base, {}).files.size() != files;
    });
    ASSERT_NE(platform::WorkHandle::kNone, work);
    size_t done = 0;
    while (!platform::WaitWork(work, 0, &done))
        wrong[kJobs] += archive::WalkArchive(base, {}).files.size() != files;
    platform::FinishWork(work, false);
    EXPECT_EQ(std::vector<int>(kJobs + 1), wrong);
}

// A file named through a link is the file the link reaches, as the walk has it: "Zurück" leads
// back up into the archive, "Extern" out of it (a file there is no archive file); ".." goes back
// by text before any link is followed.
TEST(RealArchiveWalkTest, IdentitiesThroughLinks) {
    const char* tree = std::getenv("SPURLESE_WALK_TREE");
    ASSERT_NE(nullptr, tree) << "run through tests/win32/locked_trees_under_wine.sh";
    const std::u16string base = platform::Utf8ToUtf16(tree);
    const std::u16string trip = base + u"\\Urlaub 2019 \u2013 Italien";
    const struct Row {
        std::u16string path;
        FileIdentity::Kind kind;
        std::u16string identity;
    } rows[] = {
        {trip + u"\\Zur\u00FCck\\A.jpg", FileIdentity::Kind::kFile, base + u"\\a.JPG"},
        {trip + u"\\Zur\u00FCck\\Urlaub 2019 \u2013 Italien\\img_0815.JPG",
         FileIdentity::Kind::kFile, trip + u"\\IMG_0815.jpg"},
        {trip + u"\\Tag 1\\..\\IMG_0815.jpg", FileIdentity::Kind::kFile, trip + u"\\IMG_0815.jpg"},
        {base + u"\\Extern\\d.jpg", FileIdentity::Kind::kUnresolved, u""},
    };
    for (const Row& row : rows) {
        FolderCache folders;
        const FileIdentity identity = ResolveIdentity(&folders, base, row.path, true);
        EXPECT_EQ(row.kind, identity.kind) << testsupport::Show(row.path);
        EXPECT_EQ(testsupport::Show(row.identity), testsupport::Show(identity.path));
    }
}

}  // namespace

}  // namespace spurlese

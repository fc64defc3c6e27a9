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
#include "scan/hit_filter.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

TEST(RealArchiveWalkTest, LoopsLinksAndLockedFolders) {
    const char* tree = std::getenv("SPURLESE_WALK_TREE");
    ASSERT_NE(nullptr, tree) << "run through tests/win32/locked_trees_under_wine.sh";
    const std::u16string base = platform::Utf8ToUtf16(tree);
    std::vector<std::u16string> unlistable;
    const archive::ArchiveIndex index = archive::WalkArchive(
        base, {[&](std::u16string_view folder) { unlistable.emplace_back(folder); }, nullptr});
    std::set<std::u16string> found;
    for (const archive::ArchiveFile& file : index.files) found.insert(index.Path(file));
    const std::u16string trip = base + u"\\Urlaub 2019 \u2013 Italien";
    EXPECT_EQ((std::set<std::u16string>{base + u"\\a.JPG", trip + u"\\IMG_0815.jpg",
                                        trip + u"\\Tag 1\\clip.MOV"}),
              found);
    EXPECT_EQ((std::vector<std::u16string>{base + u"\\Gesperrt"}), unlistable)
        << testsupport::Show(unlistable.empty() ? u"" : unlistable[0]);
}

}  // namespace

}  // namespace spurlese

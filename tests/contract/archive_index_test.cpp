// The archive's one walk: every media file below the base path once, whatever its depth or the
// length of its path, with what the listing tells of it; folders named like pictures are folders.
#include "archive/archive_index.h"

#include <set>
#include <string>

#include "scan/hit_filter.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

using ArchiveIndexTest = WindowTest;

TEST_F(ArchiveIndexTest, EveryMediaFileOnceWithItsSize) {
    std::u16string deep = u"D:\\Archiv\\Sub";
    for (int k = 0; k < 4; ++k)
        deep += u"\\Urlaub 2019 \u2013 Italien, Toskana und Umbrien mit Oma und Opa, alle Bilder";
    ASSERT_GT(deep.size(), 260u);
    const std::u16string media[] = {u"D:\\Archiv\\a.JPG", u"D:\\Archiv\\Sub\\c.heic",
                                    u"D:\\Archiv\\Sub\\Tief\\d.Mp4", deep + u"\\e.jpeg"};
    for (const auto& file : media) ASSERT_TRUE(testsupport::MakeTestFile(file, "1234"));
    for (const char16_t* other : {u"D:\\Archiv\\b.txt", u"D:\\Archiv\\Sub\\f.jpg.bak"})
        ASSERT_TRUE(testsupport::MakeTestFile(other));
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Archiv\\pics.jpg"));
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Nebenan\\g.jpg"));  // beside the archive

    const archive::ArchiveIndex index = archive::WalkArchive(u"D:\\Archiv\\", {});
    std::set<std::u16string> found;
    for (const archive::ArchiveFile& file : index.files) {
        found.insert(index.Path(file));
        EXPECT_EQ(4, file.size) << testsupport::Show(index.Path(file));
    }
    EXPECT_EQ(std::set<std::u16string>(std::begin(media), std::end(media)), found);
    EXPECT_EQ(6u, index.filesWalked);
    EXPECT_EQ(8u, index.foldersWalked);  // Archiv, pics.jpg, Sub, Tief and the four long ones
}

}  // namespace

}  // namespace spurlese

// Replacing a file never loses the old one: a failed write leaves it as it was and no
// temporary file behind.
#include <string>

#include "platform/file_replace.h"
#include "platform/owners.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

constexpr char16_t kTarget[] = u"D:\\Work\\hits.txt";

class FileReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work"));
    }
    static std::string Bytes(std::u16string_view path) { return testsupport::FileBytes(path); }
};

TEST_F(FileReplaceTest, WritesNewAndReplacesOldFiles) {
    EXPECT_EQ(1, WriteFileReplacing(kTarget, "first"));
    EXPECT_EQ("first", Bytes(kTarget));
    EXPECT_EQ(1, WriteFileReplacing(kTarget, "second, longer"));
    EXPECT_EQ("second, longer", Bytes(kTarget));
    EXPECT_EQ(1, WriteFileReplacing(kTarget, ""));
    EXPECT_EQ(0, platform::FileSize(kTarget));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(kTarget)));
}

TEST_F(FileReplaceTest, FileHeldOpenByAnotherProgramStaysAsItWas) {
    for (const char16_t* target : {kTarget, u"D:\\Work\\Spurlese.ini"}) {
        ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
        testsupport::HoldFileOpen(target, true);
        EXPECT_EQ(-1, WriteFileReplacing(target, "new"));
        testsupport::HoldFileOpen(target, false);
        EXPECT_EQ("old", Bytes(target));
        EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    }
}

// Just after a write, virus scanners and indexers often hold the file for a moment: a target so
// held is saved once it is let go, the settings file too, and no temporary file is left.
TEST_F(FileReplaceTest, TargetHeldForAMomentIsSavedOnceLetGo) {
    for (const char16_t* target : {kTarget, u"D:\\Work\\Spurlese.ini"}) {
        ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
        testsupport::HoldFileOpenFor(target, 200);
        EXPECT_EQ(1, WriteFileReplacing(target, "new")) << testsupport::Show(target);
        EXPECT_EQ("new", Bytes(target));
        EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    }
}

TEST_F(FileReplaceTest, UnwritablePlacesWriteNothing) {
    EXPECT_EQ(-1, WriteFileReplacing(u"D:\\Missing\\hits.txt", "x"));
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(-1, WriteFileReplacing(u"D:\\Work\\folder.txt", "x"));
    EXPECT_EQ(-2, platform::FileSize(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(u"D:\\Work\\folder.txt")));
}

// Archives hold deep folders with long names: a file whose full path is far over 260 characters
// is listed, measured, read, replaced and deleted like any other.
TEST_F(FileReplaceTest, FilesDeepInLongFolders) {
    std::u16string folder = u"D:\\Work";
    for (int depth = 0; depth < 3; ++depth) {
        folder +=
            u"\\Urlaub 2019 \u2013 Italien, Toskana und Umbrien mit Oma und Opa, "
            u"Teil " +
            std::u16string(1, static_cast<char16_t>(u'1' + depth)) +
            u" von drei, alle Bilder und Videos";
    }
    const std::u16string target = folder + u"\\IMG_0815.jpg";
    ASSERT_GT(target.size(), 300u);
    ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
    EXPECT_EQ(3, platform::FileSize(target));
    EXPECT_EQ(-2, platform::FileSize(folder));
    platform::Listing listing(folder, u"*.jpg");
    const auto first = listing.begin();
    ASSERT_NE(first, listing.end());
    EXPECT_U16_EQ(u"IMG_0815.jpg", first->name);
    EXPECT_EQ(1, WriteFileReplacing(target, "new"));
    EXPECT_EQ("new", Bytes(target));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    EXPECT_TRUE(platform::DeleteFilePath(target));
    EXPECT_EQ(-1, platform::FileSize(target));
}

}  // namespace

}  // namespace spurlese

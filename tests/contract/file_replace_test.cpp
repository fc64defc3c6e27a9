// Replacing a file never loses the old one: a failed write leaves it as it was and no
// temporary file behind.
#include <string>

#include "settings/file_replace.h"
#include "tests/support/window_fixture.h"

namespace {

constexpr char16_t kTarget[] = u"D:\\Work\\hits.txt";

class FileReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work"));
    }
    static std::string Bytes(std::u16string_view path) {
        std::string bytes;
        return platform::ReadFileBytes(path, &bytes) ? bytes : "<none>";
    }
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
    ASSERT_TRUE(testsupport::MakeTestFile(kTarget, "old"));
    testsupport::HoldFileOpen(kTarget, true);
    EXPECT_EQ(-1, WriteFileReplacing(kTarget, "new"));
    testsupport::HoldFileOpen(kTarget, false);
    EXPECT_EQ("old", Bytes(kTarget));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(kTarget)));
}

TEST_F(FileReplaceTest, UnwritablePlacesWriteNothing) {
    EXPECT_EQ(-1, WriteFileReplacing(u"D:\\Missing\\hits.txt", "x"));
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(-1, WriteFileReplacing(u"D:\\Work\\folder.txt", "x"));
    EXPECT_EQ(-2, platform::FileSize(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(u"D:\\Work\\folder.txt")));
}

}  // namespace

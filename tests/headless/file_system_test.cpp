// The in-memory file system keeps the rules of a Windows volume that the contract tests cannot
// pin down on a real disk: listing order, wildcard details, and injected faults.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

using testsupport::Show;

std::vector<std::string> List(std::u16string_view folder, std::u16string_view pattern) {
    std::vector<std::string> names;
    platform::Listing listing(folder, pattern);
    if (!listing.IsOpen()) return {"<unlistable>"};
    for (const platform::ListingEntry& entry : listing) {
        names.push_back(Show(entry.name) + (entry.isDirectory ? "/" : ""));
    }
    return names;
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { headless::ResetPlatform(); }
};

TEST_F(FileSystemTest, ListsInCreationOrderWithStoredCase) {
    headless::MakeFile(u"D:\\P\\Zebra.MPH");
    headless::MakeFile(u"D:\\P\\alpha.mph");
    headless::MakeFolder(u"D:\\P\\Ordner.mph");
    headless::MakeFile(u"D:\\P\\notiz.txt");
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"./", "../", "Zebra.MPH", "alpha.mph", "Ordner.mph/", "notiz.txt"}),
              List(u"D:\\P", u"*.*"));
    EXPECT_EQ((V{"Zebra.MPH", "alpha.mph", "Ordner.mph/"}), List(u"d:\\p", u"*.mph"));
    EXPECT_EQ((V{"Zebra.MPH", "alpha.mph", "Ordner.mph/"}), List(u"D:\\P\\", u"*.MpH"))
        << "a folder ending in a backslash lists the same";
    EXPECT_EQ((V{"alpha.mph"}), List(u"D:\\P", u"a?pha.*"));
    EXPECT_EQ((V{}), List(u"D:\\P", u"*.jpg")) << "no match is an empty listing, not a failure";
}

TEST_F(FileSystemTest, DriveRootListsNoDotEntries) {
    headless::MakeFile(u"D:\\a.jpg");
    EXPECT_EQ((std::vector<std::string>{"a.jpg"}), List(u"D:", u"*.*"));
    EXPECT_EQ((std::vector<std::string>{"<unlistable>"}), List(u"E:", u"*.*"));
}

TEST_F(FileSystemTest, PathsFollowWindowsRules) {
    headless::MakeFile(u"D:\\Fotos\\Bild.jpg", "12345");
    EXPECT_EQ(5, platform::FileSize(u"d:/fotos/BILD.JPG"));
    EXPECT_EQ(5, platform::FileSize(u"D:\\Fotos\\.\\x\\..\\Bild.jpg"));
    EXPECT_EQ(5, platform::FileSize(u"D:\\Fotos\\Bild.jpg. . ")) << "trailing dots and blanks";
    EXPECT_EQ(-2, platform::FileSize(u"D:\\Fotos"));
    EXPECT_EQ(-2, platform::FileSize(u"D:\\"));
    EXPECT_EQ(-1, platform::FileSize(u"D:\\Fotos\\Bild.jpeg"));
    EXPECT_EQ(-1, platform::FileSize(u"D:\\Fotos\\Bild.jpg\\x"));
    EXPECT_EQ(-1, platform::FileSize(u"relative.jpg"));
    EXPECT_EQ(-1, platform::FileSize(u""));
}

TEST_F(FileSystemTest, ReadWriteAndDelete) {
    headless::MakeFolder(u"D:\\Out");
    std::string bytes;
    EXPECT_TRUE(platform::WriteFileBytes(u"D:\\Out\\hits.txt", "\xEF\xBB\xBFx"));
    EXPECT_TRUE(platform::ReadFileBytes(u"d:\\out\\HITS.TXT", &bytes));
    EXPECT_EQ("\xEF\xBB\xBFx", bytes);
    EXPECT_TRUE(platform::WriteFileBytes(u"D:\\Out\\HITS.txt", "y")) << "overwrites in place";
    EXPECT_EQ((std::vector<std::string>{"./", "../", "hits.txt"}), List(u"D:\\Out", u"*.*"))
        << "keeps the stored name";
    EXPECT_FALSE(platform::WriteFileBytes(u"D:\\Missing\\x.txt", "y")) << "no folder is made";
    EXPECT_FALSE(platform::WriteFileBytes(u"D:\\Out", "y")) << "a folder is no file";
    EXPECT_TRUE(platform::DeleteFilePath(u"D:\\Out\\hits.txt"));
    EXPECT_FALSE(platform::DeleteFilePath(u"D:\\Out\\hits.txt"));
    EXPECT_FALSE(platform::ReadFileBytes(u"D:\\Out\\hits.txt", &bytes));
}

TEST_F(FileSystemTest, InjectedFaults) {
    headless::MakeFile(u"D:\\F\\a.jpg", "abc");
    std::string bytes;
    headless::SetUnreadable(u"D:\\F\\a.jpg");
    EXPECT_FALSE(platform::ReadFileBytes(u"D:\\F\\a.jpg", &bytes));
    EXPECT_EQ(3, platform::FileSize(u"D:\\F\\a.jpg")) << "an unreadable file still exists";
    headless::SetUnwritable(u"D:\\F\\a.jpg");
    EXPECT_FALSE(platform::WriteFileBytes(u"D:\\F\\a.jpg", "x"));
    EXPECT_FALSE(platform::DeleteFilePath(u"D:\\F\\a.jpg"));
    headless::SetUnreadable(u"D:\\F\\a.jpg", false);
    EXPECT_TRUE(platform::ReadFileBytes(u"D:\\F\\a.jpg", &bytes));
    EXPECT_EQ("abc", bytes) << "a failed write leaves the file as it was";
    headless::SetUnlistable(u"D:\\F");
    EXPECT_EQ((std::vector<std::string>{"<unlistable>"}), List(u"D:\\F", u"*.*"));
}

}  // namespace

}  // namespace spurlese

#include "scan/directory_examination.h"

#include "results_page/results_page.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

using testsupport::MakeTestFile;
using testsupport::MakeTestFolder;

class DirectoryExaminationTest : public WindowTest {
protected:
    std::u16string Log() { return platform::GetText(ctl::InfoText); }
    bool FileListedInFolder(std::u16string_view path) {
        return spurlese::FileListedInFolder(path, report_);
    }
    BusyRequests requests_;
    ResultsPage page_;
    ScanReport report_ = page_.ScanReportFor(BusyWork::kScan, &requests_);
};

TEST_F(DirectoryExaminationTest, NamesMatchWithoutRegardToLetterCase) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub\\IMG_0815.JPG"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub\\\u00C4pfel.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\Urlaub\\img_0815.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\Urlaub\\IMG_0815.JPG"));
    EXPECT_TRUE(FileListedInFolder(u"d:\\archiv\\URLAUB\\Img_0815.Jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\Urlaub\\\u00E4PFEL.JPG")) << "umlauts too";
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\Urlaub\\img_0816.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\Urlaub\\img_0815.jp"));
    EXPECT_U16_EQ(u"", Log()) << "a listable folder is never reported";
}

TEST_F(DirectoryExaminationTest, DirectoriesNeverCount) {
    ASSERT_TRUE(MakeTestFolder(u"D:\\Archiv\\img_0815.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\img_0815.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\."));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\.."));
}

TEST_F(DirectoryExaminationTest, HiddenFilesCount) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\versteckt.jpg", "x", true));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\versteckt.jpg"));
}

TEST_F(DirectoryExaminationTest, NameEndsBeforeADoubleQuote) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\a.jpg\""));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\a.jpg\" und mehr"));
}

TEST_F(DirectoryExaminationTest, EitherSeparatorAndDoubledBackslashesWork) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Sommer\\a.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:/Archiv/Sommer/a.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv/Sommer\\a.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\Archiv\\Sommer\\\\a.jpg"));
    EXPECT_U16_EQ(u"", Log());
}

TEST_F(DirectoryExaminationTest, FileInADriveRoot) {
    ASSERT_TRUE(MakeTestFile(u"D:\\x.jpg"));
    EXPECT_TRUE(FileListedInFolder(u"D:\\x.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\y.jpg"));
    EXPECT_U16_EQ(u"", Log());
}

TEST_F(DirectoryExaminationTest, UnlistableFolderIsLoggedOncePerCall) {
    EXPECT_FALSE(FileListedInFolder(u"D:\\Fehlt\\Tom's Ordner\\a.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Fehlt\\Tom's Ordner\\b.jpg"));
    EXPECT_U16_EQ(
        u"Error examining the path 'D:\\Fehlt\\Tom's Ordner'\r\n"
        u"Error examining the path 'D:\\Fehlt\\Tom's Ordner'",
        Log());
}

TEST_F(DirectoryExaminationTest, UnlistableDriveRootShowsAsTheDriveAlone) {
    EXPECT_FALSE(FileListedInFolder(u"Q:\\x.jpg"));
    EXPECT_U16_EQ(u"Error examining the path 'Q:'", Log());
}

TEST_F(DirectoryExaminationTest, FileInPlaceOfTheFolderIsUnlistable) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\datei.jpg"));
    EXPECT_FALSE(FileListedInFolder(u"D:\\Archiv\\datei.jpg\\a.jpg"));
    EXPECT_U16_EQ(u"Error examining the path 'D:\\Archiv\\datei.jpg'", Log());
}

TEST_F(DirectoryExaminationTest, NothingIsLoggedWithoutAWindow) {
    platform::CloseWindow(platform::kMainWindow);
    EXPECT_FALSE(FileListedInFolder(u"D:\\Fehlt\\a.jpg"));
    ASSERT_TRUE(OpenMainWindow());
    EXPECT_U16_EQ(u"", Log());
}

}  // namespace

}  // namespace spurlese

#include "platform/owners.h"
#include "platform/text_helpers.h"
#include "tests/support/scan_fixture.h"

namespace spurlese {

namespace {

using testsupport::ExtractorKind;
using testsupport::HoldFileOpen;
using testsupport::InstallExtractor;
using testsupport::MakeTestFile;
using testsupport::MakeTestFolder;

class ScanDriverTest : public ScanTest {
protected:
    void SetUp() override {
        ScanTest::SetUp();
        ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
        UseProjectDirectory(u"D:\\Projekte\\");
    }
};

TEST_F(ScanDriverTest, DirectoryWithoutProjectFiles) {
    ASSERT_TRUE(MakeTestFolder(u"D:\\Projekte\\Alt.mph"));  // a folder is no project file
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\notiz.txt"));
    platform::AppendLine(ctl::HitsText, u"from before");
    EXPECT_TRUE(Scan());
    EXPECT_U16_EQ(u"Es wird gesucht unter 'D:\\Projekte\\' nach treffern in 'D:\\Archiv'\r\nDone",
                  Log());
    EXPECT_U16_EQ(u"", Hits());
    EXPECT_EQ(0, platform::GetMaximum(ctl::ScanProgress));
    EXPECT_TRUE(platform::IsControlEnabled(ctl::ApplyFilterButton));
}

TEST_F(ScanDriverTest, OneProjectFileFromEndToEnd) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    ASSERT_TRUE(
        MakeTestFile(u"D:\\Projekte\\Urlaub.MPH", "D:\\Archiv\\a.jpg\nD:\\Archiv\\Weg\\b.jpg\n"));
    EXPECT_TRUE(Scan());
    EXPECT_U16_EQ(
        u"Es wird gesucht unter 'D:\\Projekte\\' nach treffern in 'D:\\Archiv'\r\n"
        u"Filtering 'D:\\Projekte\\\\Urlaub.MPH'\r\n"
        u"Error examining the path 'D:\\Archiv\\Weg'\r\n"
        u"Done\r\n"
        u"Archiv durchsucht: 1 Datei in 1 Ordner, _ s\r\n"
        u"Missing 'D:\\Archiv\\Weg\\b.jpg'",
        Log());
    EXPECT_U16_EQ(u"D:\\Archiv\\a.jpg", Hits());
    EXPECT_EQ(1, platform::GetMaximum(ctl::ScanProgress));
    EXPECT_EQ(1, platform::GetState(ctl::ScanProgress));
    EXPECT_TRUE(platform::IsControlEnabled(ctl::ApplyFilterButton));
}

TEST_F(ScanDriverTest, UnlistableProjectDirectoryIsSaidAndChangesNothingElse) {
    UseProjectDirectory(u"D:\\Fehlt\\");
    platform::AppendLine(ctl::HitsText, u"from before");
    EXPECT_FALSE(Scan());
    EXPECT_U16_EQ(u"Error examining the path 'D:\\Fehlt'", Log());
    EXPECT_U16_EQ(u"", Hits()) << "the hit display is emptied all the same";
    EXPECT_TRUE(platform::IsControlEnabled(ctl::ApplyFilterButton));
    EXPECT_EQ(100, platform::GetMaximum(ctl::ScanProgress));
    EXPECT_EQ(0, platform::GetState(ctl::ScanProgress));
}

TEST_F(ScanDriverTest, ReportsSharedAndMissingMediaAfterDone) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Zoo.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\affe.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\nur.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Ferien\\x.jpg"));
    ASSERT_TRUE(MakeTestFolder(u"D:\\Archiv\\Bilder.jpg"));  // a folder: never "Missing"
    // Both projects name Ferien\x.jpg in two letter cases: two hits, each shared by both,
    // whichever project the listing gives first.
    ASSERT_TRUE(
        MakeTestFile(u"D:\\Projekte\\a.mph",
                     "D:\\Archiv\\Zoo.jpg\nD:\\Archiv\\affe.jpg\nD:\\Archiv\\nur.jpg\n"
                     "D:\\Archiv\\Weg.jpg\nD:\\Archiv\\Ferien\\x.jpg\nD:\\Archiv\\FERIEN\\x.jpg\n"
                     "D:\\Archiv\\Bilder.jpg\n"));
    ASSERT_TRUE(MakeTestFile(
        u"D:\\Projekte\\b.mph",
        "D:\\Archiv\\affe.jpg\nD:\\Archiv\\zoo.JPG\nD:\\Archiv\\b\u00E4r.mov\n"
        "D:\\Archiv\\Weg.jpg\nD:\\Archiv\\Ferien\\x.jpg\nD:\\Archiv\\FERIEN\\x.jpg\n"));
    EXPECT_TRUE(Scan());
    const std::u16string log = Log();
    const size_t done = log.find(u"Done\r\n");
    ASSERT_NE(std::u16string::npos, done);
    // Which project comes first depends on the folder's listing order; the report does not.
    const std::u16string report = log.substr(done + 6);
    const bool aFirst = log.find(u"a.mph") < log.find(u"b.mph");
    const std::u16string first = aFirst ? u"D:\\Projekte\\\\a.mph" : u"D:\\Projekte\\\\b.mph";
    const std::u16string second = aFirst ? u"D:\\Projekte\\\\b.mph" : u"D:\\Projekte\\\\a.mph";
    EXPECT_U16_EQ(u"D:\\Archiv\\affe.jpg\r\n   " + first + u"\r\n   " + second +
                      u"\r\nD:\\Archiv\\FERIEN\\x.jpg\r\n   " + first + u"\r\n   " + second +
                      u"\r\nD:\\Archiv\\Ferien\\x.jpg\r\n   " + first + u"\r\n   " + second +
                      u"\r\nD:\\Archiv\\zoo.jpg\r\n   " + first + u"\r\n   " + second +
                      u"\r\nArchiv durchsucht: 4 Dateien in 3 Ordnern, _ s"
                      u"\r\nMissing 'D:\\Archiv\\b\u00E4r.mov'\r\nMissing 'D:\\Archiv\\weg.jpg'",
                  report);
}

// A project file the extractor cannot read (held open by another program) is said after its
// hits, and the scan goes on.
// A missing file is followed by the archive's files of its name, however the name is composed and
// whatever its letter case: the most trailing folder names in common first, then as Explorer sorts
// them, three at most and how many more. A missing file without any gets no line.
TEST_F(ScanDriverTest, MissingFilesAreFollowedByWhereTheyMayBeNow) {
    UseProjectDirectory(u"D:\\Projekte\\");
    ASSERT_TRUE(MakeTestFolder(u"D:\\Archiv\\Reisen\\Urlaub 2019"));
    for (const char16_t* file : {u"D:\\Archiv\\Zeug\\\u00C4 IMG_0815.JPG",
                                 u"D:\\Archiv\\Sicherung 10\\\u00C4 IMG_0815.JPG",
                                 u"D:\\Archiv\\Urlaub 2019\\\u00E4 img_0815.JPG",
                                 u"D:\\Archiv\\Sicherung 2\\\u00C4 IMG_0815.JPG",
                                 u"D:\\Archiv\\Neu\\Reisen\\Urlaub 2019\\A\u0308 IMG_0815.jpg",
                                 u"D:\\Archiv\\Zeug\\a.mov"}) {
        ASSERT_TRUE(MakeTestFile(file)) << testsupport::Show(file);
    }
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\Urlaub.mph",
                             "D:\\Archiv\\Reisen\\Urlaub 2019\\\xC3\x84 IMG_0815.JPG\n"
                             "D:\\Archiv\\Reisen\\weg.jpg\n"));
    Scan();
    const std::u16string log = Log();
    EXPECT_U16_EQ(
        u"Missing 'D:\\Archiv\\Reisen\\Urlaub 2019\\\u00E4 img_0815.jpg'\r\n"
        u"   maybe now 'D:\\Archiv\\Neu\\Reisen\\Urlaub 2019\\A\u0308 IMG_0815.jpg'\r\n"
        u"   maybe now 'D:\\Archiv\\Urlaub 2019\\\u00E4 img_0815.JPG'\r\n"
        u"   maybe now 'D:\\Archiv\\Sicherung 2\\\u00C4 IMG_0815.JPG'\r\n"
        u"   and 2 more\r\n"
        u"Missing 'D:\\Archiv\\Reisen\\weg.jpg'",
        log.substr(log.find(u"Missing")));
    EXPECT_NE(std::u16string::npos, log.find(u"Archiv durchsucht: 6 Dateien in 10 Ordnern, _ s"));
}

TEST_F(ScanDriverTest, UnreadProjectFileIsSaid) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\Gesperrt.mph", "D:\\Archiv\\a.jpg\n"));
    HoldFileOpen(u"D:\\Projekte\\Gesperrt.mph", true);
    EXPECT_TRUE(Scan());
    HoldFileOpen(u"D:\\Projekte\\Gesperrt.mph", false);
    EXPECT_U16_EQ(
        u"Es wird gesucht unter 'D:\\Projekte\\' nach treffern in 'D:\\Archiv'\r\n"
        u"Filtering 'D:\\Projekte\\\\Gesperrt.mph'\r\n"
        u"Error reading 'D:\\Projekte\\\\Gesperrt.mph'\r\n"
        u"Done",
        Log());
    EXPECT_U16_EQ(u"", Hits());
}

// A downloaded strings64.exe refuses every file until its licence is accepted, and says why on its
// standard error: the user is told its own words, once, with how many project files it concerned.
TEST_F(ScanDriverTest, TheExtractorsOwnWordsAreShownOnce) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Refusing));
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\a.mph", "D:\\Archiv\\a.jpg\n"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\b.mph", "D:\\Archiv\\a.jpg\n"));
    EXPECT_TRUE(Scan());
    const std::u16string log = Log();
    EXPECT_NE(std::u16string::npos, log.find(u"Error reading 'D:\\Projekte\\\\a.mph'"));
    EXPECT_U16_EQ(
        u"Done\r\n"
        u"Meldung von 'D:\\Work\\strings64.exe' bei 2 Projektdateien:\r\n"
        u"   This is the first run of this program. You must accept EULA to continue.\r\n"
        u"   Use -accepteula to accept EULA.",
        log.substr(log.find(u"Done")));
}

// Several extractors run at once (real processes on Windows), but every file's hits and log lines
// come in the order of the folder's listing, each file's after its "Filtering" line.
TEST_F(ScanDriverTest, ExtractorsRunningAheadChangeNoOrder) {
    constexpr int kFiles = 7;
    for (int k = 1; k <= kFiles; ++k) {
        const std::string n = std::to_string(k);
        ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\f" + platform::Utf8ToUtf16(n) + u".jpg"));
        ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\p" + platform::Utf8ToUtf16(n) + u".mph",
                                 "D:\\Archiv\\f" + n + ".jpg\nD:\\Archiv\\Weg" + n + "\\x.jpg\n"));
    }
    std::u16string log = u"Es wird gesucht unter 'D:\\Projekte\\' nach treffern in 'D:\\Archiv'";
    std::u16string hits;
    for (const platform::ListingEntry& entry : platform::Listing(u"D:\\Projekte\\", u"*.mph")) {
        const std::u16string n = entry.name.substr(1, entry.name.size() - 5);  // "p3.mph": "3"
        log += u"\r\nFiltering 'D:\\Projekte\\\\" + entry.name + u"'";
        log += u"\r\nError examining the path 'D:\\Archiv\\Weg" + n + u"'";
        hits += (hits.empty() ? u"" : u"\r\n") + (u"D:\\Archiv\\f" + n + u".jpg");
    }
    log += u"\r\nDone\r\nArchiv durchsucht: " + Decimal(kFiles) + u" Dateien in 1 Ordner, _ s";
    for (int k = 1; k <= kFiles; ++k) {
        log += u"\r\nMissing 'D:\\Archiv\\Weg" + platform::Utf8ToUtf16(std::to_string(k)) +
               u"\\x.jpg'";
    }
    EXPECT_TRUE(Scan());
    EXPECT_U16_EQ(log, Log());
    EXPECT_U16_EQ(hits, Hits());
    EXPECT_EQ(kFiles, platform::GetState(ctl::ScanProgress));
}

}  // namespace

}  // namespace spurlese

#include "tests/support/scan_fixture.h"

namespace spurlese {

namespace {

using testsupport::MakeTestFile;
using testsupport::MakeTestFolder;

using HitFilterTest = ScanTest;

TEST(NormaliseSlashesTest, SlashesBecomeBackslashesButLeadingOnesVanish) {
    struct Row {
        const char16_t *in, *out;
    } rows[] = {
        {u"D:\\Archiv\\a.jpg", u"D:\\Archiv\\a.jpg"},
        {u"D:/Archiv/Urlaub 2019/IMG_0815.JPGx", u"D:\\Archiv\\Urlaub 2019\\IMG_0815.JPGx"},
        {u"/D:/a", u"D:\\a"},
        {u"///x", u"x"},
        {u"a//b", u"a\\\\b"},
        {u"a/", u"a\\"},
        {u"a\\/b", u"a\\\\b"},
        {u"/", u""},
        {u"", u""},
    };
    for (const Row& row : rows) {
        EXPECT_U16_EQ(row.out, NormaliseSlashes(row.in)) << testsupport::Show(row.in);
    }
}

TEST_F(HitFilterTest, FirstWorkedExample) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub 2019\\IMG_0815.JPG"));
    Filter(u"D:/Archiv/Urlaub 2019/IMG_0815.JPGx");
    EXPECT_U16_EQ(u"D:\\Archiv\\Urlaub 2019\\img_0815.jpg", Hits());
    Filter(u"D:/Archiv/Urlaub 2019/IMG_0815.JPGx");
    Filter(u"D:\\Archiv\\Urlaub 2019\\img_0815.jpg");
    EXPECT_U16_EQ(u"D:\\Archiv\\Urlaub 2019\\img_0815.jpg", Hits()) << "each hit once per scan";
    EXPECT_U16_EQ(u"", Log());
}

TEST_F(HitFilterTest, StripOptionLeavesOutTheBasePath) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub 2019\\IMG_0815.JPG"));
    stripBase = true;  // as a scan with control 11 checked reads it
    Filter(u"D:/Archiv/Urlaub 2019/IMG_0815.JPGx");
    EXPECT_U16_EQ(u"Urlaub 2019\\img_0815.jpg", Hits());
    EXPECT_TRUE(Work().seenHits.count(u"D:\\Archiv\\Urlaub 2019\\img_0815.jpg"))
        << "the full hit is kept";
}

TEST_F(HitFilterTest, BasePathEndingInABackslashIsUsedAsIs) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    UseBasePath(u"D:\\Archiv\\");
    EXPECT_U16_EQ(u"d:\\archiv\\", MakeBasePrefix(u"D:\\Archiv\\").text);
    stripBase = true;  // as a scan with control 11 checked reads it
    Filter(u"D:\\Archiv\\a.jpg");
    EXPECT_U16_EQ(u"a.jpg", Hits());
}

TEST_F(HitFilterTest, OnlyLinesThatStartWithTheBasePathCount) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    Filter(u"Bild D:\\Archiv\\a.jpg");
    Filter(u"D:\\Archi");
    Filter(u"D:\\Archiv2\\a.jpg");
    Filter(u"C:\\Archiv\\a.jpg");
    EXPECT_U16_EQ(u"", Hits());
    Filter(u"d:\\ARCHIV\\a.jpg");
    EXPECT_U16_EQ(u"d:\\ARCHIV\\a.jpg", Hits()) << "the line's own letter case stays";
    Filter(u"D:\\Archiv\\A.JPG");
    EXPECT_U16_EQ(u"d:\\ARCHIV\\a.jpg\r\nD:\\Archiv\\a.jpg", Hits())
        << "folder names in another letter case make another hit";
}

TEST_F(HitFilterTest, LeadingSlashesVanishBeforeTheBasePathTest) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    Filter(u"//D:/Archiv/a.jpg");
    EXPECT_U16_EQ(u"D:\\Archiv\\a.jpg", Hits());
}

TEST_F(HitFilterTest, NameIsCutRightAfterTheFirstExistingExtension) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\clip.MOV"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\photo.jpeg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\b.jpg.mp4"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\x.heic"));
    Filter(u"D:\\Archiv\\clip.MOV.backup");
    Filter(u"D:\\Archiv\\photo.jpeg");
    Filter(u"D:\\Archiv\\a.jpg.mp4");
    Filter(u"D:\\Archiv\\b.jpg.mp4");
    Filter(u"D:\\Archiv\\x.heic\" Titel=\"Sommer\"");
    EXPECT_U16_EQ(
        u"D:\\Archiv\\clip.mov\r\nD:\\Archiv\\photo.jpeg\r\nD:\\Archiv\\a.jpg\r\n"
        u"D:\\Archiv\\b.jpg.mp4\r\nD:\\Archiv\\x.heic",
        Hits());
}

TEST_F(HitFilterTest, FoldersAndMissingFilesAreNoHits) {
    ASSERT_TRUE(MakeTestFolder(u"D:\\Archiv\\pics.jpg"));
    Filter(u"D:\\Archiv\\pics.jpg");
    Filter(u"D:\\Archiv\\fehlt.jpg");
    Filter(u"D:\\Archiv\\Weg\\a.jpg.mp4");
    Filter(u"D:\\Archiv\\readme.txt");
    EXPECT_U16_EQ(u"", Hits());
    const auto& missing = Record().missing;
    ASSERT_EQ(2u, missing.size()) << "a folder named like a picture is not missing";
    EXPECT_U16_EQ(u"D:\\Archiv\\fehlt.jpg", missing[0]);
    EXPECT_U16_EQ(u"D:\\Archiv\\Weg\\a.jpg.mp4", missing[1]) << "the last extension that matched";
}

TEST_F(HitFilterTest, EverySourceOfAHitIsRecordedOnce) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\a.jpg"));
    projectFile = u"D:\\P\\Urlaub.mph";
    Filter(u"D:\\Archiv\\a.jpg");
    Filter(u"D:\\Archiv\\A.jpg");
    projectFile = u"D:\\P\\Geburtstag.mph";
    Filter(u"D:\\Archiv\\a.jpg");
    const auto& sources = Record().hits;
    ASSERT_EQ(2u, sources.size());
    EXPECT_U16_EQ(u"D:\\P\\Urlaub.mph", sources[0].projectFile);
    EXPECT_U16_EQ(u"D:\\P\\Geburtstag.mph", sources[1].projectFile);
    EXPECT_U16_EQ(u"D:\\Archiv\\a.jpg", Hits());
}

TEST_F(HitFilterTest, UmlautsInFolderAndName) {
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Geburtstag J\u00FCrgen\\\u00C4PFEL.JPG"));
    Filter(u"D:\\Archiv\\Geburtstag J\u00FCrgen\\\u00C4pfel.JPG");
    EXPECT_U16_EQ(u"D:\\Archiv\\Geburtstag J\u00FCrgen\\\u00E4pfel.jpg", Hits());
}

}  // namespace

}  // namespace spurlese

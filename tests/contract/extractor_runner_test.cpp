// The runner against a real child process: our extractor, or a stand-in that prints the project
// file's bytes as they are, placed as strings64.exe in the working directory.
#include <string>
#include <vector>

#include "tests/support/scan_fixture.h"

namespace spurlese {

namespace {

using testsupport::ExtractorKind;
using testsupport::InstallExtractor;
using testsupport::MakeTestFile;
using testsupport::Show;

using ExtractorRunnerTest = ScanTest;

std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

TEST(ExtractorCommandLineTest, QuotesProgramAndProjectFile) {
    EXPECT_U16_EQ(
        u"\"C:\\Werkzeuge\\strings64.exe\" -nobanner -n 8 \"D:\\Projekte\\Urlaub.mph\"",
        ExtractorCommandLine(u"C:\\Werkzeuge\\strings64.exe", 8, u"D:\\Projekte\\Urlaub.mph"));
    EXPECT_U16_EQ(u"\"x\" -nobanner -n -5 \"a b.mph\"", ExtractorCommandLine(u"x", -5, u"a b.mph"));
    EXPECT_U16_EQ(u"\"x\" -nobanner -n 40 \"y\"", ExtractorCommandLine(u"x", 40, u"y"));
}

std::vector<std::string> OutputLines(std::u16string_view projectFile) {
    std::vector<std::string> lines;
    const std::u16string program = platform::CurrentDirectory() + u"strings64.exe";
    EXPECT_TRUE(
        CollectProgramOutput(program, ExtractorCommandLine(program, 8, projectFile),
                             [&lines](std::u16string_view line) { lines.push_back(Show(line)); }));
    return lines;
}

TEST_F(ExtractorRunnerTest, OutputIsCutIntoLinesAtLfWithEveryCrDropped) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
    ASSERT_TRUE(
        MakeTestFile(u"D:\\P\\a.mph", "one\r\ntwo\nthr\ree\n\n\r\nJ\xC3\xBCrgen\nJ\xFCrgen\nlast"));
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"one", "two", "three", "", "", "J\\u00FCrgen", "J\\uFFFDrgen", "last"}),
              OutputLines(u"D:\\P\\a.mph"));
}

TEST_F(ExtractorRunnerTest, LongOutputArrivesWhole) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "D:\\Archiv\\Ordner " + std::to_string(i) + "\\IMG.JPG\n";
    ASSERT_TRUE(MakeTestFile(u"D:\\P\\big.mph", bytes));
    const auto lines = OutputLines(u"D:\\P\\big.mph");
    ASSERT_EQ(20000u, lines.size());
    EXPECT_EQ("D:\\Archiv\\Ordner 0\\IMG.JPG", lines.front());
    EXPECT_EQ("D:\\Archiv\\Ordner 19999\\IMG.JPG", lines.back());
}

// A line is kept up to the longest Windows path, 32,767 UTF-16 units, whatever its encoding; the
// rest up to its LF is dropped, and the lines after it come as usual. A cut line ends with its
// last whole character, never with U+FFFD from a character cut in two; CRs do not count.
TEST_F(ExtractorRunnerTest, OverlongLinesAreCutAtTheLongestPath) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
    const std::string path = "D:\\Archiv\\a.jpg";
    const std::string euro = "\xE2\x82\xAC", emoji = "\xF0\x9F\x8E\x89";
    std::string ascii(3 * 32767 + 5, 'x'), euros, emojis;
    for (int k = 0; k < 40000; ++k) euros += euro, emojis += emoji;
    ASSERT_TRUE(MakeTestFile(u"D:\\P\\long.mph", path + ascii + "\n\r" + euros + "\n" + emojis +
                                                     "\n" + std::string(500000, 'y') + "\n" +
                                                     path));
    std::vector<size_t> units;
    std::vector<std::string> starts;
    const std::u16string program = platform::CurrentDirectory() + u"strings64.exe";
    ASSERT_TRUE(CollectProgramOutput(program, ExtractorCommandLine(program, 8, u"D:\\P\\long.mph"),
                                     [&](std::u16string_view line) {
                                         units.push_back(line.size());
                                         EXPECT_NE(u'\uFFFD', line.back()) << units.size();
                                         starts.push_back(Show(line.substr(0, 15)));
                                     }));
    // 32,767 units of x; 32,767 euro signs; 16,383 emoji, no half of a pair; y; the path.
    EXPECT_EQ((std::vector<size_t>{32767, 32767, 32766, 32767, 15}), units);
    EXPECT_EQ(path, starts.front());
    EXPECT_EQ(path, starts.back());
}

TEST_F(ExtractorRunnerTest, SecondWorkedExampleGivesTheWholeHitList) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Cat));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub 2019\\IMG_0815.JPG"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Urlaub 2019\\clip.MOV"));
    ASSERT_TRUE(
        MakeTestFile(u"D:\\P\\Urlaub.mph",
                     "D:/Archiv/Urlaub 2019/IMG_0815.JPG\nD:/Archiv/Urlaub 2019/IMG_0815.JPG\n"
                     "D:\\Archiv\\Urlaub 2019\\clip.MOV\n"));
    ASSERT_TRUE(MakeTestFile(u"D:\\P\\Geburtstag.mph", "D:\\Archiv\\Urlaub 2019\\IMG_0815.JPG\n"));
    platform::SetState(ctl::StripBaseBox, 1);
    platform::SetState(ctl::PrefixProjectBox, 1);
    RunExtractor(&Work(), u"D:\\P\\Urlaub.mph");
    RunExtractor(&Work(), u"D:\\P\\Geburtstag.mph");
    EXPECT_U16_EQ(
        u"; Urlaub.mph\r\nUrlaub 2019\\img_0815.jpg\r\nUrlaub 2019\\clip.mov\r\n"
        u"; Geburtstag.mph",
        Hits());
    EXPECT_U16_EQ(u"D:\\P\\Geburtstag.mph", Record().hits.back().projectFile);
    EXPECT_U16_EQ(u"", Log());
}

TEST_F(ExtractorRunnerTest, MissingExtractorIsReportedOncePerFile) {
    ASSERT_TRUE(MakeTestFile(u"D:\\P\\a.mph", "D:\\Archiv\\a.jpg\n"));
    platform::SetState(ctl::PrefixProjectBox, 1);
    RunExtractor(&Work(), u"D:\\P\\a.mph");
    EXPECT_U16_EQ(u"; a.mph", Hits()) << "the header comes before the extractor runs";
    EXPECT_U16_EQ(u"Error starting 'D:\\Work\\strings64.exe'", Log());
}

TEST_F(ExtractorRunnerTest, ScanThroughOurExtractorFindsPathsInEveryEncoding) {
    ASSERT_TRUE(InstallExtractor(u"D:\\Work\\", ExtractorKind::Strings));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Geburtstag J\u00FCrgen\\IMG_0001.JPG"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\K\u00F6ln\\dom.heic"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\\u00C4rger\\b.mp4"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Glued\\c.jpg"));
    ASSERT_TRUE(MakeTestFile(u"D:\\Archiv\\Url\\d.jpeg"));
    std::string project = std::string("\x01\x02\x03\x00\x00", 5);
    project += "D:\\Archiv\\Geburtstag J\xFCrgen\\IMG_0001.JPG";  // Windows-1252, as a shortcut
    project += std::string("\x00\x07\x00", 3);
    project += "D:\\Archiv\\K\xC3\xB6ln\\dom.heic";  // UTF-8
    project += std::string("\x00\x00\x00", 3);
    project += Utf16LeBytes(u"D:\\Archiv\\\u00C4rger\\b.mp4");  // UTF-16LE at an odd offset
    project += std::string("\x00\x00\x00\x00", 4);
    project += "Titel:Sommer D:\\Archiv\\Glued\\c.jpg\"";  // glued to a preceding field
    project += std::string("\x00", 1);
    project += "file:///D:/Archiv/Url/d.jpeg";
    ASSERT_TRUE(MakeTestFile(u"D:\\Projekte\\Mix.mph", project));
    UseProjectDirectory(u"D:\\Projekte");
    ASSERT_TRUE(Scan());
    EXPECT_U16_EQ(
        u"D:\\Archiv\\Geburtstag J\u00FCrgen\\img_0001.jpg\r\n"
        u"D:\\Archiv\\K\u00F6ln\\dom.heic\r\n"
        u"D:\\Archiv\\\u00C4rger\\b.mp4\r\n"
        u"D:\\Archiv\\Glued\\c.jpg\r\n"
        u"D:\\Archiv\\Url\\d.jpeg",
        Hits());
    EXPECT_U16_EQ(
        u"Es wird gesucht unter 'D:\\Projekte' nach treffern in 'D:\\Archiv'\r\n"
        u"Filtering 'D:\\Projekte\\Mix.mph'\r\nDone",
        Log());
}

}  // namespace

}  // namespace spurlese

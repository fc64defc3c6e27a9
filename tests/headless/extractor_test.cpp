// Our extractor, byte for byte: what counts as a string, in which order strings come, and that
// streaming in blocks of any size gives the same output as one pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "tools/string_extractor.h"

namespace {

using extractor::ExtractStrings;

std::string Wide(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

std::string Bytes(const char* text, size_t size) {
    return std::string(text, size);
}

TEST(ExtractorTest, ByteRunsOfTheMinimumLength) {
    EXPECT_EQ("abcd\n", ExtractStrings(Bytes("\x01"
                                             "abcd\x02"
                                             "abc\x03",
                                             9),
                                       4));
    EXPECT_EQ("abc\nabcd\n", ExtractStrings(Bytes("\x01"
                                                  "abc\x02"
                                                  "abcd",
                                                  9),
                                            3));
    EXPECT_EQ("a\tb c~\n", ExtractStrings("a\tb c~", 3)) << "tab and blank are printable";
    EXPECT_EQ("", ExtractStrings("abc", 4));
    EXPECT_EQ("", ExtractStrings("", 1));
    EXPECT_EQ("x\n", ExtractStrings("x", 1));
}

TEST(ExtractorTest, LettersOutsideAsciiStayInside) {
    // UTF-8 letters count as one character each and pass through.
    EXPECT_EQ("J\xC3\xBCrg\n", ExtractStrings("J\xC3\xBCrg", 4));
    EXPECT_EQ("", ExtractStrings("J\xC3\xBCrg", 5));
    // "ČĚŪ": second bytes that would be Windows-1252 letters on their own still count as nothing.
    EXPECT_EQ("\xC4\x8C\xC4\x9A\xC5\xAA\n", ExtractStrings("\xC4\x8C\xC4\x9A\xC5\xAA", 3));
    EXPECT_EQ("", ExtractStrings("\xC4\x8C\xC4\x9A\xC5\xAA", 4));
    // Windows-1252 letters become UTF-8.
    EXPECT_EQ("J\xC3\xBCrgen \xC3\x84rger \xC3\x9F\n",
              ExtractStrings("J\xFCrgen \xC4rger \xDF", 8));
    EXPECT_EQ("\xC5\xA0koda\n", ExtractStrings("\x8Akoda", 5));
    // Not letters: they end a run.
    EXPECT_EQ("ab12\ncd34\n", ExtractStrings("ab12\xD7"
                                             "cd34\x80"
                                             "x",
                                             4));
    EXPECT_EQ("emoji\n", ExtractStrings("emoji\xF0\x9F\x98\x80", 4))
        << "valid UTF-8 that is no letter ends the run";
}

TEST(ExtractorTest, Utf16RunsAtEvenAndOddOffsets) {
    EXPECT_EQ("Hallo Welt\n", ExtractStrings(Wide("Hallo Welt"), 8));
    EXPECT_EQ("Hallo Welt\n", ExtractStrings(Bytes("\x07", 1) + Wide("Hallo Welt"), 8));
    EXPECT_EQ("\xC3\x9C\x62\x65r \xC5\x81\xC3\xB3\x64\xC5\xBA\n",  // "Über Łódź"
              ExtractStrings(Bytes("\xDC\0b\0e\0r\0 \0\x41\x01\xF3\0d\0\x7A\x01", 18), 8));
    // Two ASCII bytes read as one unit would be CJK: never taken.
    EXPECT_EQ("ABCDEFGH\n", ExtractStrings("ABCDEFGH", 4));
}

// Bytes are read 64 at a time as bit masks, and a stretch of live bytes shorter than the minimum
// is passed over whole: strings at every alignment among dead bytes (control bytes, zeros), just
// long enough or one too short, must come out exactly.
TEST(ExtractorTest, StringsAtEveryAlignmentAmongDeadBytes) {
    const std::string word =
        "R\xFC"
        "ckblick 19";  // 12 characters, one in Windows-1252
    for (size_t before = 0; before < 40; ++before) {
        for (const char* filler : {"\x00", "\x07", "\x1F"}) {
            const std::string dead = std::string(before, filler[0]);
            const std::string tail(37, filler[0]);
            const std::string expected =
                "R\xC3\xBC"
                "ckblick 19\n";
            EXPECT_EQ(expected, ExtractStrings(dead + word + tail, 12)) << before;
            EXPECT_EQ("", ExtractStrings(dead + word + tail, 13)) << before;
            // Live but short stretches in front change nothing.
            EXPECT_EQ(expected, ExtractStrings(dead + "ab\x01xyz\x02" + word + tail, 12)) << before;
            EXPECT_EQ("Hallo Welt\n", ExtractStrings(dead + Wide("Hallo Welt") + tail, 10))
                << before;
            EXPECT_EQ("", ExtractStrings(dead + Wide("Hallo Welt") + tail, 11)) << before;
            EXPECT_EQ("\xC5\x81\xC3\xB3\x64\xC5\xBA 1234\n",  // "Łódź 1234", high bytes 1
                      ExtractStrings(
                          dead + Bytes("\x41\x01\xF3\0d\0\x7A\x01", 8) + Wide(" 1234") + tail, 9))
                << before;
        }
    }
}

TEST(ExtractorTest, StringsComeInFileOrderWhateverTheirKind) {
    const std::string file = Wide("first wide") + Bytes("\x05\x05", 2) + "then bytes" +
                             Bytes("\x05", 1) + Wide("wide again") + Bytes("\x05", 1);
    EXPECT_EQ("first wide\nthen bytes\nwide again\n", ExtractStrings(file, 8));
}

TEST(ExtractorTest, GluedDrivePathsStartTheirOwnLine) {
    EXPECT_EQ("Titel:Sommer \nD:\\Archiv\\a.jpg\n",
              ExtractStrings("Titel:Sommer D:\\Archiv\\a.jpg", 8));
    EXPECT_EQ("D:\\a\\b.jpg\n", ExtractStrings("xD:\\a\\b.jpg", 8))
        << "each piece keeps the minimum";
    EXPECT_EQ("file:///\nD:/a/b.jpg\n", ExtractStrings("file:///D:/a/b.jpg", 5))
        << "file:/// is no drive path";
    EXPECT_EQ("C:\\a\nD:\\b\n", ExtractStrings("C:\\aD:\\b", 2));
    EXPECT_EQ("zD:\\\n", ExtractStrings("zD:\\", 2)) << "nothing follows the drive: not split";
    EXPECT_EQ("Bild \nD:\\B\\c.jpg\n", ExtractStrings(Wide("Bild D:\\B\\c.jpg"), 4));
}

TEST(ExtractorTest, FeedingInAnyBlocksGivesTheSameOutput) {
    std::mt19937 random(7);
    std::string file;
    const char* pieces[] = {"D:\\Familienbilder\\Urlaub\\IMG_0815.JPG",
                            "J\xFCrgen",
                            "K\xC3\xB6ln",
                            "file:///C:/x/y.mov",
                            "  \t",
                            "ABCDEFGHIJ"};
    for (int i = 0; i < 4000; ++i) {
        switch (random() % 4) {
            case 0:
                file += pieces[random() % 6];
                break;
            case 1:
                file += Wide(pieces[random() % 6]);
                break;
            case 2:
                file.append(random() % 16, '\0');
                break;
            default:
                for (int k = random() % 16; k > 0; --k) file.push_back(static_cast<char>(random()));
        }
    }
    for (uint64_t minLength : {1, 3, 8}) {
        const std::string whole = ExtractStrings(file, minLength);
        for (size_t block : {1, 2, 3, 5, 7, 64, 4099}) {
            std::string out;
            extractor::Extractor x;
            extractor::ExtractorStart(&x, minLength, &out);
            for (size_t at = 0; at < file.size(); at += block) {
                extractor::ExtractorFeed(&x, file.data() + at, std::min(block, file.size() - at));
            }
            extractor::ExtractorFinish(&x);
            ASSERT_EQ(whole, out) << "block " << block << ", minimum " << minLength;
        }
    }
}

// A run longer than a mebibyte is written in pieces while streaming, so memory stays bounded:
// the pieces together are the run, and no letter is cut in two.
TEST(ExtractorTest, EndlessRunsComeInWholePieces) {
    std::string run;
    while (run.size() < (5u << 19))
        run +=
            "Gr\xC3\xBC\xC3\x9F"
            "e aus K\xF6ln ";  // UTF-8 and 1252
    std::string out;
    extractor::Extractor x;
    extractor::ExtractorStart(&x, 8, &out);
    const size_t block = 65537;
    for (size_t at = 0; at < run.size(); at += block) {
        extractor::ExtractorFeed(&x, run.data() + at, std::min(block, run.size() - at));
    }
    extractor::ExtractorFinish(&x);
    std::string expected;  // the run read as UTF-8
    for (size_t at = 0; at < run.size(); ++at) {
        expected += run[at] == '\xF6' ? std::string("\xC3\xB6") : std::string(1, run[at]);
    }
    std::string joined;
    size_t pieces = 0;
    for (size_t begin = 0, end; (end = out.find('\n', begin)) != std::string::npos;
         begin = end + 1) {
        EXPECT_LE(end - begin, (3u << 20)) << "piece " << pieces;
        joined += out.substr(begin, end - begin);
        ++pieces;
    }
    EXPECT_GT(pieces, 1u);
    EXPECT_TRUE(joined == expected);
}

// The command-line tool itself.
struct ToolRun {
    int exitCode;
    std::string output;
};

ToolRun RunTool(const std::string& arguments) {
    const std::string command = std::string(SPURLESE_STRINGS) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ExtractorToolTest, CommandLineContract) {
    const std::string path = testing::TempDir() + "extractor_tool_test.bin";
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    const std::string content = Bytes("ab\0D:\\x\\Ordner\\a.jpg\x05\x05", 22) + Wide("Hallo Welt!");
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);

    EXPECT_EQ(0, RunTool("-nobanner -n 8 \"" + path + "\"").exitCode);
    EXPECT_EQ("D:\\x\\Ordner\\a.jpg\nHallo Welt!\n",
              RunTool("-nobanner -n 8 \"" + path + "\"").output);
    EXPECT_EQ("D:\\x\\Ordner\\a.jpg\n", RunTool("-nobanner -n 12 " + path).output);

    struct Row {
        const char* arguments;
        int exitCode;
    } rows[] = {
        {"", 2},        {"-nobanner", 2}, {"-n", 2},   {"-n 0 x", 2},
        {"-n -3 x", 2}, {"-n x8 x", 2},   {"-q x", 2}, {"-nobanner -n 8 /nonexistent/file", 1},
        {"-n 8 /", 1}};
    for (const Row& row : rows) {
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(row.exitCode, run.exitCode) << row.arguments;
        EXPECT_EQ("", run.output) << row.arguments << ": nothing on standard output";
    }
    std::remove(path.c_str());
}

}  // namespace

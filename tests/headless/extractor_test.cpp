// Our extractor, byte for byte: what counts as a string, in which order strings come, and that
// streaming in blocks of any size gives the same output as one pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "tests/support/plain_extractor.h"
#include "tools/string_extractor.h"

namespace spurlese {

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

// UTF-8 text written as UTF-16LE.
std::string Utf16(const std::string& utf8) {
    std::string bytes;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? b : b & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        i += length;
        const auto unit = [&bytes](char32_t u) {
            bytes.push_back(static_cast<char>(u & 0xFF));
            bytes.push_back(static_cast<char>(u >> 8));
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return bytes;
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

// Folder names as people, cameras and phones write them, in every encoding a project file may
// hold them: the whole path comes out in one line, also glued to the field before it, among
// bytes that look random, and whichever byte the blocks part at.
TEST(ExtractorTest, PathsComeOutWholeWhateverTheirNamesHold) {
    struct Name {
        const char* utf8;
        const char* cp1252;  // nullptr: Windows-1252 cannot write it
    } names[] = {
        {"Urlaub 2019 \xE2\x80\x93 Italien", "Urlaub 2019 \x96 Italien"},
        {"Omas 80. Geburtstag \xE2\x80\x99"
         "19",
         "Omas 80. Geburtstag \x92"
         "19"},
        {"\xE2\x80\x9ESommerfest\xE2\x80\x9C 2020", "\x84Sommerfest\x93 2020"},
        {"Flohmarkt 5 \xE2\x82\xAC", "Flohmarkt 5 \x80"},
        {"Zugspitze -5 \xC2\xB0"
         "C",
         "Zugspitze -5 \xB0"
         "C"},
        {"Lea 1\xC2\xBD Jahre", "Lea 1\xBD Jahre"},
        {"Und dann\xE2\x80\xA6", "Und dann\x85"},
        {"\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1 2018", nullptr},     // Greek
        {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", nullptr},  // Cyrillic
        {"Party \xF0\x9F\x8E\x89", nullptr},  // an emoji: a surrogate pair
    };
    std::mt19937 random(11);
    std::string noise(300, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    for (const Name& name : names) {
        const std::string path = std::string("D:\\Familienbilder\\") + name.utf8 + "\\IMG_0815.JPG";
        struct Encoded {
            const char* how;
            std::string bytes;
        } encodings[] = {
            {"UTF-8", path},
            {"UTF-16LE at an even offset", Utf16(path)},
            {"UTF-16LE at an odd offset", Bytes("\x07", 1) + Utf16(path)},
            {"Windows-1252",
             name.cp1252 ? std::string("D:\\Familienbilder\\") + name.cp1252 + "\\IMG_0815.JPG"
                         : std::string()},
        };
        for (const Encoded& encoded : encodings) {
            if (encoded.bytes.empty()) continue;
            const bool wide = encoded.bytes.size() > path.size() + 1;
            const std::string field = wide ? Utf16("Titel") : "Titel";
            const std::string file = noise + field + encoded.bytes + Bytes("\0\0\x01\0", 4) + noise;
            const std::string line = "\n" + path + "\n";
            for (size_t cut = noise.size();
                 cut <= noise.size() + field.size() + encoded.bytes.size(); ++cut) {
                std::string out = "\n";
                extractor::Extractor x;
                extractor::ExtractorStart(&x, 8, &out);
                extractor::ExtractorFeed(&x, file.data(), cut);
                extractor::ExtractorFeed(&x, file.data() + cut, file.size() - cut);
                extractor::ExtractorFinish(&x);
                ASSERT_NE(std::string::npos, out.find(line))
                    << name.utf8 << " in " << encoded.how << ", blocks parted at " << cut;
            }
        }
    }
}

// Where a path ends: at the first character Windows does not allow in a file name, before the
// next path, or after the longest path Windows knows; what follows is read by the rules of runs.
TEST(ExtractorTest, WherePathsEnd) {
    struct Row {
        std::string file;
        std::string expected;
    } rows[] = {
        {"D:\\a\\b.jpg\"D:\\c.jpg", "D:\\a\\b.jpg\nD:\\c.jpg\n"},
        {"D:\\a\\b.jpg|x<y>z?*", "D:\\a\\b.jpg\n|x<y>z?*\n"},
        {"D:\\a:b\\c.jpg", "D:\\a\n:b\\c.jpg\n"},
        {"D:\\a\\b.jpg\tEnde", "D:\\a\\b.jpg\n\tEnde\n"},
        {"D:\\a\\b c.jpgE:/x/y.mov", "D:\\a\\b c.jpg\nE:/x/y.mov\n"},
        {"D:\\a\x81gh", "D:\\a\ngh\n"},  // unassigned in 1252
        {"D:\\a\xE2\x80gh",
         "D:\\a\xC3\xA2\xE2\x82\xAC"
         "gh\n"},                            // not UTF-8: 1252
        {"D:\\\\Server", "D:\\\\Server\n"},  // two slashes: no path
        // A lone surrogate; its bytes read as a byte run "=Øb" or "Üb".
        {Utf16("D:\\a") + Bytes("\x3D\xD8", 2) + Utf16("bc"),
         "D:\\a\n=\xC3\x98"
         "b\nbc\n"},
        {Utf16("D:\\a") + Bytes("\x00\xDC", 2) + Utf16("bc"),
         "D:\\a\n\xC3\x9C"
         "b\nbc\n"},
        {Utf16("D:\\x.jpg") + Bytes("\x1F\0", 2), "D:\\x.jpg\n"},
        {Utf16("D:\\x") + Bytes("\x3A\x4E", 2) + Utf16("y"), "D:\\x\xE4\xB8\xBAy\n:Ny\n"},  // CJK
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, ExtractStrings(row.file, 2)) << row.expected;
        EXPECT_EQ(PlainExtract(row.file, 2), ExtractStrings(row.file, 2)) << row.expected;
    }
    const std::string longest = "D:\\" + std::string(40000, 'x');
    const std::string out = ExtractStrings(longest, 8);
    EXPECT_EQ(32767u, out.find('\n')) << "a path is at most 32,767 characters";
    EXPECT_EQ(longest.size() + 2, out.size()) << "the rest follows as a run";
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

// A run longer than a mebibyte is written in pieces while streaming, so memory stays bounded.
// The pieces together are the run, no letter is cut in two, a tail shorter than the minimum is
// kept, and the pieces are the same whatever blocks the file comes in.
TEST(ExtractorTest, EndlessRunsComeInTheSamePiecesForAnyBlocks) {
    const size_t piece = extractor::kRunPieceBytes;
    std::string letters;  // UTF-8 and Windows-1252 letters
    while (letters.size() < 5 * piece / 2)
        letters +=
            "Gr\xC3\xBC\xC3\x9F"
            "e aus K\xF6ln ";
    const struct Row {
        const char* name;
        std::string run;
    } rows[] = {{"letters", letters}, {"ASCII with a short tail", std::string(2 * piece + 3, 'a')}};
    for (const Row& row : rows) {
        std::vector<std::string> outputs;
        for (size_t block : {size_t{65537}, piece + 7, row.run.size()}) {
            std::string out;
            extractor::Extractor x;
            extractor::ExtractorStart(&x, 8, &out);
            for (size_t at = 0; at < row.run.size(); at += block) {
                extractor::ExtractorFeed(&x, row.run.data() + at,
                                         std::min(block, row.run.size() - at));
            }
            extractor::ExtractorFinish(&x);
            outputs.push_back(out);
        }
        EXPECT_TRUE(outputs[0] == outputs[1] && outputs[1] == outputs[2]) << row.name;
        std::string expected;  // the run read as UTF-8
        for (char c : row.run)
            expected += c == '\xF6' ? std::string("\xC3\xB6") : std::string(1, c);
        std::string joined;
        std::vector<size_t> sizes;
        for (size_t begin = 0, end; (end = outputs[0].find('\n', begin)) != std::string::npos;
             begin = end + 1) {
            joined += outputs[0].substr(begin, end - begin);
            sizes.push_back(end - begin);
        }
        EXPECT_TRUE(joined == expected) << row.name;
        EXPECT_GT(sizes.size(), 1u) << row.name;
        if (row.run[0] == 'a') {
            EXPECT_EQ((std::vector<size_t>{piece, piece, 3}), sizes);
        }
    }
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

}  // namespace spurlese

// The fast extractor reads 64 bytes at a time through bit masks. Here its rules are read plainly,
// one character after the other, and both must print the same for all kinds of file, whether
// the file comes whole or in blocks of any size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/support/plain_extractor.h"
#include "tools/string_extractor.h"

namespace spurlese {

namespace {

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Files of many kinds: noise, zeros, small numbers, and words in every encoding the extractor
// knows (and some it must not take), long ones too, glued to each other at random.
std::string MakeFile(std::mt19937& random, size_t size) {
    static const std::vector<std::string> words = {
        "D:\\Familienbilder\\Urlaub\\IMG_0815.JPG",
        "file:///C:/x/y.mov",
        "J\xFCrgen",                                 // Windows-1252
        "K\xC3\xB6ln \xE1\xB8\x82\xCE\xA9\xD0\x96",  // UTF-8 letters, Latin additional, Greek,
                                                     // Cyrillic
        "\xE2\x80\x9C"
        "Zitat\xE2\x80\x9D",  // UTF-8 quotation marks: no letters
        "\xF0\x9F\x98\x80"
        "emoji\xC2\xA0nbsp",
        "\xC3\xA4\xC3",                          // a lead byte at the end
        "\x8A\x9C\x9F\xAA\xB5\xBA\x83\x80\x81",  // Windows-1252 letters among others
        "\xED\xA0\x80\xC0\xAF\xF4\x90\x80\x80",  // surrogate, overlong, past U+10FFFF
        std::string("H\0a\0l\0l\0o\0 \0W\0e\0l\0t\0", 20),
        std::string("\xDC\0b\0e\0r\0 \0\x41\x01\xF3\0d\0\x7A\x01\x4F\x02\x50\x02", 22),
        std::string("D\0:\0\\\0B\0\\\0c\0.\0j\0p\0g\0", 20),
        "x:\\\\y a:/b C:\\",
        "D:\\Urlaub 2019 \xE2\x80\x93 Italien\\Party \xF0\x9F\x8E\x89.jpg",  // paths: UTF-8,
        "C:/\x84Sommerfest\x93 5 \x80\\Lea 1\xBD\x85\x81x.mov",              // Windows-1252,
        std::string("E\0:\0\\\0\x13\x20\x3D\xD8\x89\xDF\x91\x03?\0", 16),    // UTF-16LE
        std::string(150, 'L'),
        "\t\t  \t",
    };
    std::string file;
    while (file.size() < size) {
        switch (random() % 6) {
            case 0:
                file += words[random() % words.size()];
                break;
            case 1:
                file.append(random() % 70, '\0');
                break;
            case 2:
                for (int k = random() % 40; k > 0; --k) file += static_cast<char>(random() % 32);
                break;
            case 3:
                for (int k = random() % 80; k > 0; --k) file += static_cast<char>(random());
                break;
            case 4:  // letters of every kind, long enough to cross the 64-byte stretches
                for (int k = random() % 200; k > 0; --k) {
                    const int kind = random() % 4;
                    if (kind == 0) file += static_cast<char>(0x20 + random() % 95);
                    if (kind == 1) file += static_cast<char>(0xC0 + random() % 64);
                    if (kind == 2) file += Utf8(0xC0 + random() % 0x190);
                    if (kind == 3) file += static_cast<char>(0x80 + random() % 64);
                }
                break;
            default:
                for (int k = random() % 100; k > 0; --k) {
                    const char32_t unit = random() % 3 ? 0x20 + random() % 95 : random() % 0x300;
                    file += static_cast<char>(unit & 0xFF);
                    file += static_cast<char>(unit >> 8);
                }
        }
    }
    return file;
}

// Where two outputs part: the line number and both lines, as escaped bytes.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const auto escape = [](const std::string& text) {
        std::string out;
        for (unsigned char c : text) {
            char hex[8];
            std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
            out += hex;
        }
        return out;
    };
    size_t line = 1, begin = 0;
    for (size_t k = 0; k < std::min(expected.size(), actual.size()) && expected[k] == actual[k];
         ++k) {
        if (expected[k] == '\n') {
            ++line;
            begin = k + 1;
        }
    }
    const auto lineAt = [&](const std::string& text) {
        const size_t end = text.find('\n', begin);
        return escape(text.substr(begin, end == std::string::npos ? end : end - begin));
    };
    return "line " + std::to_string(line) + ": expected \"" + lineAt(expected) + "\", got \"" +
           lineAt(actual) + "\"";
}

std::string FeedInBlocks(const std::string& file, uint64_t minLength, std::mt19937& random,
                         size_t largestBlock) {
    std::string out;
    extractor::Extractor x;
    extractor::ExtractorStart(&x, minLength, &out);
    for (size_t at = 0; at < file.size();) {
        const size_t block = std::min<size_t>(1 + random() % largestBlock, file.size() - at);
        extractor::ExtractorFeed(&x, file.data() + at, block);
        at += block;
    }
    extractor::ExtractorFinish(&x);
    return out;
}

TEST(ExtractorReferenceTest, AgreesWithThePlainReadingOnFilesOfEveryKind) {
    std::mt19937 random(2022);
    for (int round = 0; round < 40; ++round) {
        const std::string file = MakeFile(random, 1000 + random() % 6000);
        for (uint64_t minLength : {1, 2, 3, 4, 8, 13, 63, 64, 65, 100}) {
            const std::string expected = PlainExtract(file, minLength);
            const std::string whole = extractor::ExtractStrings(file, minLength);
            ASSERT_TRUE(expected == whole) << "round " << round << ", minimum " << minLength << ", "
                                           << FirstDifference(expected, whole);
            const std::string blocks = FeedInBlocks(file, minLength, random, round % 2 ? 7 : 300);
            ASSERT_TRUE(expected == blocks) << "round " << round << ", minimum " << minLength
                                            << " in blocks, " << FirstDifference(expected, blocks);
        }
    }
}

TEST(ExtractorReferenceTest, AgreesOnUniformNoise) {
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        std::string file(20000, '\0');
        for (char& c : file) c = static_cast<char>(random());
        for (uint64_t minLength : {3, 8}) {
            const std::string expected = PlainExtract(file, minLength);
            const std::string actual = extractor::ExtractStrings(file, minLength);
            ASSERT_TRUE(expected == actual)
                << "round " << round << ", " << FirstDifference(expected, actual);
        }
    }
}

// UTF-8 that is valid but no letter ends a run as a whole: its continuation bytes are not read
// again as Windows-1252 letters (0x9C would be "œ").
TEST(ExtractorReferenceTest, QuotationMarksInUtf8AreNoLetters) {
    const std::string file = "Das \xE2\x80\x9CK\xC3\xB6ln\xE2\x80\x9D Album\x01";
    EXPECT_EQ("Das \nK\xC3\xB6ln\n Album\n", extractor::ExtractStrings(file, 4));
    EXPECT_EQ(PlainExtract(file, 4), extractor::ExtractStrings(file, 4));
}

}  // namespace

}  // namespace spurlese

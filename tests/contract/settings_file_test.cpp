// The settings file codec, case by case: what it reads from a file's bytes and what it writes
// back, byte for byte.
#include <string>
#include <utility>

#include "settings/settings_file.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

constexpr char16_t kFile[] = u"D:\\Work\\test.ini";
constexpr int64_t kProgram = kCompactLines | kNoByteOrderMark | kLineEndLf;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work"));
    }
    static SettingsFile Open(const std::string& bytes, int64_t options = kProgram) {
        EXPECT_TRUE(testsupport::MakeTestFile(kFile, bytes));
        return OpenSettingsFile(kFile, options);
    }
    static std::string FileBytes() {
        std::string bytes;
        platform::ReadFileBytes(kFile, &bytes);
        return bytes;
    }
    // Opens the bytes, marks the document changed without changing a line, and writes it back.
    static std::string RoundTrip(const std::string& bytes, int64_t options = kProgram) {
        SettingsFile document = Open(bytes, options);
        EXPECT_NE(nullptr, document);
        if (!document) return {};
        document->options |= kModified;
        CloseSettingsFile(std::move(document));
        return FileBytes();
    }
};

TEST_F(SettingsFileTest, LinesReadAndWrittenBack) {
    struct Row {
        const char* name;
        std::string in, out;
    } rows[] = {
        {"header with blanks and a comment", "  [General]  ; note\nk=1\n", "[General]\nk=1\n"},
        {"header without bracket is dropped", "[A]\na=1\n[General\nb=2\n", "[A]\na=1\nb=2\n"},
        {"bracket inside a header", "[a]b]\nx=1\n[c[d]\ny=2\n", "[a]\nx=1\n[c]\ny=2\n"},
        {"repeated header joins the first", "[A]\na=1\n[B]\nb=1\n[a]\nc=2\n",
         "[A]\na=1\nc=2\n[B]\nb=1\n"},
        {"colon becomes the separator", "key:value\n", "key=value\n"},
        {"equals wins over colon", "a:b=c\n", "a:b=c\n"},
        {"blanks kept in compact mode", "  Key  =  v \n", "  Key  =  v \n"},
        {"repeated key dropped", "[G]\nk=1\nK=2\n", "[G]\nk=1\n"},
        {"comments and blank lines stay", "; top\n\n[G]\n# c\n \t\nk=1\n",
         "; top\n\n[G]\n# c\n \t\nk=1\n"},
        {"line without separator dropped", "[G]\nvalue\nk=1\n", "[G]\nk=1\n"},
        {"CR line ends", "[G]\rk=1\rj=2", "[G]\nk=1\nj=2\n"},
        {"CR LF line ends", "[G]\r\nk=1\r\n", "[G]\nk=1\n"},
        {"group without members vanishes", "[Empty]\n[G]\nk=1\n", "[G]\nk=1\n"},
        {"empty file", "", ""},
        {"byte-order mark makes the first header a dropped line", "\xEF\xBB\xBF[General]\nk=1\n",
         "k=1\n"},
        {"root lines come first without header", "top=1\n[G]\nk=1\n", "top=1\n[G]\nk=1\n"},
        {"empty header is the root group", "[G]\nk=1\n[]\nr=2\n", "r=2\n[G]\nk=1\n"},
        {"umlauts stay UTF-8", "[Größe]\nÄ=ü\n", "[Größe]\nÄ=ü\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.out, RoundTrip(row.in)) << row.name;
    }
}

TEST_F(SettingsFileTest, ValuesByGroupAndKey) {
    SettingsFile document = Open("[A]\nx=1\n[B]\nx=2\n\tKey=3\ny= 5\n");
    ASSERT_NE(nullptr, document);
    EXPECT_TRUE(SelectGroup(document.get(), u"b"));
    EXPECT_U16_EQ(u"2", ReadValue(document.get(), u"X", u"d"));
    EXPECT_U16_EQ(u"d", ReadValue(document.get(), u"Key", u"d"));  // the tab is part of the key
    EXPECT_U16_EQ(u"3", ReadValue(document.get(), u"\tkey", u"d"));
    EXPECT_U16_EQ(u" 5", ReadValue(document.get(), u"y", u"d"));  // compact: nothing trimmed
    EXPECT_U16_EQ(u"d", ReadValue(document.get(), u"", u"d"));
    EXPECT_TRUE(SelectGroup(document.get(), u"A"));
    EXPECT_U16_EQ(u"d", ReadValue(document.get(), u"y", u"d"));  // only in another group
    // Selecting a missing group adds it in memory only.
    EXPECT_TRUE(SelectGroup(document.get(), u"New"));
    EXPECT_EQ(0, document->options & kModified);
    CloseSettingsFile(std::move(document));
    EXPECT_EQ("[A]\nx=1\n[B]\nx=2\n\tKey=3\ny= 5\n", FileBytes());  // not written
}

TEST_F(SettingsFileTest, NewKeyGoesToTheEndOfItsGroup) {
    SettingsFile document = Open("[A]\na=1\n[B]\nb=1\n");
    SelectGroup(document.get(), u"a");
    WriteValue(document.get(), u"New", u"2");
    WriteValue(document.get(), u"A", u"9");  // an existing key keeps its place, written as given
    SelectGroup(document.get(), u"C");
    WriteValue(document.get(), u"c", u"3");
    CloseSettingsFile(std::move(document));
    EXPECT_EQ("[A]\nA=9\nNew=2\n[B]\nb=1\n[C]\nc=3\n", FileBytes());
}

TEST_F(SettingsFileTest, OptionsChooseLineEndSeparatorAndMark) {
    struct Row {
        const char* name;
        int64_t options;
        std::string out;
    } rows[] = {
        {"program's options", kProgram, "[G]\nk=v\n"},
        {"spaced lines, CR LF, mark", 0, "\xEF\xBB\xBF\r\n[G]\r\nk = v\r\n"},
        {"CR wins over LF", kCompactLines | kNoByteOrderMark | kLineEndCr | kLineEndLf,
         "[G]\rk=v\r"},
        {"colon", kCompactLines | kNoByteOrderMark | kLineEndLf | kColonSeparator, "[G]\nk:v\n"},
    };
    for (const Row& row : rows) {
        SettingsFile document = CreateSettingsFile(kFile, row.options);
        ASSERT_NE(nullptr, document) << row.name;
        SelectGroup(document.get(), u"G");
        WriteValue(document.get(), u"k", u"v");
        CloseSettingsFile(std::move(document));
        EXPECT_EQ(row.out, FileBytes()) << row.name;
    }
    // Spaced mode: one blank after the separator is not part of the value.
    SettingsFile document = Open("k = v\n", 0);
    EXPECT_U16_EQ(u"v", ReadValue(document.get(), u"k", u""));
    CloseSettingsFile(std::move(document));
}

TEST_F(SettingsFileTest, MissingFilesAndNames) {
    EXPECT_EQ(nullptr, OpenSettingsFile(u"", kProgram));
    EXPECT_EQ(nullptr, OpenSettingsFile(u"D:\\Work\\missing.ini", kProgram));
    EXPECT_EQ(nullptr, OpenSettingsFile(u"D:\\Work", kProgram));  // a folder
    EXPECT_EQ(nullptr, CreateSettingsFile(u"", kProgram));
    EXPECT_EQ(nullptr, CreateSettingsFile(u"D:\\Nowhere\\x.ini", kProgram));
    // Every operation accepts a missing document.
    EXPECT_FALSE(SelectGroup(nullptr, u"G"));
    EXPECT_U16_EQ(u"d", ReadValue(nullptr, u"k", u"d"));
    WriteValue(nullptr, u"k", u"v");
    CloseSettingsFile(nullptr);
}

TEST_F(SettingsFileTest, CreatedFileExistsAndClosingAnUnchangedOneEmptiesIt) {
    SettingsFile document = CreateSettingsFile(kFile, kProgram);
    ASSERT_NE(nullptr, document);
    EXPECT_EQ(0, platform::FileSize(kFile));
    CloseSettingsFile(std::move(document));
    EXPECT_EQ("", FileBytes());

    ASSERT_TRUE(testsupport::MakeTestFile(kFile, "[Old]\nk=1\n"));
    document = CreateSettingsFile(kFile, kProgram);
    ASSERT_NE(nullptr, document);
    EXPECT_U16_EQ(u"d", ReadValue(document.get(), u"k", u"d"));  // the old lines are not read
    CloseSettingsFile(std::move(document));
    EXPECT_EQ("", FileBytes());
}

}  // namespace

}  // namespace spurlese

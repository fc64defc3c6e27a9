// Lower-casing and UTF-8 conversion: the headless platform must give what Windows gives.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

using platform::LowerCase;
using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;
using testsupport::Show;

TEST(LowerCaseTest, MapsLettersOfEveryScriptOneUnitToOne) {
    struct Row {
        const char16_t* upper;
        const char16_t* lower;
    } rows[] = {
        {u"D:\\FAMILIENBILDER\\IMG_0815.JPG", u"d:\\familienbilder\\img_0815.jpg"},
        {u"\u00C4\u00D6\u00DC", u"\u00E4\u00F6\u00FC"},  // Ä Ö Ü
        {u"\u00C9\u00C8\u00C0\u00C7\u00D8\u00DE", u"\u00E9\u00E8\u00E0\u00E7\u00F8\u00FE"},
        {u"\u00DF", u"\u00DF"},                          // ß stays
        {u"\u0141\u0152\u0178", u"\u0142\u0153\u00FF"},  // Ł Œ Ÿ
        {u"\u03A3\u03A9", u"\u03C3\u03C9"},              // Greek
        {u"\u0414\u0416\u0401", u"\u0434\u0436\u0451"},  // Cyrillic
        {u"0123 .,;-_'\"\\/", u"0123 .,;-_'\"\\/"},
        {u"\u00E4lready lower", u"\u00E4lready lower"},
        {u"\U0001F600", u"\U0001F600"},  // surrogate pairs are left alone
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Show(row.lower), Show(LowerCase(row.upper))) << Show(row.upper);
    }
    EXPECT_EQ(Show(u""), Show(LowerCase(u"")));
}

TEST(Utf8Test, RoundTripsEveryKindOfCharacter) {
    const std::u16string text = u"a\u00FC\u20AC\U0001F600\u00C4rger";
    const std::string bytes = "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\x84rger";
    EXPECT_EQ(bytes, Utf16ToUtf8(text));
    EXPECT_EQ(Show(text), Show(Utf8ToUtf16(bytes)));
    EXPECT_EQ("", Utf16ToUtf8(u""));
    EXPECT_EQ(Show(u""), Show(Utf8ToUtf16("")));
}

TEST(Utf8Test, InvalidBytesBecomeReplacementCharacters) {
    struct Row {
        const char* name;
        std::string bytes;
        std::u16string expected;
    } rows[] = {
        {"Windows-1252 umlaut", "J\xFCrgen", u"J\uFFFDrgen"},
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"invalid lead", "\xFF\xFE", u"\uFFFD\uFFFD"},
        {"truncated at end", "ab\xC3", u"ab\uFFFD"},
        {"broken by ASCII", "\xC3z", u"\uFFFDz"},
        {"NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Show(row.expected), Show(Utf8ToUtf16(row.bytes))) << row.name;
    }
}

}  // namespace

}  // namespace spurlese

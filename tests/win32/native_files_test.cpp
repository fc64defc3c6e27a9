// The Win32 file layer where only Windows can show it: the form in which a path goes to Windows
// (the "\\?\" form only for long drive and UNC paths, made whole first, since Windows takes that
// form literally), and what a replaced file keeps.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_replace.h"
#include "platform/win32/long_path.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

TEST(LongPathTest, FormHandedToWindows) {
    const std::wstring name(120, L'n');  // three of them make any path long
    const std::wstring tail = name + L"\\" + name + L"\\" + name + L".jpg";
    const struct Row {
        std::wstring path;
        std::wstring expected;
    } rows[] = {
        {L"D:\\Archiv\\kurz.jpg", L"D:\\Archiv\\kurz.jpg"},
        {L"D:\\" + std::wstring(256, L'x'), L"D:\\" + std::wstring(256, L'x')},  // 259: no change
        {L"D:\\" + tail, L"\\\\?\\D:\\" + tail},
        {L"d:/Archiv//" + name + L"/./" + name + L"/" + name + L"/../" + name + L".jpg",
         L"\\\\?\\d:\\Archiv\\" + name + L"\\" + name + L"\\" + name + L".jpg"},
        {L"\\\\server\\share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail},
        {L"\\\\?\\D:\\" + tail, L"\\\\?\\D:\\" + tail},
        {L"Archiv\\" + tail, L"Archiv\\" + tail},  // relative paths stay as they are
        {L"D:" + tail, L"D:" + tail},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(row.expected == longpath::LongPathForm(row.path))
            << row.path.size()
            << " characters: " << std::string(row.path.begin(), row.path.begin() + 20);
    }
}

// Saving over an existing file keeps what the user gave it, such as the hidden attribute.
TEST(ReplaceTest, ReplacedFileKeepsItsAttributes) {
    testsupport::ResetForTest();
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\hits.txt", "old", true));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(u"D:\\Work\\hits.txt", "new"));
    const DWORD attributes = GetFileAttributesW(L"D:\\Work\\hits.txt");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

}  // namespace spurlese

// Saving the hits: the bytes written, and what a failing disk leaves behind (the safe replace's
// own faults are tested on both platforms in tests/contract/file_replace_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "app/results_export.h"
#include "platform/file_faults.h"
#include "platform/file_replace.h"
#include "platform/headless/headless.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr char16_t kTarget[] = u"D:\\Export\\Spurlese_Hits.txt";

class ExportTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        headless::MakeFolder(u"D:\\Export");
    }
    static std::string Bytes(std::u16string_view path) { return testsupport::FileBytes(path); }
    static WriteOutcome Export(std::u16string_view answer) {
        headless::QueueSaveAnswer(answer);
        ResultsPage page;
        return ExportResults(&page).written.outcome;
    }
};

TEST_F(ExportTest, BytesOfTheHitsFile) {
    struct Row {
        const char* name;
        std::u16string lines[2];
        std::string bytes;
    } rows[] = {
        {"empty display", {}, "\xEF\xBB\xBF\r\n"},
        {"two lines",
         {u"a", u"b"},
         "\xEF\xBB\xBF"
         "a\r\nb\r\n"},
        {"umlaut",
         {u"D:\\Jürgen\\ä.jpg"},
         "\xEF\xBB\xBF"
         "D:\\J\xC3\xBCrgen\\\xC3\xA4.jpg\r\n"},
        {"header line",
         {u"; Ostern.mph", u"d:\\a.jpg"},
         "\xEF\xBB\xBF; Ostern.mph\r\nd:\\a.jpg\r\n"},
    };
    for (const Row& row : rows) {
        platform::ClearText(ctl::HitsText);
        for (const std::u16string& line : row.lines) {
            if (!line.empty()) platform::AppendLine(ctl::HitsText, line);
        }
        EXPECT_EQ(WriteOutcome::kWritten, Export(kTarget)) << row.name;
        EXPECT_EQ(row.bytes, Bytes(kTarget)) << row.name;
    }
    // The display itself is not changed.
    EXPECT_U16_EQ(u"; Ostern.mph\r\nd:\\a.jpg", platform::GetText(ctl::HitsText));
}

TEST_F(ExportTest, CancelAndUnwritablePlacesWriteNothing) {
    ResultsPage page;
    EXPECT_EQ(platform::DialogOutcome::kCancelled, ExportResults(&page).dialog);  // no answer
    EXPECT_EQ(WriteOutcome::kNothingWritten, Export(u"D:\\Missing\\x.txt"));
    headless::MakeFile(kTarget, "old");
    headless::SetUnwritable(kTarget);  // held open by another program
    EXPECT_EQ(WriteOutcome::kNothingWritten, Export(kTarget));
    EXPECT_EQ("old", Bytes(kTarget));
    EXPECT_EQ(WriteOutcome::kWritten,
              Export(u"D:\\Export\\ohne Endung"));  // saved under exactly that name
    EXPECT_EQ(5, platform::FileSize(u"D:\\Export\\ohne Endung"));
}

TEST_F(ExportTest, FailureThatShowsOnlyAtTheCloseIsNoSuccess) {
    headless::MakeFile(kTarget, "old hits");
    // The close: buffered data cannot be written out.
    platform::FailFileOperation(platform::FileOperation::kClose);
    EXPECT_EQ(WriteOutcome::kWriteFailed, Export(kTarget));
    EXPECT_EQ("old hits", Bytes(kTarget));
}

// A text the system cannot convert (gigabytes of hits) is not written in part.
TEST_F(ExportTest, FailedConversionWritesNothing) {
    platform::AppendLine(ctl::HitsText, u"d:\\familienbilder\\neu.jpg");
    headless::MakeFile(kTarget, "old hits");
    platform::FailFileOperation(platform::FileOperation::kCreate);  // for the first file made
    headless::FailNextConversion();
    EXPECT_EQ(WriteOutcome::kNothingWritten, Export(kTarget));
    EXPECT_EQ("old hits", Bytes(kTarget));
    EXPECT_EQ(WriteOutcome::kNothingWritten, Export(kTarget))
        << "the fault is still there: no file was made before";
}

}  // namespace

}  // namespace spurlese

// Replacing a file never loses the old one: a failed write leaves it as it was and no
// temporary file behind.
#include <string>
#include <utility>
#include <vector>

#include "platform/file_faults.h"
#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/text_helpers.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

constexpr char16_t kTarget[] = u"D:\\Work\\hits.txt";

class FileReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work"));
    }
    static std::string Bytes(std::u16string_view path) { return testsupport::FileBytes(path); }
};

// A file read in pieces from any offset, and its key: one for both names of a hard link, another
// for a copy of the same bytes.
TEST_F(FileReplaceTest, ReadInPiecesAndKnownByItsKey) {
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\a.jpg", "0123456789"));
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\Kopie.jpg", "0123456789"));
    ASSERT_TRUE(testsupport::MakeHardLink(u"D:\\Work\\Zweiter Name.jpg", u"D:\\Work\\a.jpg"));
    platform::FileKey a, link, copy;
    ASSERT_TRUE(platform::KeyOfFile(u"D:\\Work\\a.jpg", &a));
    ASSERT_TRUE(platform::KeyOfFile(u"D:\\Work\\Zweiter Name.jpg", &link));
    ASSERT_TRUE(platform::KeyOfFile(u"D:\\Work\\Kopie.jpg", &copy));
    EXPECT_TRUE(a == link);
    EXPECT_FALSE(a == copy);
    EXPECT_FALSE(platform::KeyOfFile(u"D:\\Work\\fehlt.jpg", &copy));
    // From an open file: the number alone, the same for both names, another for the copy.
    const auto openKey = [](std::u16string_view path) {
        platform::OwnedFile open(platform::OpenFileForReading(path));
        platform::FileKey key;
        return open && platform::KeyOfOpenFile(open.Get(), &key) ? key : platform::FileKey{9, 9, 9};
    };
    EXPECT_TRUE(openKey(u"D:\\Work\\a.jpg") == openKey(u"D:\\Work\\Zweiter Name.jpg"));
    EXPECT_FALSE(openKey(u"D:\\Work\\a.jpg") == openKey(u"D:\\Work\\Kopie.jpg"));
    EXPECT_EQ(a.index, openKey(u"D:\\Work\\a.jpg").index);
    platform::OwnedFile file(platform::OpenFileForReading(u"D:\\Work\\a.jpg"));
    ASSERT_TRUE(file);
    char buffer[8] = {};
    const struct Row {
        int64_t offset, size, got;
        std::string bytes;
    } rows[] = {{0, 4, 4, "0123"}, {7, 8, 3, "789"}, {10, 4, 0, ""}, {3, 2, 2, "34"}};
    for (const Row& row : rows) {
        EXPECT_EQ(row.got, platform::ReadFromFile(file.Get(), row.offset, buffer, row.size))
            << row.offset;
        EXPECT_EQ(row.bytes,
                  std::string(buffer, static_cast<size_t>(std::max<int64_t>(row.got, 0))))
            << row.offset;
    }
    EXPECT_FALSE(platform::OpenFileForReading(u"D:\\Work\\fehlt.jpg") !=
                 platform::FileHandle::kNone);
}

TEST_F(FileReplaceTest, WritesNewAndReplacesOldFiles) {
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(kTarget, "first").outcome);
    EXPECT_EQ("first", Bytes(kTarget));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(kTarget, "second, longer").outcome);
    EXPECT_EQ("second, longer", Bytes(kTarget));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(kTarget, "").outcome);
    EXPECT_EQ(0, platform::FileSize(kTarget));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(kTarget)));
}

TEST_F(FileReplaceTest, FileHeldOpenByAnotherProgramStaysAsItWas) {
    for (const char16_t* target : {kTarget, u"D:\\Work\\Spurlese.ini"}) {
        ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
        testsupport::HoldFileOpen(target, true);
        EXPECT_EQ(WriteOutcome::kNothingWritten, WriteFileReplacing(target, "new").outcome);
        testsupport::HoldFileOpen(target, false);
        EXPECT_EQ("old", Bytes(target));
        EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    }
}

// Just after a write, virus scanners and indexers often hold the file for a moment: a target so
// held is saved once it is let go, the settings file too, and no temporary file is left.
TEST_F(FileReplaceTest, TargetHeldForAMomentIsSavedOnceLetGo) {
    for (const char16_t* target : {kTarget, u"D:\\Work\\Spurlese.ini"}) {
        ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
        testsupport::HoldFileOpenFor(target, 200);
        EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(target, "new").outcome)
            << testsupport::Show(target);
        EXPECT_EQ("new", Bytes(target));
        EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    }
}

// Every step of a save made to fail, once or for good. Whatever fails, the target's name holds the
// old file or the new one, the temporary file goes only when it does, and what the user gave the
// old file the new one keeps. Only when Windows leaves the replace halfway and neither file can be
// moved back is the target empty: then both files are kept beside it.
TEST_F(FileReplaceTest, EveryFailingStepLeavesTheOldOrTheNewFile) {
    using Op = platform::FileOperation;
    using enum WriteOutcome;
    const struct Row {
        const char* name;
        std::vector<std::pair<Op, int>> faults;  // operation, how many calls fail (-1: all)
        WriteOutcome result;
        const char* target;  // its bytes afterwards
        const char* temporary;
        const char* backup;
    } rows[] = {
        {"create", {{Op::kCreate, 1}}, kNothingWritten, "old", "<none>", "<none>"},
        {"write", {{Op::kWrite, 1}}, kWriteFailed, "old", "<none>", "<none>"},
        {"flush", {{Op::kFlush, 1}}, kWriteFailed, "old", "<none>", "<none>"},
        {"close", {{Op::kClose, 1}}, kWriteFailed, "old", "<none>", "<none>"},
        {"replace once", {{Op::kReplace, 1}}, kWritten, "new", "<none>", "<none>"},
        {"replace always", {{Op::kReplace, -1}}, kNothingWritten, "old", "<none>", "<none>"},
        {"halfway, then moved in", {{Op::kReplaceHalfway, 1}}, kWritten, "new", "<none>", "<none>"},
        {"halfway, moved back, replaced",
         {{Op::kReplaceHalfway, 1}, {Op::kRename, 1}},
         kWritten,
         "new",
         "<none>",
         "<none>"},
        {"halfway always, moved back",
         {{Op::kReplaceHalfway, -1}, {Op::kRename, 1}},
         kWritten,
         "new",
         "<none>",
         "<none>"},
        {"halfway, nothing moves",
         {{Op::kReplaceHalfway, -1}, {Op::kRename, -1}},
         kHalfReplaced,
         "<none>",
         "new",
         "old"},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(testsupport::MakeTestFile(kTarget, "old", true));
        for (const auto& [operation, count] : row.faults)
            platform::FailFileOperation(operation, count);
        const WriteResult written = WriteFileReplacing(kTarget, "new");
        platform::ClearFileFaults();
        EXPECT_EQ(row.result, written.outcome) << row.name;
        // The reason of the step that failed, even after the clean-up calls that followed it.
        EXPECT_EQ(row.result != kWritten, !written.reason.empty()) << row.name;
        EXPECT_EQ(row.target, Bytes(kTarget)) << row.name;
        EXPECT_EQ(row.temporary, Bytes(TemporaryNameFor(kTarget))) << row.name;
        EXPECT_EQ(row.backup, Bytes(BackupNameFor(kTarget))) << row.name;
        if (row.result != kHalfReplaced) {
            EXPECT_EQ(platform::kHidden, platform::KeptAttributes(kTarget)) << row.name;
        }
        platform::DeleteFilePath(TemporaryNameFor(kTarget));
        platform::DeleteFilePath(BackupNameFor(kTarget));
    }
}

// A save clears away what saves of ended processes left in its folder, and nothing else.
TEST_F(FileReplaceTest, LeftoversOfEndedProcessesGoAtTheNextSave) {
    const std::u16string running = Decimal(testsupport::OtherRunningProcessId());
    const std::u16string kept[] = {u"~spurlese" + running + u".tmp",
                                   u"~spurlese" + running + u"-1.tmp",
                                   u"~spurlese12a.tmp",
                                   u"~spurlese999-.tmp",
                                   u"~spurlese999-1a.tmp",
                                   u"~spurlese999.txt",
                                   u"spurlese999.tmp",
                                   u"~spurlese.tmp",
                                   u"Urlaub~spurlese999.tmp",
                                   u"~Spurlese12345.BAK"};  // may be the one copy of an old file
    const std::u16string gone[] = {u"~spurlese999.tmp", u"~spurlese999-1.tmp"};
    for (const auto& name : kept) ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\" + name, "x"));
    for (const auto& name : gone) ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\" + name, "x"));
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work\\~spurlese997.tmp"));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(kTarget, "new").outcome);
    for (const auto& name : kept)
        EXPECT_EQ("x", Bytes(u"D:\\Work\\" + name)) << testsupport::Show(name);
    for (const auto& name : gone)
        EXPECT_EQ(-1, platform::FileSize(u"D:\\Work\\" + name)) << testsupport::Show(name);
    EXPECT_EQ(-2, platform::FileSize(u"D:\\Work\\~spurlese997.tmp"));
}

// A replace left halfway kept the old file and the new bytes under this process's names, and the
// message named them: the next save moves them to names of their own instead of overwriting
// them.
TEST_F(FileReplaceTest, WhatAHalfReplaceKeptIsNeverOverwritten) {
    ASSERT_TRUE(testsupport::MakeTestFile(BackupNameFor(kTarget), "old"));
    ASSERT_TRUE(testsupport::MakeTestFile(TemporaryNameFor(kTarget), "new"));
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\hits (alt).txt", "older"));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(kTarget, "newest").outcome);
    EXPECT_EQ("newest", Bytes(kTarget));
    EXPECT_EQ("older", Bytes(u"D:\\Work\\hits (alt).txt"));
    EXPECT_EQ("old", Bytes(u"D:\\Work\\hits (alt 2).txt"));
    EXPECT_EQ("new", Bytes(u"D:\\Work\\hits (neu).txt"));
    EXPECT_EQ("<none>", Bytes(BackupNameFor(kTarget)));
}

TEST_F(FileReplaceTest, UnwritablePlacesWriteNothing) {
    EXPECT_EQ(WriteOutcome::kNothingWritten,
              WriteFileReplacing(u"D:\\Missing\\hits.txt", "x").outcome);
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(WriteOutcome::kNothingWritten,
              WriteFileReplacing(u"D:\\Work\\folder.txt", "x").outcome);
    EXPECT_EQ(-2, platform::FileSize(u"D:\\Work\\folder.txt"));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(u"D:\\Work\\folder.txt")));
}

// Archives hold deep folders with long names: a file whose full path is far over 260 characters
// is listed, measured, read, replaced and deleted like any other.
TEST_F(FileReplaceTest, FilesDeepInLongFolders) {
    std::u16string folder = u"D:\\Work";
    for (int depth = 0; depth < 3; ++depth) {
        folder +=
            u"\\Urlaub 2019 \u2013 Italien, Toskana und Umbrien mit Oma und Opa, "
            u"Teil " +
            std::u16string(1, static_cast<char16_t>(u'1' + depth)) +
            u" von drei, alle Bilder und Videos";
    }
    const std::u16string target = folder + u"\\IMG_0815.jpg";
    ASSERT_GT(target.size(), 300u);
    ASSERT_TRUE(testsupport::MakeTestFile(target, "old"));
    EXPECT_EQ(3, platform::FileSize(target));
    EXPECT_EQ(-2, platform::FileSize(folder));
    platform::Listing listing(folder, u"*.jpg");
    const auto first = listing.begin();
    ASSERT_NE(first, listing.end());
    EXPECT_U16_EQ(u"IMG_0815.jpg", first->name);
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(target, "new").outcome);
    EXPECT_EQ("new", Bytes(target));
    EXPECT_EQ(-1, platform::FileSize(TemporaryNameFor(target)));
    EXPECT_TRUE(platform::DeleteFilePath(target));
    EXPECT_EQ(-1, platform::FileSize(target));
}

}  // namespace

}  // namespace spurlese

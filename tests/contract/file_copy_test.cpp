// Copying the used files, on the platform's own file system: folders below the base path, the
// name as the folder writes it, the last change kept, long paths on both sides; a second copy
// finds everything there, a changed file is a conflict and stays; no failing step leaves a
// partial file under any name.
#include <string>
#include <vector>

#include "copy/file_copy.h"
#include "platform/file_faults.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

using copying::CopyStatus;

constexpr char16_t kBase[] = u"D:\\Archiv";
constexpr char16_t kStick[] = u"D:\\Stick\\";
constexpr int64_t kTaken = 132000000000000000;  // 2019-04-12, in 100 ns since 1601

// Bytes that look like a compressed picture.
std::string Noise(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    return bytes;
}

// Files of ours left in the folder: temporary copies.
int Leftovers(std::u16string_view folder) {
    int count = 0;
    for (const platform::ListingEntry& entry : platform::Listing(folder, u"~spurlese*")) {
        (void)entry;
        ++count;
    }
    return count;
}

class FileCopyTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::ResetForTest(); }
    void TearDown() override { platform::ClearFileFaults(); }
};

TEST_F(FileCopyTest, CopiesKeepFoldersNamesAndTimesAndASecondCopyFindsThem) {
    std::u16string deep = std::u16string(kBase) + u"\\Urlaub 2019 \u2013 Italien";
    for (int k = 0; k < 8; ++k) deep += u"\\Tag " + Decimal(k) + u" am Lago Maggiore mit Oma";
    const std::u16string picture =
        std::u16string(kBase) + u"\\\u201eSommer\u201c 2020\\IMG_0815.JPG";
    const std::u16string video = deep + u"\\Clip \U0001F389.mov";
    ASSERT_GT(video.size(), 280u);  // and its copy's path as long
    ASSERT_TRUE(testsupport::MakeTestFile(picture, Noise(70000, 1)));
    ASSERT_TRUE(testsupport::MakeTestFolder(deep) || platform::FileSize(deep) == -2);
    ASSERT_TRUE(platform::WriteFileBytes(video, Noise(3 << 20, 2)));
    ASSERT_TRUE(testsupport::SetLastWriteTime(picture, kTaken));
    ASSERT_TRUE(testsupport::MakeTestFolder(kStick));

    // As the filter gives hits: the name lower-cased; one file twice; one gone; one that leaves.
    const std::u16string lowered =
        std::u16string(kBase) + u"\\\u201eSommer\u201c 2020\\img_0815.jpg";
    const std::vector<std::u16string> hits = {
        lowered, video, std::u16string(kBase) + u"\\\u201esommer\u201c 2020\\IMG_0815.jpg",
        std::u16string(kBase) + u"\\Weg\\img_1.jpg",
        std::u16string(kBase) + u"\\..\\Privat\\a.jpg"};
    const copying::CopyPlan plan = copying::PlanCopy(hits, kBase, u"D:\\Stick");
    ASSERT_EQ(2u, plan.files.size());
    EXPECT_EQ(1u, plan.gone.size());
    EXPECT_EQ(1u, plan.outside.size());
    EXPECT_EQ(70000 + (3 << 20), plan.totalBytes);
    EXPECT_U16_EQ(u"\u201eSommer\u201c 2020\\IMG_0815.JPG", plan.files[0].relative);

    const copying::CopySummary first = copying::RunCopy(plan, {});
    EXPECT_EQ(2, first.copied);
    EXPECT_EQ(plan.totalBytes, first.bytes);
    const std::u16string copiedPicture = kStick + plan.files[0].relative;
    const std::u16string copiedVideo = kStick + plan.files[1].relative;
    EXPECT_EQ(testsupport::FileBytes(picture), testsupport::FileBytes(copiedPicture));
    std::string bytes;
    ASSERT_TRUE(platform::ReadFileBytes(copiedVideo, &bytes));
    EXPECT_TRUE(bytes == Noise(3 << 20, 2));
    int64_t size = 0, lastWrite = 0;
    ASSERT_TRUE(platform::FileFacts(copiedPicture, &size, &lastWrite));
    EXPECT_EQ(kTaken, lastWrite);
    EXPECT_EQ(0, Leftovers(u"D:\\Stick\\\u201eSommer\u201c 2020"));

    const copying::CopySummary second = copying::RunCopy(plan, {});
    EXPECT_EQ(0, second.copied);
    EXPECT_EQ(2, second.alreadyThere);
    EXPECT_EQ(2u, second.inTarget.size());

    // Another file under the name: never overwritten.
    ASSERT_TRUE(platform::WriteFileBytes(copiedPicture, "another picture"));
    const copying::CopySummary third = copying::RunCopy(plan, {});
    EXPECT_EQ(1, third.conflicts);
    EXPECT_EQ("another picture", testsupport::FileBytes(copiedPicture));
}

// Whatever step fails, the target has nothing under the file's name and no temporary file: the
// copy as the program runs it.
TEST_F(FileCopyTest, EveryFailingStepLeavesNoPartialFile) {
    using Op = platform::FileOperation;
    const struct Row {
        Op fault;
        CopyStatus status;
    } rows[] = {
        {Op::kCreate, CopyStatus::kFailed},
        {Op::kWrite, CopyStatus::kFailed},
        // Answered as a full disk while the target has room (FAT32's limit for one file answers
        // so): the file fails alone, the copy goes on.
        {Op::kDiskFull, CopyStatus::kFailed},
        {Op::kFlush, CopyStatus::kFailed},
        {Op::kRename, CopyStatus::kFailed},
    };
    // A video big enough to be flushed on the way, not only at its end.
    const std::u16string source = std::u16string(kBase) + u"\\Ostern\\IMG_1.MOV";
    ASSERT_TRUE(testsupport::MakeTestFile(source, Noise(40 << 20, 3)));
    ASSERT_TRUE(testsupport::MakeTestFolder(kStick));
    const copying::CopyPlan plan = copying::PlanCopy({source}, kBase, kStick);
    ASSERT_EQ(1u, plan.files.size());
    copying::FileOutcome outcome;
    copying::CopyObserver observer;
    observer.fileDone = [&outcome](const copying::CopySource&, const copying::FileOutcome& told) {
        outcome = told;
        return true;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.fault));
        platform::FailFileOperation(row.fault);
        outcome = {};
        copying::RunCopy(plan, observer);
        platform::ClearFileFaults();
        EXPECT_EQ(row.status, outcome.status);
        EXPECT_FALSE(outcome.reason.empty());
        EXPECT_EQ(-1, platform::FileSize(u"D:\\Stick\\Ostern\\IMG_1.MOV"));
        EXPECT_EQ(0, Leftovers(u"D:\\Stick\\Ostern"));
    }
    // And then it goes.
    EXPECT_EQ(1, copying::RunCopy(plan, observer).copied);
}

TEST_F(FileCopyTest, TargetInTheArchiveIsToldApart) {
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Archiv\\Urlaub"));
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Archiv 2"));
    const struct Row {
        const char16_t* folder;
        bool inside;
    } rows[] = {
        {u"D:\\Archiv\\", true},
        {u"d:\\ARCHIV\\urlaub\\", true},
        {u"D:\\Archiv\\Neu\\", true},
        {u"D:\\Archiv 2\\", false},
        {u"D:\\", false},
        {u"E:\\Stick\\", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.inside, copying::InsideArchive(row.folder, kBase))
            << testsupport::Show(row.folder);
}

}  // namespace

}  // namespace spurlese

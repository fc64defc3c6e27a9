// The copy on the drives a family copies to, as the in-memory drive sets them up at will: a FAT32
// stick and its limit for one file, an exFAT disk an hour off after a change of summer time, a
// source rewritten while it is copied, a stop in the middle of a large file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/file_copy.h"
#include "platform/headless/headless.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

using copying::CopyStatus;

constexpr char16_t kSource[] = u"D:\\Archiv\\Urlaub\\Film.mp4";
constexpr char16_t kCopied[] = u"E:\\Stick\\Urlaub\\Film.mp4";
constexpr int64_t kTaken = 132000000000000000;  // 2019-04-12, in 100 ns since 1601
constexpr int64_t kHour = int64_t{3600} * 10000000;

TEST(CopyDrivesTest, EachFileAsTheTargetAndTheSourceAllow) {
    const struct Row {
        const char* name;
        const char16_t* fileSystem;
        int64_t plannedSize;     // as the listing told it, before the copy
        int64_t alreadyThere;    // the last change of a copy of the same size in the target, or 0
        bool rewrittenOnTheWay;  // the source gets new bytes of the same size while it is copied
        bool stoppedOnTheWay;    // the user stops the copy while the file is copied
        CopyStatus status;
        const char16_t* reason;  // a part of it
    } rows[] = {
        {"copied", u"NTFS", 100, 0, false, false, CopyStatus::kCopied, u""},
        {"4 GiB onto FAT32", u"FAT32", int64_t{5} << 30, 0, false, false, CopyStatus::kFailed,
         u"zu gro\u00DF f\u00FCr das Dateisystem FAT32"},
        {"4 GiB onto exFAT: only the disk's room counts", u"exFAT", int64_t{5} << 30, 0, false,
         false, CopyStatus::kFailed, u"ge\u00E4ndert"},  // copied, then told from the planned size
        {"an hour off on exFAT", u"exFAT", 100, kTaken + kHour, false, false,
         CopyStatus::kAlreadyThere, u""},
        {"an hour off on FAT32, the other way", u"FAT32", 100, kTaken - kHour + 10000000, false,
         false, CopyStatus::kAlreadyThere, u""},
        {"an hour off on NTFS", u"NTFS", 100, kTaken + kHour, false, false, CopyStatus::kConflict,
         u""},
        {"rewritten on the way", u"NTFS", 100, 0, true, false, CopyStatus::kFailed,
         u"w\u00E4hrend des Kopierens ge\u00E4ndert"},
        {"stopped on the way", u"NTFS", 100, 0, false, true, CopyStatus::kStopped, u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::ResetForTest();
        ASSERT_TRUE(headless::MakeFile(kSource, std::string(100, 'm')));
        headless::SetLastWrite(kSource, kTaken);
        ASSERT_TRUE(headless::MakeFolder(u"E:\\Stick"));
        headless::SetFileSystem(u"E:", row.fileSystem);
        headless::SetCopyChunk(10);
        if (row.alreadyThere != 0) {
            ASSERT_TRUE(headless::MakeFile(kCopied, std::string(100, 'm')));
            headless::SetLastWrite(kCopied, row.alreadyThere);
        }
        copying::CopyPlan plan = copying::PlanCopy({kSource}, u"D:\\Archiv", u"E:\\Stick");
        ASSERT_EQ(1u, plan.files.size());
        plan.files[0].size = row.plannedSize;
        copying::FileOutcome told;
        copying::CopyObserver observer;
        int steps = 0;
        observer.progress = [&](int64_t, int64_t) {
            if (++steps == 3 && row.rewrittenOnTheWay) {
                headless::MakeFile(kSource, std::string(100, 'n'));
                headless::SetLastWrite(kSource, kTaken + 10000000);
            }
        };
        observer.busy = [&] { return !(row.stoppedOnTheWay && steps >= 3); };
        observer.fileDone = [&](const copying::CopySource&, const copying::FileOutcome& outcome) {
            told = outcome;
            return true;
        };
        const copying::CopySummary summary = copying::RunCopy(plan, observer);
        EXPECT_EQ(row.status, told.status);
        EXPECT_NE(std::u16string::npos, told.reason.find(row.reason))
            << testsupport::Show(told.reason);
        EXPECT_EQ(row.status == CopyStatus::kStopped, summary.stopped);
        // Nothing partial, under any name.
        const bool whole = row.status == CopyStatus::kCopied || row.alreadyThere != 0;
        EXPECT_EQ(whole ? 100 : -1, platform::FileSize(kCopied));
        int leftovers = 0;
        for (const auto& entry : platform::Listing(u"E:\\Stick\\Urlaub", u"~spurlese*")) {
            (void)entry;
            ++leftovers;
        }
        EXPECT_EQ(0, leftovers);
    }
}

}  // namespace

}  // namespace spurlese

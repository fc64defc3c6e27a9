// One file, however a project spells it: through the scan to the unused list, the
// cross-reference and the copy's plan, each spelling Windows resolves names the same file once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/copy_used_files.h"
#include "app/cross_reference.h"
#include "app/unused_files.h"
#include "copy/file_copy.h"
#include "platform/headless/headless.h"
#include "platform/text_helpers.h"
#include "scan/archive_walk.h"
#include "tests/support/scan_fixture.h"

namespace spurlese {

namespace {

constexpr char16_t kUsed[] = u"D:\\Archiv\\Schreibweisen Test Ordner\\Bild Eins.jpeg";
constexpr char16_t kOther[] = u"D:\\Archiv\\Schreibweisen Test Ordner\\anderes.jpg";

class SpellingsTest : public ScanTest {
protected:
    void SetUp() override {
        ScanTest::SetUp();
        ASSERT_TRUE(testsupport::InstallExtractor(u"D:\\Work\\", testsupport::ExtractorKind::Cat));
        ASSERT_TRUE(headless::MakeFile(kUsed, "12345"));
        ASSERT_TRUE(headless::MakeFile(kOther, "1"));
        // Windows gives long names an 8.3 alias; this is how Wine writes them.
        ASSERT_TRUE(headless::SetShortName(u"D:\\Archiv\\Schreibweisen Test Ordner", u"SCHR~I1E"));
        // A short name cuts ".jpeg" to three letters.
        ASSERT_TRUE(headless::SetShortName(kUsed, u"BILDEI~1.JPE"));
        ASSERT_TRUE(headless::MakeFolderLink(u"D:\\Archiv\\Verkn\u00FCpft Link",
                                             u"D:\\Archiv\\Schreibweisen Test Ordner"));
        ASSERT_TRUE(headless::MakeFile(u"D:\\Anderswo\\Bild Eins.jpeg", "12345"));
        ASSERT_TRUE(headless::MakeFolderLink(u"D:\\Archiv\\Hinaus", u"D:\\Anderswo"));
        UseProjectDirectory(u"D:\\P\\");
    }
};

TEST_F(SpellingsTest, EverySpellingNamesTheFileOnce) {
    const struct Row {
        const char* name;
        std::u16string basePath;
        std::vector<std::string> projects;  // each project's one line
        bool resolved = true;               // false: the path leads out of the archive
    } rows[] = {
        {"as the archive writes it",
         u"D:\\Archiv",
         {"D:\\Archiv\\Schreibweisen Test Ordner\\Bild Eins.jpeg"}},
        {"letter case", u"D:\\Archiv", {"d:\\ARCHIV\\schreibweisen test ORDNER\\BILD EINS.JPEG"}},
        {"a dot part", u"D:\\Archiv", {"D:\\Archiv\\.\\Schreibweisen Test Ordner\\Bild Eins.jpeg"}},
        {"doubled backslashes",
         u"D:\\Archiv",
         {"D:\\Archiv\\\\Schreibweisen Test Ordner\\\\Bild Eins.jpeg"}},
        {"base path with a final backslash",
         u"D:\\Archiv\\",
         {"D:\\Archiv\\Schreibweisen Test Ordner\\Bild Eins.jpeg"}},
        {"short folder name", u"D:\\Archiv", {"D:\\Archiv\\SCHR~I1E\\Bild Eins.jpeg"}},
        {"short file name, .JPE",
         u"D:\\Archiv",
         {"D:\\Archiv\\Schreibweisen Test Ordner\\BILDEI~1.JPE"}},
        {"a short name in two projects, found by its size in each",
         u"D:\\Archiv",
         {"D:\\Archiv\\SCHR~I1E\\BILDEI~1.JPE", "D:\\Archiv\\SCHR~I1E\\BILDEI~1.JPE"}},
        {"two spellings in two projects",
         u"D:\\Archiv",
         {"D:\\Archiv\\Schreibweisen Test Ordner\\Bild Eins.jpeg",
          "D:/Archiv/SCHR~I1E/bild eins.JPEG"}},
        {"a .. part inside the archive",
         u"D:\\Archiv",
         {"D:\\Archiv\\x\\..\\Schreibweisen Test Ordner\\Bild Eins.jpeg"}},
        {"a linked folder inside the archive",
         u"D:\\Archiv",
         {"D:\\Archiv\\Verkn\xC3\xBCpft Link\\Bild Eins.jpeg"}},
        {"a .. part climbing out of the base path",
         u"D:\\Archiv",
         {"D:\\Archiv\\..\\Archiv\\Schreibweisen Test Ordner\\Bild Eins.jpeg"},
         false},
        {"a linked folder leading out of the archive",
         u"D:\\Archiv",
         {"D:\\Archiv\\Hinaus\\Bild Eins.jpeg"},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const platform::ListingEntry& entry : platform::Listing(u"D:\\P", u"*.mph"))
            platform::DeleteFilePath(u"D:\\P\\" + entry.name);
        std::u16string expectedRows;
        for (size_t k = 0; k < row.projects.size(); ++k) {
            const std::u16string project = u"D:\\P\\p" + Decimal(static_cast<int64_t>(k)) + u".mph";
            ASSERT_TRUE(testsupport::MakeTestFile(project, row.projects[k] + "\n"));
            expectedRows += u"\r\nD:\\P\\\\p" + Decimal(static_cast<int64_t>(k)) + u".mph;" +
                            std::u16string(kUsed) + u";vorhanden;5;1601-01-01T00:00:00+00:00;";
        }
        UseBasePath(row.basePath);
        std::optional<ScanRecord> record = Scan();
        ASSERT_TRUE(record);
        ASSERT_EQ(WalkOutcome::kWalked, WalkArchiveOnce(&*record, {}));
        const std::u16string unused = UnusedFilesText(*record);
        const std::u16string csv = CrossReferenceText(*record);
        const copying::CopyPlan plan = PlanUsedFiles(*record, u"E:\\Stick");
        if (!row.resolved) {
            EXPECT_TRUE(
                unused.starts_with(u"Mediendateien im Archiv: 2, verwendet: 0, "
                                   u"nicht verwendet: 2\r\n"))
                << testsupport::Show(unused);
            EXPECT_NE(std::u16string::npos, unused.find(u"nicht mitgez\u00E4hlt")) << "said apart";
            EXPECT_EQ(0u, plan.files.size());
            EXPECT_EQ(1u, plan.outside.size());
            continue;
        }
        EXPECT_U16_EQ(u"Mediendateien im Archiv: 2, verwendet: 1, nicht verwendet: 1\r\n" +
                          std::u16string(kOther),
                      unused);
        EXPECT_U16_EQ(expectedRows, csv.substr(csv.find(u"\r\n")));
        ASSERT_EQ(1u, plan.files.size());
        EXPECT_U16_EQ(u"Schreibweisen Test Ordner\\Bild Eins.jpeg", plan.files[0].relative);
        EXPECT_EQ(5, plan.totalBytes) << "planned once, counted once";
        EXPECT_TRUE(plan.outside.empty() && plan.gone.empty());
    }
}

}  // namespace

}  // namespace spurlese

// The lists made after a scan from its records: names as Explorer sorts and as every spelling of
// them compares, the files no project uses, and the cross-reference for Excel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cross_reference.h"
#include "app/unused_files.h"
#include "archive/archive_index.h"
#include "archive/logical_order.h"
#include "archive/name_key.h"
#include "platform/headless/headless.h"
#include "scan/file_identity.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

TEST(NameOrderTest, ExplorersOrderAndEverySpellingOfAName) {
    const struct Order {
        std::u16string before, after;
    } orders[] = {
        {u"img_2.jpg", u"img_10.jpg"},
        {u"img_9.jpg", u"img_09.jpg"},  // equal value: fewer leading zeros first
        {u"b.jpg", u"b1.jpg"},
        {u"a\\z.jpg", u"a b\\a.jpg"},  // folder by folder
        {u"2019\\x.jpg", u"2020\\a.jpg"},
        {u"d\\zeug\\x.jpg", u"d\\bild.jpg"},  // a folder's folders before its files
    };
    for (const Order& o : orders) {
        EXPECT_LT(archive::LogicalPathCompare(o.before, o.after), 0) << testsupport::Show(o.before);
        EXPECT_GT(archive::LogicalPathCompare(o.after, o.before), 0) << testsupport::Show(o.after);
    }
    const struct Same {
        std::u16string a, b;
    } same[] = {
        {u"\u00C4pfel.JPG", u"a\u0308pfel.jpg"},     // composed and decomposed, any letter case
        {u"\u1EC7.jpg", u"e\u0323\u0302.jpg"},       // two marks, in their canonical order
        {u"\u1EC7.jpg", u"e\u0302\u0323.jpg"},       // ... whatever order they were written in
        {u"\uD55C.jpg", u"\u1112\u1161\u11AB.jpg"},  // Hangul by rule
    };
    for (const Same& s : same) {
        EXPECT_U16_EQ(archive::NameKey(s.a), archive::NameKey(s.b));
    }
    EXPECT_NE(archive::NameKey(u"\u00E4.jpg"), archive::NameKey(u"a.jpg"));
}

class ListsTest : public WindowTest {
protected:
    static archive::ArchiveIndex Walk() { return archive::WalkArchive(u"D:\\Archiv", {}); }
    // The record a scan of these references leaves, its archive walked.
    static ScanRecord RecordOf(std::vector<HitSource> hits, std::vector<HitSource> missing = {}) {
        ScanRecord record;
        record.inputs.basePath = u"D:\\Archiv";
        FolderCache folders;
        for (const HitSource& hit : hits) {
            record.identities.emplace(
                hit.hit, ResolveIdentity(&folders, record.inputs.basePath, hit.hit, true));
        }
        for (const HitSource& gone : missing) {
            record.identities.emplace(
                gone.hit, ResolveIdentity(&folders, record.inputs.basePath, gone.hit, false));
            record.missing.push_back(gone.hit);
        }
        record.hits = std::move(hits);
        record.missingSources = std::move(missing);
        record.archive = Walk();
        return record;
    }
};

// As Explorer lists a folder: its folders first, then its files, by name and number.
TEST_F(ListsTest, UnusedFilesSortedWithLivePhotosMarked) {
    for (const char16_t* file :
         {u"D:\\Archiv\\IMG_10.jpg", u"D:\\Archiv\\img_2.JPG", u"D:\\Archiv\\Used.heic",
          u"D:\\Archiv\\Used.MOV", u"D:\\Archiv\\Film.mp4", u"D:\\Archiv\\Film.jpg",
          u"D:\\Archiv\\Ander 2\\x.jpg", u"D:\\Archiv\\Ander\\Used.mov", u"D:\\Archiv\\Bild.jpg",
          u"D:\\Archiv\\Bild.mp4", u"D:\\Archiv\\Zoo\\Tiere\\t.jpg"}) {
        ASSERT_TRUE(headless::MakeFile(file));
    }
    const std::vector<HitSource> hits = {{u"D:\\Archiv\\used.heic", u"P.mph"},
                                         {u"d:\\archiv\\\\film.jpg", u"P.mph"}};
    EXPECT_U16_EQ(
        u"Mediendateien im Archiv: 11, verwendet: 2, nicht verwendet: 9\r\n"
        u"D:\\Archiv\\Ander\\Used.mov\r\n"  // another folder: not marked
        u"D:\\Archiv\\Ander 2\\x.jpg\r\n"   // folders by their names, before the files
        u"D:\\Archiv\\Zoo\\Tiere\\t.jpg\r\n"
        u"D:\\Archiv\\Bild.jpg\r\n"
        u"D:\\Archiv\\Bild.mp4\r\n"  // beside an unused picture: not marked
        u"D:\\Archiv\\Film.mp4\tgeh\u00F6rt zum verwendeten Bild 'Film.jpg'\r\n"
        u"D:\\Archiv\\img_2.JPG\r\n"
        u"D:\\Archiv\\IMG_10.jpg\r\n"
        u"D:\\Archiv\\Used.MOV\tgeh\u00F6rt zum verwendeten Bild 'Used.heic'",
        UnusedFilesText(RecordOf(hits)));
}

TEST_F(ListsTest, CrossReferenceRowsForExcel) {
    ASSERT_TRUE(headless::MakeFile(u"D:\\Archiv\\Fest; \"gro\u00DF\", 2020\\a.jpg", "12345"));
    headless::SetLastWrite(u"D:\\Archiv\\Fest; \"gro\u00DF\", 2020\\a.jpg",
                           132103404000000000);  // 2019-08-15 11:00:00 UTC
    ASSERT_TRUE(headless::MakeFile(u"D:\\Archiv\\Neu\\weg.jpg", "1"));
    ASSERT_TRUE(headless::MakeFile(u"D:\\Archiv\\b.jpg", "xy"));
    const std::u16string fest = u"D:\\Archiv\\Fest; \"gro\u00DF\", 2020\\a.jpg";
    const std::vector<HitSource> hits = {{fest, u"D:\\P\\Zwei.mph"},
                                         {u"D:\\Archiv\\b.jpg", u"D:\\P\\Eins.mph"},
                                         {u"D:\\ARCHIV\\b.jpg", u"D:\\P\\Eins.mph"}};
    const std::vector<HitSource> missing = {{u"D:\\Archiv\\Alt\\weg.jpg", u"D:\\P\\Eins.mph"}};
    ScanRecord record = RecordOf(hits, missing);
    record.projectFiles = {u"D:\\P\\Eins.mph", u"D:\\P\\Zwei.mph"};
    const archive::ArchiveIndex& index = record.archive;
    uint32_t moved = 0;
    while (index.Name(index.files[moved]) != u"weg.jpg") ++moved;
    record.candidates = {{moved}};
    EXPECT_U16_EQ(
        u"Projektdatei;Mediendatei;Status;Gr\u00F6\u00DFe (Bytes);Letzte \u00C4nderung;"
        u"Vermutlich jetzt unter\r\n"
        u"D:\\P\\Eins.mph;D:\\Archiv\\Alt\\weg.jpg;fehlt;;;D:\\Archiv\\Neu\\weg.jpg\r\n"
        u"D:\\P\\Eins.mph;D:\\Archiv\\b.jpg;vorhanden;2;1601-01-01T00:00:00+00:00;\r\n"
        u"D:\\P\\Zwei.mph;\"D:\\Archiv\\Fest; \"\"gro\u00DF\"\", 2020\\a.jpg\";vorhanden;5;"
        u"2019-08-15T11:00:00+00:00;",
        CrossReferenceText(record));
}

}  // namespace

}  // namespace spurlese

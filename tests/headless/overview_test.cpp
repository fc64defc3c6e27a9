// The overview page: what a camera's JPEG tells without decoding it, addresses and texts for any
// name Windows allows, and the page with its thumbnails saved through the program's menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "overview/exif.h"
#include "overview/overview_page.h"
#include "overview/thumbnail_maker.h"
#include "platform/headless/headless.h"
#include "platform/owners.h"
#include "platform/text_helpers.h"
#include "program/program.h"
#include "tests/support/test_platform.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

std::string Little16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}
std::string Little32(unsigned value) {
    return Little16(value & 0xFFFF) + Little16(value >> 16);
}

// A camera's JPEG: EXIF with the orientation in IFD0 and `thumbnail` in IFD1, then some picture
// bytes that look random.
std::string CameraJpeg(unsigned orientation, const std::string& thumbnail) {
    std::string tiff = std::string("II*\0", 4) + Little32(8);
    tiff += Little16(1) + Little16(0x0112) + Little16(3) + Little32(1) + Little32(orientation);
    const unsigned ifd1 = static_cast<unsigned>(tiff.size()) + 4;
    tiff += Little32(ifd1);
    const unsigned data = ifd1 + 2 + 2 * 12 + 4;
    tiff += Little16(2) + Little16(0x0201) + Little16(4) + Little32(1) + Little32(data);
    tiff += Little16(0x0202) + Little16(4) + Little32(1) +
            Little32(static_cast<unsigned>(thumbnail.size()));
    tiff += Little32(0) + thumbnail;
    const std::string app1 = std::string("Exif\0\0", 6) + tiff;
    const size_t length = app1.size() + 2;
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg += app1 + "\xFF\xDA";
    for (unsigned seed = 7, k = 0; k < 3000; ++k)
        jpeg += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    return jpeg;
}

// A thumbnail as cameras embed it: its frame header says 160 x 120.
const std::string kThumb = std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x78\x00\xA0\x03", 12) +
                           std::string(9, '\x01') + " a camera's own thumbnail \xFF\xD9";

TEST(OverviewTest, WhatACamerasJpegTells) {
    const std::string upright = CameraJpeg(1, kThumb), turned = CameraJpeg(6, kThumb);
    const struct Row {
        const char* name;
        std::string bytes;
        bool jpeg;
        int orientation;
        std::string thumbnail;
    } rows[] = {
        {"upright with a thumbnail", upright, true, 1, kThumb},
        {"turned a quarter", turned, true, 6, kThumb},
        {"cut off in its thumbnail", upright.substr(0, upright.find(kThumb) + 5), true, 1, ""},
        {"an orientation out of range", CameraJpeg(9, kThumb), true, 1, kThumb},
        {"no EXIF", "\xFF\xD8\xFF\xDA" + std::string(100, 'x'), true, 1, ""},
        {"a segment longer than the file",
         "\xFF\xD8\xFF\xE1\xFF\xF0"
         "Exif",
         true, 1, ""},
        {"no JPEG", "\x89PNG\r\n", false, 1, ""},
    };
    for (const Row& row : rows) {
        const overview::JpegFacts facts = overview::ReadJpegFacts(row.bytes);
        EXPECT_EQ(row.jpeg, facts.jpeg) << row.name;
        EXPECT_EQ(row.orientation, facts.orientation) << row.name;
        const std::string thumbnail = row.bytes.substr(
            std::min(facts.thumbnailOffset, row.bytes.size()), facts.thumbnailLength);
        EXPECT_EQ(row.thumbnail, thumbnail) << row.name;
        int width = 0, height = 0;
        EXPECT_EQ(!row.thumbnail.empty(), overview::JpegDimensions(thumbnail, &width, &height))
            << row.name;
        EXPECT_EQ(row.thumbnail.empty() ? 0 : 160 * 120, width * height) << row.name;
    }
}

TEST(OverviewTest, AddressesAndTextsForEveryName) {
    const struct Row {
        std::u16string path, url;
    } urls[] = {
        {u"D:\\Fotos\\a.jpg", u"file:///D:/Fotos/a.jpg"},
        {u"D:\\Urlaub 2019 \u2013 Italien\\#1 100% ok?.jpg",
         u"file:///D:/Urlaub%202019%20%E2%80%93%20Italien/%231%20100%25%20ok%3F.jpg"},
        {u"D:\\\u201ESommerfest\u201C\\Tom's & Jerry;x=1.jpg",
         u"file:///D:/%E2%80%9ESommerfest%E2%80%9C/Tom%27s%20%26%20Jerry%3Bx%3D1.jpg"},
        {u"D:\\Party \U0001F389\\\u0391.heic", u"file:///D:/Party%20%F0%9F%8E%89/%CE%91.heic"},
        {u"\\\\nas\\fotos\\a b.jpg", u"file://nas/fotos/a%20b.jpg"},
    };
    for (const Row& row : urls) EXPECT_U16_EQ(row.url, overview::FileUrl(row.path));
    EXPECT_U16_EQ(u"%C3%9Cbersicht_Dateien/0a%20b.jpg",
                  overview::RelativeUrl(u"\u00DCbersicht_Dateien", u"0a b.jpg"));
    EXPECT_U16_EQ(u"&lt;b&gt;Tom&#39;s &amp; &quot;Jerry&quot;&lt;/b&gt;",
                  overview::EscapeHtml(u"<b>Tom's & \"Jerry\"</b>"));
}

constexpr char16_t kProjects[] = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
constexpr char16_t kArchive[] = u"D:\\Familienbilder Stand Juni 2022\\";

class OverviewPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
        const std::u16string trip = std::u16string(kArchive) + u"Urlaub \u201E2023\u201C <Meer>\\";
        headless::MakeFile(trip + u"Upright.JPG", CameraJpeg(1, kThumb));
        headless::MakeFile(trip + u"Turned.JPG", CameraJpeg(6, kThumb));
        headless::MakeFile(trip + u"Plain.jpg", "\xFF\xD8 no EXIF");
        headless::MakeFile(trip + u"Phone.heic", "ftypheic");
        headless::MakeFile(trip + u"Clip.mp4", "video");
        headless::MakeFile(std::u16string(kArchive) + u"Neu\\Weg.jpg", "\xFF\xD8 moved");
        const std::string base = "D:\\Familienbilder Stand Juni 2022\\";
        const std::string tripUtf8 = platform::Utf16ToUtf8(trip);
        headless::MakeFile(std::u16string(kProjects) + u"A.mph",
                           tripUtf8 + "Upright.JPG\n" + tripUtf8 + "Turned.JPG\n" + tripUtf8 +
                               "Phone.heic\n" + base + "Alt\\Weg.jpg\n");
        headless::MakeFile(
            std::u16string(kProjects) + u"B.mph",
            tripUtf8 + "upright.jpg\n" + tripUtf8 + "Plain.jpg\n" + tripUtf8 + "Clip.mp4\n");
        headless::MakeFolder(u"E:\\Seite");
    }
    void TearDown() override { EXPECT_EQ(0u, headless::OpenHandles()); }
};

// Saved twice into the same place: the page's tiles as the scan's record has them, a thumbnail
// for each file once, nothing left of the first save's folder or of the work on the way.
TEST_F(OverviewPageTest, ThePageAndItsThumbnailsFromTheMenu) {
    headless::QueueClick(ctl::ApplyFilterButton);
    headless::QueueMessageAnswer(platform::kOkPressed);   // "Success"
    headless::QueueMessageAnswer(platform::kYesPressed);  // replace the first page
    for (int k = 0; k < 2; ++k) {
        headless::QueueSaveAnswer(u"E:\\Seite\\Shows.html");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveOverview);
    }
    RunProgram();
    const std::string page = testsupport::FileBytes(u"E:\\Seite\\Shows.html");
    const std::u16string html = platform::Utf8ToUtf16(page);
    std::vector<std::u16string> folder;
    for (const platform::ListingEntry& entry : platform::Listing(u"E:\\Seite", u"*")) {
        if (entry.name != u"." && entry.name != u"..") folder.push_back(entry.name);
    }
    EXPECT_EQ((std::vector<std::u16string>{u"Shows_Dateien", u"Shows.html"}), folder);
    size_t successes = 0;
    for (const headless::DialogCall& call : headless::DialogCalls())
        successes += call.title == u"Success";
    EXPECT_EQ(2u, successes) << "the second save replaced the first";
    const std::u16string thumbs = u"E:\\Seite\\Shows_Dateien\\";
    const std::u16string trip = std::u16string(kArchive) + u"Urlaub \u201E2023\u201C <Meer>\\";
    const struct Row {
        const char* name;
        std::u16string file;
        std::string thumbnail;  // its bytes, "" for none
        std::u16string inPage;  // a piece of its tile
    } rows[] = {
        {"embedded, upright: as it is", trip + u"Upright.JPG", kThumb, u"in 2 Shows"},
        {"embedded, turned", trip + u"Turned.JPG",
         "\xFF\xD8 thumbnail of " + platform::Utf16ToUtf8(trip) + "Turned.JPG, turned 6",
         u">Turned.JPG<"},
        {"decoded", trip + u"Plain.jpg",
         "\xFF\xD8 thumbnail of " + platform::Utf16ToUtf8(trip) + "Plain.jpg, turned 1",
         u">Plain.jpg<"},
        {"not decodable: the box without preview", trip + u"Phone.heic", "",
         u"<a class=\"tile n\" href=\"" + overview::FileUrl(trip + u"Phone.heic") + u"\"><b>"},
        {"a video without a frame", trip + u"Clip.mp4", "",
         u"<a class=\"tile f\" href=\"" + overview::FileUrl(trip + u"Clip.mp4") + u"\"><b>"},
        {"a missing file's new place", std::u16string(kArchive) + u"Neu\\Weg.jpg",
         "\xFF\xD8 thumbnail of D:\\Familienbilder Stand Juni 2022\\Neu\\Weg.jpg, turned 1",
         u"<span class=\"flag\">fehlt</span><b>weg.jpg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::u16string name = overview::ThumbnailName(row.file);
        EXPECT_EQ(row.thumbnail.empty() ? "<none>" : row.thumbnail,
                  testsupport::FileBytes(thumbs + name));
        EXPECT_NE(std::u16string::npos, html.find(row.inPage)) << page;
        EXPECT_NE(std::u16string::npos, html.find(overview::FileUrl(row.file)))
            << "a click opens it";
        if (!row.thumbnail.empty()) {
            EXPECT_NE(std::u16string::npos, html.find(u"src=\"Shows_Dateien/" + name + u"\""));
        }
    }
    EXPECT_NE(std::u16string::npos, html.find(u"Urlaub \u201E2023\u201C &lt;Meer&gt;"))
        << "escaped";
    EXPECT_EQ(std::u16string::npos, html.find(u"<Meer>")) << "never unescaped";
    EXPECT_NE(std::u16string::npos,
              html.find(u"2 Projekte, 5 verwendete Dateien, 1 fehlende Datei"));
    EXPECT_LT(html.find(u"<h2>A.mph</h2>"), html.find(u"<h2>B.mph</h2>"));
    EXPECT_EQ(std::u16string::npos, html.find(u"<script"));
    EXPECT_NE(std::u16string::npos, html.find(u"<html lang=\"de\"><head><meta charset=\"utf-8\">"));
}

// A family's hundred shows: each listed in Explorer's order and linked to its section and back,
// folded (a few shows open unfolded), its counts said; the pictures load as they come into view,
// in boxes of their size; a file shared by shows names the others.
TEST_F(OverviewPageTest, EveryShowListedAndManyFolded) {
    const struct Row {
        int shows;
        bool folded;
    } rows[] = {{3, false}, {11, true}, {100, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shows);
        TearDown();
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
        const std::u16string shared = std::u16string(kArchive) + u"Alle \u2013 Fest\\Gruppe.jpg";
        headless::MakeFile(shared, "\xFF\xD8 alle");
        for (int s = 1; s <= row.shows; ++s) {
            const std::u16string own =
                std::u16string(kArchive) + u"Show " + Decimal(s) + u"\\Bild.jpg";
            headless::MakeFile(own, "\xFF\xD8 " + std::to_string(s));
            headless::MakeFile(
                std::u16string(kProjects) + u"Show " + Decimal(s) + u".mph",
                platform::Utf16ToUtf8(own + u"\n" + shared + u"\n" + std::u16string(kArchive) +
                                      u"Weg\\fehlt " + Decimal(s) + u".jpg\n"));
        }
        headless::MakeFolder(u"E:\\Seite");
        headless::QueueClick(ctl::ApplyFilterButton);
        headless::QueueSaveAnswer(u"E:\\Seite\\Shows.html");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveOverview);
        RunProgram();
        const std::u16string html =
            platform::Utf8ToUtf16(testsupport::FileBytes(u"E:\\Seite\\Shows.html"));
        size_t listedAt = 0;
        for (int s : {1, 2, 10, row.shows}) {
            // "Show 2" before "Show 10", as Explorer sorts; each row links its section.
            const size_t at = html.find(u"\">Show " + Decimal(s) +
                                        u".mph</a></td><td>2</td><td>1</td><td>1</td>");
            if (s > row.shows) continue;
            EXPECT_NE(std::u16string::npos, at) << s;
            EXPECT_LE(listedAt, at) << s;
            listedAt = at;
        }
        size_t sections = 0, folded = 0, images = 0, lazy = 0;
        constexpr std::u16string_view kLazy =
            u"<img loading=\"lazy\" width=\"256\" height=\"256\" ";
        for (size_t at = html.find(u"<section id=\"show-"); at != std::u16string::npos;
             at = html.find(u"<section id=\"show-", at + 1)) {
            ++sections;
            const size_t id = at + 13, end = html.find(u'"', id);
            EXPECT_NE(std::u16string::npos,
                      html.find(u"href=\"#" + html.substr(id, end - id) + u"\""));
            folded += html.compare(end + 2, 9, u"<details>") == 0;
        }
        for (size_t at = html.find(u"<img "); at != std::u16string::npos;
             at = html.find(u"<img ", at + 1)) {
            ++images;
            lazy += html.compare(at, kLazy.size(), kLazy) == 0;
        }
        EXPECT_EQ(static_cast<size_t>(row.shows), sections);
        EXPECT_EQ(row.folded ? sections : 0u, folded);
        EXPECT_EQ(static_cast<size_t>(row.shows) * 2, images);
        EXPECT_EQ(images, lazy);
        EXPECT_NE(std::u16string::npos,
                  html.find(u"<summary><h2>Show 2.mph</h2> <span class=\"counts\">2 Dateien, 1 "
                            u"fehlt</span></summary>"));
        EXPECT_NE(std::u16string::npos, html.find(u"title=\"auch in: Show 1.mph, Show 3.mph"));
        EXPECT_NE(std::u16string::npos, html.find(u"<a href=\"#shows\">"));
    }
}

// The user's own page and folder of the same names are never moved, replaced or deleted without
// asking: a "no" brings the dialog back, a "yes" replaces the page, and the thumbnails take a free
// folder beside the user's; a save whose workers cannot start saves nothing.
TEST_F(OverviewPageTest, BesideTheUsersOwnPageAndFolder) {
    const struct Row {
        const char* name;
        int answer;  // to "Meine.html ist bereits vorhanden"
        bool workersStart;
        bool replaced;  // the page is ours afterwards
    } rows[] = {
        {"no: the dialog comes back, cancelled", platform::kNoPressed, true, false},
        {"yes: the page replaced, the folder left", platform::kYesPressed, true, true},
        {"no thumbnail worker: nothing saved", platform::kYesPressed, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        ASSERT_TRUE(headless::MakeFile(u"E:\\Seite\\Meine.html", "meine Seite"));
        ASSERT_TRUE(headless::MakeFile(u"E:\\Seite\\Meine_Dateien\\Steuer 2023.pdf", "PDF"));
        headless::QueueClick(ctl::ApplyFilterButton);
        if (!row.workersStart) headless::QueueLook(headless::FailNextWorkStart);
        headless::QueueMessageAnswer(row.answer);
        headless::QueueSaveAnswer(u"E:\\Seite\\Meine.html");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveOverview);
        RunProgram();
        const std::string page = testsupport::FileBytes(u"E:\\Seite\\Meine.html");
        EXPECT_EQ(row.replaced, page != "meine Seite");
        EXPECT_EQ("PDF", testsupport::FileBytes(u"E:\\Seite\\Meine_Dateien\\Steuer 2023.pdf"));
        std::vector<std::u16string> folder;
        for (const platform::ListingEntry& entry : platform::Listing(u"E:\\Seite", u"*"))
            if (entry.name != u"." && entry.name != u"..") folder.push_back(entry.name);
        std::vector<std::u16string> expected = {u"Meine.html", u"Meine_Dateien"};
        if (row.replaced) expected.push_back(u"Meine_Dateien (2)");
        std::sort(folder.begin(), folder.end());
        EXPECT_EQ(expected, folder);
        EXPECT_EQ(row.replaced, page.find("src=\"Meine_Dateien%20%282%29/") != std::string::npos);
    }
}

// Escape or the close box while the thumbnails are made asks, as the copy does; a stop saves
// nothing and leaves nothing, a close ends the program.
TEST_F(OverviewPageTest, StoppedWhileTheThumbnailsAreMade) {
    for (const platform::EventKind request : {platform::kCancelRequest, platform::kCloseRequest}) {
        TearDown();
        SetUp();
        headless::QueueClick(ctl::ApplyFilterButton);
        headless::QueueSaveAnswer(u"E:\\Seite\\Shows.html");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveOverview);
        headless::RaiseAtPoll(2, {request, 0, platform::kMainWindow});
        headless::QueueMessageAnswer(platform::kYesPressed);
        bool goneOn = false;
        headless::QueueLook([&goneOn] { goneOn = true; });
        RunProgram();
        EXPECT_EQ(request == platform::kCancelRequest, goneOn);
        size_t left = 0;
        for (const platform::ListingEntry& entry : platform::Listing(u"E:\\Seite", u"*"))
            left += entry.name != u"." && entry.name != u"..";
        EXPECT_EQ(0u, left);
        EXPECT_U16_EQ(u"\u00DCbersicht als Webseite speichern",
                      headless::DialogCalls().back().title);
    }
}

}  // namespace

}  // namespace spurlese

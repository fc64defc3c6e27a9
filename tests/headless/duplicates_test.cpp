// "Doppelte Dateien speichern…" through the program: byte-identical files in groups, hard links
// one file, same size with other bytes no duplicate, which copy stays by the list's rule.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless.h"
#include "program/program.h"
#include "tests/support/test_platform.h"
#include "ui/controls.h"

namespace spurlese {

namespace {

constexpr char16_t kProjects[] = u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe\\";
const std::u16string kArchive = u"D:\\Familienbilder Stand Juni 2022\\";

// Bytes that look like a compressed picture's.
std::string Noise(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    return bytes;
}

TEST(DuplicatesTest, GroupsAndWhichCopyStays) {
    // On threads of its own, and, where Windows cannot start one, on the program's: one list.
    for (const bool threads : {true, false}) {
        SCOPED_TRACE(threads ? "on threads of its own" : "no thread to spare");
        testsupport::ResetWithExtractor(testsupport::ExtractorKind::Cat);
        if (!threads) headless::FailNextWorkStart();
        // Over 256 KiB a file's whole hash is a step of its own; up to that, it is read once.
        const std::string big = Noise(300 << 10, 1), other = Noise(300 << 10, 4);
        const std::string mid = Noise(200 << 10, 5);
        std::string midOther = mid;
        midOther[100 << 10] ^= 1;
        const std::string small = Noise(1000, 2), clip = Noise(100, 3);
        std::string middle = other;  // same size and edges, one byte apart in the middle
        middle[150 << 10] ^= 1;
        const struct File {
            std::u16string path;
            std::string bytes;
            int64_t lastWrite;
        } files[] = {
            // Import 10 made first: the walk meets it before Import 1 and 2, Explorer shows it
            // last.
            {u"Import 10\\Kurz \u2013 \U0001F389.jpg", small, 5},
            {u"Import 1\\IMG_0001.JPG", big, 300},
            {u"Import 2\\IMG_0001.JPG", big, 200},
            {u"Import 1\\IMG_0002.JPG", other, 100},
            {u"Import 2\\IMG_0002.JPG", middle, 100},
            {u"Import 1\\IMG_0003.JPG", mid, 100},
            {u"Import 2\\IMG_0003.JPG", midOther, 100},
            {u"Import 2\\Kurz \u2013 \U0001F389.jpg", small, 5},
            {u"Import 1\\Kurz \u2013 \U0001F389.jpg", small, 5},
            {u"Import 1\\klein.mov", clip, 1},
            {u"Import 2\\klein.mov", clip, 9},
            {u"Import 10\\klein.mov", clip, 5},
            {u"Import 1\\gesperrt.jpg", small + "x", 1},
            {u"Import 2\\gesperrt.jpg", small + "x", 1},
        };
        for (const File& file : files) {
            ASSERT_TRUE(headless::MakeFile(kArchive + file.path, file.bytes));
            headless::SetLastWrite(kArchive + file.path, file.lastWrite);
        }
        ASSERT_TRUE(headless::MakeHardLink(kArchive + u"Handy\\IMG_0001.JPG",
                                           kArchive + u"Import 1\\IMG_0001.JPG"));
        // Another name of a used file, met before it in the walk: the file is used, by its name.
        ASSERT_TRUE(headless::MakeHardLink(kArchive + u"Zweiter Name.mov",
                                           kArchive + u"Import 2\\klein.mov"));
        headless::SetUnreadable(kArchive + u"Import 2\\gesperrt.jpg");
        headless::MakeFile(std::u16string(kProjects) + u"Ostern.mph",
                           platform::Utf16ToUtf8(kArchive) + "Import 2\\klein.mov\n");
        headless::MakeFile(std::u16string(kProjects) + u"Namen.mph",
                           platform::Utf16ToUtf8(kArchive) + "Import 10\\klein.mov\n");
        headless::QueueClick(ctl::ApplyFilterButton);
        headless::QueueSaveAnswer(u"E:\\Doppelt.txt");
        headless::MakeFolder(u"E:\\");
        headless::QueueMenuChoice(ctl::SaveResultsButton, menu::kSaveDuplicates);
        RunProgram();
        const std::u16string text =
            platform::Utf8ToUtf16(testsupport::FileBytes(u"E:\\Doppelt.txt"));
        const struct Row {
            const char* name;
            std::u16string part;  // in the list, or (expected false) not
            bool expected = true;
        } rows[] = {
            {"the head: groups, files, the copies' space, what may go",
             u"\uFEFFDoppelte Dateien im Archiv: 3 Gruppen mit 8 Dateien. Die Kopien \u00FCber je "
             u"eine "
             u"hinaus belegen 309.400 Bytes; frei werden k\u00F6nnten 309.300 Bytes"},
            {"none used: the oldest stays; a hard link is the same file",
             u"Gruppe 1: 2 gleiche Dateien zu je 307.200 Bytes\r\n   Kopie:  " + kArchive +
                 u"Import 1\\IMG_0001.JPG\t(von keinem Projekt verwendet)\r\n   bleibt: " +
                 kArchive + u"Import 2\\IMG_0001.JPG\t"},
            {"same size and edges, other bytes: no duplicate", u"IMG_0002", false},
            {"the same, read whole at once", u"IMG_0003", false},
            {"the hard link's other name is no copy", u"Handy", false},
            {"a used file is shown by the name its show uses", u"Zweiter Name", false},
            {"as old as each other: the first in Explorer's order stays",
             u"zu je 1.000 Bytes\r\n   bleibt: " + kArchive +
                 u"Import 1\\Kurz \u2013 \U0001F389.jpg" +
                 u"\t(von keinem Projekt verwendet)\r\n   Kopie:  " + kArchive +
                 u"Import 2\\Kurz \u2013 \U0001F389.jpg\t(von keinem Projekt verwendet)\r\n   "
                 u"Kopie: "
                 u" " +
                 kArchive + u"Import 10\\"},
            {"every used copy stays, however young; the unused one goes",
             u"Gruppe 3: 3 gleiche Dateien zu je 100 Bytes\r\n   Kopie:  " + kArchive +
                 u"Import 1\\klein.mov\t(von keinem Projekt verwendet)\r\n   bleibt: " + kArchive +
                 u"Import 2\\klein.mov\t(verwendet von Ostern.mph)\r\n   bleibt: " + kArchive +
                 u"Import 10\\klein.mov\t(verwendet von Namen.mph)"},
            {"a file that cannot be read: named, not counted",
             u"Nicht lesbar, nicht mitgez\u00E4hlt:\r\n" + kArchive +
                 u"Import 2\\gesperrt.jpg\r\n"},
        };
        for (const Row& row : rows) {
            EXPECT_EQ(row.expected, text.find(row.part) != std::u16string::npos)
                << row.name << "\n"
                << testsupport::Show(text);
        }
    }
}

}  // namespace

}  // namespace spurlese

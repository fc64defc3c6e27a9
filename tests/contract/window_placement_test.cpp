// The window's placement kept in Spurlese.ini: what is stored, and how a stored placement is
// pulled onto the primary display, whatever its size and scaling.
#include <string>

#include "settings/window_placement.h"
#include "tests/support/window_fixture.h"

namespace spurlese {

namespace {

class WindowPlacementTest : public WorkFolderTest {
protected:
    void SetUp() override {
        WorkFolderTest::SetUp();
        platform::EnumerateDisplays();
    }
    static std::string Ini() { return testsupport::FileBytes(u"D:\\Work\\Spurlese.ini"); }
    static void Load(const std::string& ini) {
        ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\Spurlese.ini", ini));
        LoadSettings();
    }
    static platform::Rect Placement() {
        platform::Rect frame;
        EXPECT_TRUE(platform::GetFrameRect(platform::kMainWindow, &frame));
        platform::Rect placement{frame.x, frame.y, 0, 0};
        platform::GetClientSize(platform::kMainWindow, &placement.width, &placement.height);
        return placement;
    }
};

TEST_F(WindowPlacementTest, SavedAsTwoLines) {
    platform::PlaceWindow(platform::kMainWindow, 120, 80, 600, 450);
    SaveSettings();
    EXPECT_EQ("[General]\nMainWindowPosition=120,80,600,450\n", Ini());
    // Whatever else the file held is gone after the next save.
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\Spurlese.ini", "; mine\n[Other]\na=1\n"));
    SaveSettings();
    EXPECT_EQ("[General]\nMainWindowPosition=120,80,600,450\n", Ini());
}

TEST_F(WindowPlacementTest, StoredPlacementIsRestoredWithinTheDisplay) {
    // The display's size in the units of the placement (device pixels at 96 DPI).
    int W = 0, H = 0;
    ASSERT_TRUE(platform::DisplaySize(0, &W, &H));
    ASSERT_GE(W, 1000);
    ASSERT_GE(H, 700);
    struct Row {
        const char* name;
        std::string value;
        int x, y, width, height;
    } rows[] = {
        {"as stored", "10,20,600,450", 10, 20, 600, 450},
        {"blanks after = and commas", " 10, 20, 600, 450", 10, 20, 600, 450},
        {"right of and above the display", "50000,-300,700,500", W - 700, 0, 700, 500},
        {"left of the display", "-900,100,600,400", 0, 100, 600, 400},
        {"hex and binary", "$20,%1000000,600,400", 32, 64, 600, 400},
        {"below the smallest: the window's own minimum", "40,30,100,100", 40, 30, 568, 400},
        {"larger than the display", "5,5,90000,90000", 0, 0, W, H},
    };
    for (const Row& row : rows) {
        Load("[General]\nMainWindowPosition=" + row.value + "\n");
        const platform::Rect at = Placement();
        EXPECT_EQ(row.x, at.x) << row.name;
        EXPECT_EQ(row.y, at.y) << row.name;
        // A window larger than the display may be held a little smaller by the window system.
        EXPECT_NEAR(row.width, at.width, row.width == W ? 64 : 0) << row.name;
        EXPECT_NEAR(row.height, at.height, row.height == H ? 64 : 0) << row.name;
    }
}

TEST_F(WindowPlacementTest, NothingRestoredWithoutAUsableValue) {
    platform::PlaceWindow(platform::kMainWindow, 50, 60, 600, 420);
    const char* files[] = {
        "", "[Other]\nMainWindowPosition=1,2,700,500\n", "[General]\nMainWindowPosition=\n",
        "\xEF\xBB\xBF[General]\nMainWindowPosition=1,2,700,500\n",  // header not recognised
    };
    for (const char* file : files) {
        Load(file);
        const platform::Rect at = Placement();
        EXPECT_EQ(50, at.x) << file;
        EXPECT_EQ(600, at.width) << file;
    }
    // Reading never changes the file.
    EXPECT_EQ("\xEF\xBB\xBF[General]\nMainWindowPosition=1,2,700,500\n", Ini());
}

TEST(FieldNumberTest, NumbersOfAField) {
    struct Row {
        const char16_t* field;
        int64_t number;
    } rows[] = {
        {u"42", 42},
        {u"  \t-17", -17},
        {u"+8", 8},
        {u"$1F", 31},
        {u"$ff", 255},
        {u"%101", 5},
        {u"-$10", -16},
        {u"12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"$", 0},
        {u"%2", 0},
        {u"- 5", 0},
        {u" 7 8", 7},
        {u"99999999999999999999", INT64_MAX},
        {u"-99999999999999999999", INT64_MIN},
        {u"-9223372036854775808", INT64_MIN},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.number, FieldNumber(row.field)) << testsupport::Show(row.field);
    }
    EXPECT_EQ(320, Clamp(100, 320, 1280));
    EXPECT_EQ(1280, Clamp(5000, 320, 1280));
    EXPECT_EQ(20, Clamp(10, 20, 5));  // the lower bound is tested first
    EXPECT_EQ(5, Clamp(30, 20, 5));
}

}  // namespace

}  // namespace spurlese

// The start of a run with the extractor in place (its absence ends the process and is tested
// where a whole program runs).
#include "app/help_icon.h"
#include "program/startup_checks.h"
#include "settings/app_settings.h"
#include "tests/support/window_fixture.h"
#include "ui/controls.h"
#include "ui/page_table.h"

namespace spurlese {

namespace {

using StartupTest = WorkFolderTest;

TEST_F(StartupTest, FixedStartValuesSliderAndCaptions) {
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\strings64.exe", ""));  // empty counts
    EXPECT_EQ(0, RunStartupChecks());

    EXPECT_U16_EQ(u"D:\\Familienbilder Stand Juni 2022", appSettings.basePath);
    EXPECT_U16_EQ(u"C:\\Users\\Fotowart\\Documents\\MAGIX\\Photostory Deluxe",
                  appSettings.projectDirectory);
    EXPECT_EQ(33, appSettings.minStringLength);
    EXPECT_EQ(8, platform::GetMinimum(ctl::MinLengthSlider));
    EXPECT_EQ(40, platform::GetMaximum(ctl::MinLengthSlider));
    EXPECT_EQ(33, platform::GetState(ctl::MinLengthSlider));
    EXPECT_U16_EQ(appSettings.projectDirectory, platform::GetCaption(ctl::ProjectDirButton));
    EXPECT_U16_EQ(appSettings.basePath, platform::GetCaption(ctl::BasePathButton));

    // The page rows: the settings page without help file has 12 rows to show.
    EXPECT_EQ(12, ActivatePage(kSettingsPage));
    EXPECT_U16_EQ(u"Spurlese.chm", PageRowFile(ctl::SettingsHelpButton));
    EXPECT_EQ(7, ActivatePage(kResultsPage));
}

TEST_F(StartupTest, HelpImageIsTheLargest32By32Picture) {
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\strings64.exe", "MZ"));
    RunStartupChecks();
    ASSERT_NE(platform::ImageHandle::kNone, appSettings.helpImage);
    platform::ImageInfo info;
    ASSERT_TRUE(platform::DescribeImage(appSettings.helpImage, &info));
    EXPECT_EQ(32, info.width);
    EXPECT_EQ(32, info.height);
    EXPECT_EQ(32, info.bitsPerPixel);

    platform::SetButtonImage(ctl::SettingsHelpButton, appSettings.helpImage);
    EXPECT_EQ(appSettings.helpImage, platform::GetButtonImage(ctl::SettingsHelpButton));
}

TEST(HelpIconTest, FileHoldsTheElevenPictures) {
    const std::string_view file = HelpIconFile();
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(11, static_cast<unsigned char>(file[4]));
    IconPicture picture;
    ASSERT_TRUE(PickIconPicture(file, &picture));
    EXPECT_EQ(32, picture.width);
    EXPECT_EQ(32, picture.bitsPerPixel);
    EXPECT_EQ(40u + 32 * 32 * 4 + 32 * 4, picture.bytes.size());
}

TEST(HelpIconTest, DamagedFilesGiveNoPicture) {
    const std::string file(HelpIconFile());
    IconPicture picture;
    struct Row {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"empty", ""},
        {"header only", file.substr(0, 6)},
        {"cut in the directory", file.substr(0, 40)},
        {"not an icon", "BM" + file.substr(2)},
        {"cut in the pictures", file.substr(0, 200)},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(PickIconPicture(row.bytes, &picture)) << row.name;
        EXPECT_EQ(platform::ImageHandle::kNone, CreateImageFromIconFile(row.bytes)) << row.name;
    }
}

}  // namespace

}  // namespace spurlese

#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_platform.h"
#include "ui/main_window.h"

namespace spurlese {

// Every test starts from a freshly opened main window on an empty test drive.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetForTest();
        ASSERT_TRUE(OpenMainWindow()) << testsupport::PlatformName();
    }
    void TearDown() override { platform::CloseWindow(platform::kMainWindow); }
};

// A window, with D:\Work\ as the working directory (where the program finds its files).
class WorkFolderTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Work"));
        testsupport::SetWorkingDirectory(u"D:\\Work\\");
    }
};

// gtest prints char16_t strings as numbers; this shows them as text.
#define EXPECT_U16_EQ(expected, actual) \
    EXPECT_EQ(testsupport::Show(expected), testsupport::Show(actual))

}  // namespace spurlese

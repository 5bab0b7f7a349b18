#include "app_test_support.h"

#include <cstdio>

#include "app/main_window.h"
#include "app/pitch_control.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

struct RunCase {
    const char* commandLine;
    int pitch;
};

class WinMainTest : public AppTest, public ::testing::WithParamInterface<RunCase> {};

}  // namespace

TEST_P(WinMainTest, BuildsTheWindowWithThePitchAndReturnsTheQuitCode)
{
    // The loop ends at the first WM_QUIT; its code is the program's result.
    PostQuitMessage(3);
    char commandLine[64];
    std::snprintf(commandLine, sizeof commandLine, "%s", GetParam().commandLine);
    EXPECT_EQ(WinMain(instance, nullptr, commandLine, SW_SHOWNORMAL), 3);
    EXPECT_EQ(pitchSemitones, GetParam().pitch);
    ASSERT_EQ(platformtest::topLevelWindows().size(), 1u);
    EXPECT_EQ(platformtest::control(MainWindow::pitchReadout).text,
              "Pitch: " + std::to_string(GetParam().pitch));
    EXPECT_TRUE(platformtest::placement(platformtest::topLevelWindows()[0]).visible);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, WinMainTest,
                         ::testing::Values(RunCase{"", 6}, RunCase{"-5", -5},
                                           RunCase{"  3", 3}, RunCase{"7 up", 7},
                                           RunCase{"200", 48}));

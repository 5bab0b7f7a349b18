#include "app_test_support.h"

#include <cmath>

#include "app/main_window.h"
#include "app/pitch_control.h"
#include "app/program_objects.h"

namespace {

std::string readout()
{
    return platformtest::control(MainWindow::pitchReadout).text;
}

void showPitchButtons()
{
    ShowWindow(MainWindow::pitchDownButton, SW_SHOW);
    ShowWindow(MainWindow::pitchUpButton, SW_SHOW);
}

void expectEnginePitch(int semitones)
{
    const double expected = std::pow(2.0, semitones / 12.0);
    EXPECT_NEAR(pitchEngine.pitch(), expected, expected * 1e-5);
}

class PitchTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        window = createWindow();
        ASSERT_NE(window, nullptr);
        showPitchButtons();
    }
    HWND window = nullptr;
};

}  // namespace

TEST_F(PitchTest, CreationShowsTheStartingPitchAndHandsItToTheEngine)
{
    EXPECT_EQ(readout(), "Pitch: 6");
    expectEnginePitch(6);
}

TEST_F(AppTest, CreationShowsThePitchFromTheCommandLine)
{
    pitchSemitones = -3;
    ASSERT_NE(createWindow(), nullptr);
    EXPECT_EQ(platformtest::control(MainWindow::pitchReadout).text, "Pitch: -3");
    expectEnginePitch(-3);
}

TEST_F(PitchTest, PitchButtonsStepByOne)
{
    platformtest::clickButton(MainWindow::pitchDownButton);
    EXPECT_EQ(pitchSemitones, 5);
    EXPECT_EQ(readout(), "Pitch: 5");
    expectEnginePitch(5);
    platformtest::clickButton(MainWindow::pitchUpButton);
    platformtest::clickButton(MainWindow::pitchUpButton);
    EXPECT_EQ(readout(), "Pitch: 7");
    expectEnginePitch(7);
}

TEST_F(PitchTest, TwentyStepsDownFromTheDefaultGoBelowZero)
{
    for (int i = 0; i < 20; ++i) {
        platformtest::clickButton(MainWindow::pitchDownButton);
    }
    EXPECT_EQ(pitchSemitones, -14);
    EXPECT_EQ(readout(), "Pitch: -14");
    expectEnginePitch(-14);
}

struct BoundCase {
    int start;
    int step;
};

class PitchBoundTest : public PitchTest, public ::testing::WithParamInterface<BoundCase> {};

TEST_P(PitchBoundTest, AStepPastABoundChangesNothing)
{
    pitchSemitones = GetParam().start;
    updatePitchReadout();
    const std::string before = "Pitch: " + std::to_string(GetParam().start);
    ASSERT_EQ(readout(), before);
    // A marker shows whether the readout is written again.
    SetWindowTextA(MainWindow::pitchReadout, "untouched");
    stepPitch(GetParam().step);
    EXPECT_EQ(pitchSemitones, GetParam().start);
    EXPECT_EQ(readout(), "untouched");
    expectEnginePitch(GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(Bounds, PitchBoundTest,
                         ::testing::Values(BoundCase{MAX_PITCH_SEMITONES, +1},
                                           BoundCase{MIN_PITCH_SEMITONES, -1}));

TEST_F(PitchTest, StepsReachBothBounds)
{
    pitchSemitones = MAX_PITCH_SEMITONES - 1;
    stepPitch(+1);
    EXPECT_EQ(readout(), "Pitch: 48");
    pitchSemitones = MIN_PITCH_SEMITONES + 1;
    stepPitch(-1);
    EXPECT_EQ(readout(), "Pitch: -48");
    expectEnginePitch(-48);
}

TEST_F(PitchTest, HiddenPitchButtonsDoNothing)
{
    ShowWindow(MainWindow::pitchDownButton, SW_HIDE);
    platformtest::clickButton(MainWindow::pitchDownButton);
    EXPECT_EQ(pitchSemitones, 6);
}

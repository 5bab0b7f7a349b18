// The start command's view switch, the painting of the streaming view, the
// focus message and the close requests around the stream.
#include "app_test_support.h"

#include "app/main_window.h"
#include "app/start_command.h"
#include "audio/duplex_stream.h"
#include "audio/wav_recorder.h"

namespace {

class StreamingViewTest : public AppTest {
protected:
    bool visible(HWND control) { return platformtest::control(control).visible; }
    void paint(HWND window)
    {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
};

TEST_F(StreamingViewTest, StartSwitchesToTheStreamingView)
{
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    platformtest::dispatchPending();
    using namespace MainWindow;
    for (HWND control : {startButton, inputChooser, outputChooser, inputLabel, outputLabel}) {
        EXPECT_TRUE(visible(control));
    }
    for (HWND control : {pitchDownButton, pitchUpButton, pitchReadout, meterControl}) {
        EXPECT_FALSE(visible(control));
    }
    EXPECT_FALSE(platformtest::needsPaint(window));

    platformtest::clickButton(startButton);
    EXPECT_EQ(startResult, 1);
    for (HWND control : {startButton, inputChooser, outputChooser, inputLabel, outputLabel}) {
        EXPECT_FALSE(visible(control));
    }
    for (HWND control : {pitchDownButton, pitchUpButton, pitchReadout, meterControl}) {
        EXPECT_TRUE(visible(control));
    }
    EXPECT_TRUE(platformtest::needsPaint(window)) << "the whole client area is painted anew";
    // The rows below stay in both views.
    for (HWND control : {homePageButton, mailButton, recordButton, installButton}) {
        EXPECT_TRUE(visible(control));
    }
}

TEST_F(StreamingViewTest, PaintsTheTwoIconsOnlyWhileStreaming)
{
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    platformtest::dispatchPending();
    paint(window);
    EXPECT_TRUE(platformtest::iconsDrawn().empty()) << "no icons in the set-up view";

    platformtest::clickButton(MainWindow::startButton);
    paint(window);
    const auto icons = platformtest::iconsDrawn();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].x, 120);
    EXPECT_EQ(icons[0].y, 60);
    EXPECT_EQ(icons[1].x, 380);
    EXPECT_EQ(icons[1].y, 60);
    for (const auto& icon : icons) {
        EXPECT_EQ(icon.window, window);
        EXPECT_EQ(icon.icon, MainWindow::appIcon);
    }
    EXPECT_FALSE(platformtest::needsPaint(window)) << "painting validates the window";
}

TEST_F(StreamingViewTest, FocusPaintsWhatIsPendingAtOnce)
{
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    platformtest::dispatchPending();
    platformtest::clickButton(MainWindow::startButton);
    ASSERT_TRUE(platformtest::needsPaint(window));
    EXPECT_EQ(SendMessageA(window, WM_SETFOCUS, 0, 0), 0);
    EXPECT_FALSE(platformtest::needsPaint(window));
    EXPECT_EQ(platformtest::iconsDrawn().size(), 2u);
}

TEST_F(StreamingViewTest, ACloseBeforeTheStartEndsAtOnce)
{
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    platformtest::dispatchPending();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(windowExists(window));
    EXPECT_TRUE(DuplexStream::stopRequested);
    EXPECT_TRUE(platformtest::quitPosted());
}

TEST_F(StreamingViewTest, TheTeardownFinishesEverythingOnce)
{
    platformtest::Mixer mixer;
    mixer.value = 0;
    platformtest::setMixer(mixer);
    platformtest::setWaveInDevices({{"Microphone"}});
    platformtest::setWaveOutDevices({{"Speakers"}});
    HWND window = createWindow();
    platformtest::dispatchPending();
    ASSERT_EQ(startResult, 1);
    EXPECT_EQ(platformtest::mixerMuteValue(), 1) << "muted while streaming";
    platformtest::clickButton(MainWindow::recordButton);
    platformtest::dispatchPending();
    ASSERT_TRUE(WavRecorder::recording);
    for (int i = 0; i < 3; ++i) {
        platformtest::deliverInputBlock(0, std::vector<int16_t>(BLOCK_FRAMES, 1000));
        platformtest::dispatchPending();
    }

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(windowExists(window));
    platformtest::dispatchPending();
    EXPECT_FALSE(windowExists(window));
    EXPECT_EQ(platformtest::mixerMuteValue(), 0) << "the mute is taken back";
    EXPECT_TRUE(platformtest::liveBrushes().empty());
    EXPECT_FALSE(WavRecorder::isFileOpen());
    const std::string file = readFile(desktop + "/Zimbalo Record.wav");
    ASSERT_EQ(file.size(), 46u + 3 * BLOCK_BYTES);
    EXPECT_EQ(static_cast<unsigned char>(file[4]) | static_cast<unsigned char>(file[5]) << 8,
              (38 + 3 * BLOCK_BYTES) & 0xFFFF);
    EXPECT_TRUE(platformtest::quitPosted());
    EXPECT_EQ(platformtest::quitCode(), 0);
}

}  // namespace

// The live stream over scripted wave devices: the start, the road of each
// block, the rings, and the stop handshake with the window.
#include "app_test_support.h"

#include <algorithm>
#include <cstring>

#include "app/main_window.h"
#include "app/pitch_control.h"
#include "app/start_command.h"
#include "audio/duplex_stream.h"
#include "audio/wav_recorder.h"

namespace {

using platformtest::WaveCall;

std::vector<int16_t> noiseBlock(unsigned seed)
{
    std::vector<int16_t> samples(BLOCK_FRAMES);
    for (int i = 0; i < BLOCK_FRAMES; ++i) {
        seed = seed * 1103515245u + 12345u;
        samples[i] = static_cast<int16_t>((seed >> 16) % 20000) - 10000;
    }
    return samples;
}

int countCalls(bool input, WaveCall call)
{
    const auto calls = platformtest::waveCalls();
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& record) {
        return record.input == input && record.call == call;
    }));
}

std::vector<std::string> boxTexts()
{
    std::vector<std::string> texts;
    for (const auto& box : platformtest::messageBoxes()) {
        texts.push_back(box.caption + ": " + box.text);
    }
    return texts;
}

class StreamTest : public AppTest {
protected:
    // One device of each kind: the start runs by itself once the window is up.
    // Failures are injected between setOneDeviceEach and startStreaming.
    void setOneDeviceEach()
    {
        platformtest::setWaveInDevices({{"Microphone"}});
        platformtest::setWaveOutDevices({{"Speakers"}});
        devicesSet = true;
    }
    HWND startWithOneDeviceEach(int pitch = 0)
    {
        if (!devicesSet) {
            setOneDeviceEach();
        }
        pitchSemitones = pitch;
        HWND window = createWindow();
        platformtest::dispatchPending();
        return window;
    }

    // Lets the input device hand back `count` blocks and handles them.
    void deliver(int count, unsigned seed = 1)
    {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(platformtest::deliverInputBlock(0, noiseBlock(seed + i)));
            platformtest::dispatchPending();
        }
    }

    void finishOutput(int count)
    {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(platformtest::finishOutputBlock(0));
            platformtest::dispatchPending();
        }
    }

    bool devicesSet = false;
};

TEST_F(StreamTest, StartsByItselfAndQueuesTheInputRing)
{
    startWithOneDeviceEach();
    EXPECT_EQ(startResult, 1);
    EXPECT_TRUE(DuplexStream::inputOpen());
    EXPECT_TRUE(DuplexStream::outputOpen());
    EXPECT_EQ(DuplexStream::inputOutstanding, 10);
    EXPECT_EQ(DuplexStream::outputOutstanding, 0);
    EXPECT_EQ(countCalls(true, WaveCall::Prepare), 10);
    EXPECT_EQ(countCalls(false, WaveCall::Prepare), 10);
    EXPECT_EQ(countCalls(true, WaveCall::Add), 10);
    EXPECT_EQ(countCalls(true, WaveCall::Start), 1);
    EXPECT_TRUE(platformtest::messageBoxes().empty());
    for (const WAVEHDR& header : DuplexStream::inputRing) {
        EXPECT_EQ(header.dwBufferLength, 1024u);
    }
    // The format of the devices and of the recording.
    EXPECT_EQ(DuplexStream::streamFormat.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(DuplexStream::streamFormat.nChannels, 1);
    EXPECT_EQ(DuplexStream::streamFormat.nSamplesPerSec, 44100u);
    EXPECT_EQ(DuplexStream::streamFormat.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(DuplexStream::streamFormat.nBlockAlign, 2);
    EXPECT_EQ(DuplexStream::streamFormat.wBitsPerSample, 16);
    EXPECT_EQ(std::memcmp(&WavRecorder::format, &DuplexStream::streamFormat, sizeof(WAVEFORMATEX)), 0);
    EXPECT_EQ(platformtest::toHostPath(WavRecorder::path), desktop + "/Zimbalo Record.wav");
}

TEST_F(StreamTest, StartFailuresAndTheirMessages)
{
    struct Case {
        const char* name;
        platformtest::WaveDevice input, output;
        int result;
        const char* box;
        bool outputLeftOpen;
    };
    platformtest::WaveDevice good{"Device"};
    platformtest::WaveDevice queryFails{"Device", WAVE_FORMAT_4M16, false, true};
    platformtest::WaveDevice openFails{"Device", WAVE_FORMAT_4M16, false, false, true};
    const Case cases[] = {
        {"input query", queryFails, good, -1, "Error: Error initializing microphone", false},
        {"output query", good, queryFails, -2, "Error: Error initializing sound output", false},
        {"both queries: the input is asked first", queryFails, queryFails, -1,
         "Error: Error initializing microphone", false},
        {"output open", good, openFails, -2, "Error: Error initializing sound output", false},
        {"input open after the output opened", openFails, good, -1,
         "Error: Error initializing microphone", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        platformtest::setWaveInDevices({c.input});
        platformtest::setWaveOutDevices({c.output});
        HWND window = createWindow();
        platformtest::dispatchPending();
        EXPECT_EQ(startResult, c.result);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.box});
        EXPECT_FALSE(DuplexStream::inputOpen());
        EXPECT_EQ(DuplexStream::outputOpen(), c.outputLeftOpen);
        EXPECT_EQ(countCalls(false, WaveCall::Prepare), 0) << "no blocks for a failed start";
        EXPECT_EQ(countCalls(true, WaveCall::Open), c.outputLeftOpen ? 1 : 0);
        // The streaming view stays, without icons, and a close ends at once.
        EXPECT_FALSE(platformtest::control(MainWindow::startButton).visible);
        EXPECT_TRUE(platformtest::control(MainWindow::pitchUpButton).visible);
        EXPECT_TRUE(platformtest::iconsDrawn().empty());
        SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_FALSE(windowExists(window));
    }
}

TEST_F(StreamTest, NoCapableDeviceFallsBackToDeviceZero)
{
    // Neither device offers the format, so neither is listed; device 0 is asked all the same.
    platformtest::setWaveInDevices({{"Line", WAVE_FORMAT_1M08}});
    platformtest::setWaveOutDevices({{"Out", WAVE_FORMAT_1M08}});
    createWindow();
    platformtest::dispatchPending();
    EXPECT_EQ(startResult, -1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error: Error initializing microphone"});
}

TEST_F(StreamTest, TheChoosersGiveTheDeviceNumbers)
{
    // Input device 0 lacks the format, so the only entry carries 1; two outputs: no automatic start.
    platformtest::setWaveInDevices({{"Line", WAVE_FORMAT_1M08}, {"Microphone"}});
    platformtest::setWaveOutDevices({{"Speakers"}, {"Headphones"}});
    HWND window = createWindow();
    platformtest::dispatchPending();
    ASSERT_EQ(startResult, 0);
    SendMessageA(MainWindow::outputChooser, CB_SETCURSEL, 1, 0);
    platformtest::clickButton(MainWindow::startButton);
    ASSERT_EQ(startResult, 1);
    const auto calls = platformtest::waveCalls();
    const auto opened = [&](bool input) {
        for (const auto& record : calls) {
            if (record.input == input && record.call == WaveCall::Open) {
                return record.device;
            }
        }
        return -1;
    };
    EXPECT_EQ(opened(true), 1);
    EXPECT_EQ(opened(false), 1);
    (void)window;
}

TEST_F(StreamTest, OutputBlocksGoRoundTheRingAndQueueFullDropsInput)
{
    startWithOneDeviceEach();
    std::vector<int> order;
    for (int i = 0; i < 10; ++i) {
        deliver(1, 100 + i);
        order.push_back((DuplexStream::nextOutput + 9) % 10);
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(DuplexStream::outputOutstanding, 10);
    EXPECT_EQ(DuplexStream::nextOutput, 0);
    EXPECT_EQ(countCalls(false, WaveCall::Write), 10);

    // With 10 blocks queued for playback the next input is requeued unprocessed.
    const int addsBefore = countCalls(true, WaveCall::Add);
    deliver(3, 500);
    EXPECT_EQ(DuplexStream::nextOutput, 0);
    EXPECT_EQ(countCalls(false, WaveCall::Write), 10);
    EXPECT_EQ(countCalls(true, WaveCall::Add), addsBefore + 3);
    EXPECT_EQ(DuplexStream::inputOutstanding, 10);

    // One block played: the next input goes into block 0 again.
    finishOutput(1);
    deliver(1, 600);
    EXPECT_EQ(DuplexStream::nextOutput, 1);
    EXPECT_EQ(countCalls(false, WaveCall::Write), 11);
}

TEST_F(StreamTest, FramesPastTheEnginesCountAreSilenceNotStaleSound)
{
    startWithOneDeviceEach();
    // Stale sound in every output block, as if from an earlier use.
    for (WAVEHDR& header : DuplexStream::outputRing) {
        std::memset(header.lpData, 0x55, BLOCK_BYTES);
    }
    // The engine hands out nothing until its stretcher holds enough input.
    deliver(9);
    finishOutput(9);
    const std::vector<BYTE> played = platformtest::played(0);
    ASSERT_EQ(played.size(), 9u * BLOCK_BYTES);
    EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](BYTE b) { return b == 0; }));

    // Then sound arrives, still in whole 1024-byte blocks.
    deliver(6);
    finishOutput(6);
    const std::vector<BYTE> later = platformtest::played(0);
    ASSERT_EQ(later.size(), 15u * BLOCK_BYTES);
    EXPECT_FALSE(std::all_of(later.begin() + 9 * BLOCK_BYTES, later.end(), [](BYTE b) { return b == 0; }));
    // The 15th call hands out 32 frames: the rest of that block is silence.
    const auto last = later.begin() + 14 * BLOCK_BYTES;
    EXPECT_FALSE(std::all_of(last, last + 64, [](BYTE b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(last + 64, later.end(), [](BYTE b) { return b == 0; }));
}

TEST_F(StreamTest, AnUnderrunKeepsTheOutputOpenAndPlaybackResumes)
{
    startWithOneDeviceEach();
    deliver(2);
    finishOutput(2);
    EXPECT_EQ(DuplexStream::outputOutstanding, 0);
    EXPECT_TRUE(DuplexStream::outputOpen());
    EXPECT_EQ(countCalls(false, WaveCall::Close), 0);
    deliver(1);
    EXPECT_EQ(DuplexStream::outputOutstanding, 1);
    EXPECT_EQ(countCalls(false, WaveCall::Write), 3);
    EXPECT_EQ(DuplexStream::inputOutstanding, 10);
}

TEST_F(StreamTest, CloseWhileStreamingWaitsForTheDrainThenEnds)
{
    HWND window = startWithOneDeviceEach();
    deliver(4);
    finishOutput(1); // 3 output blocks still queued
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(windowExists(window)) << "the close waits while the devices give their blocks back";
    EXPECT_TRUE(DuplexStream::stopRequested);
    EXPECT_EQ(countCalls(true, WaveCall::Reset), 1);
    EXPECT_EQ(countCalls(false, WaveCall::Reset), 1);

    // The resets handed every block back; handling them drains and closes.
    const std::vector<MSG> posted = takePostedMessages(window);
    int inputBlocks = 0, outputBlocks = 0;
    for (const MSG& message : posted) {
        inputBlocks += message.message == MM_WIM_DATA;
        outputBlocks += message.message == MM_WOM_DONE;
    }
    EXPECT_EQ(inputBlocks, 10);
    EXPECT_EQ(outputBlocks, 3);
    int closes = 0;
    for (const MSG& message : posted) {
        DispatchMessageA(&message);
        for (const MSG& next : takePostedMessages(window)) {
            closes += next.message == WM_CLOSE;
            DispatchMessageA(&next);
        }
    }
    EXPECT_EQ(closes, 1) << "WM_CLOSE is posted exactly once";
    EXPECT_TRUE(DuplexStream::drained);
    EXPECT_FALSE(DuplexStream::inputOpen());
    EXPECT_FALSE(DuplexStream::outputOpen());
    EXPECT_EQ(countCalls(true, WaveCall::Unprepare), 10);
    EXPECT_EQ(countCalls(false, WaveCall::Unprepare), 10);
    EXPECT_FALSE(windowExists(window));
    EXPECT_TRUE(platformtest::quitPosted());
    EXPECT_TRUE(platformtest::messageBoxes().empty());
}

TEST_F(StreamTest, StopBeforeAnyOutputClosesBothDevices)
{
    HWND window = startWithOneDeviceEach();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    platformtest::dispatchPending();
    EXPECT_FALSE(DuplexStream::inputOpen());
    EXPECT_FALSE(DuplexStream::outputOpen()) << "a drained stream leaves no device open";
    EXPECT_FALSE(windowExists(window));
    EXPECT_EQ(countCalls(false, WaveCall::Write), 0);
}

TEST_F(StreamTest, ASecondCloseWhileDrainingWaitsOnlyWhileBothDevicesAreOpen)
{
    HWND window = startWithOneDeviceEach();
    deliver(3);
    SendMessageA(window, WM_CLOSE, 0, 0);
    // A second close before any block came back: both still open, it waits again.
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(windowExists(window));
    EXPECT_EQ(countCalls(true, WaveCall::Reset), 2);

    // Let only the output side come back: it closes, the input is still open.
    std::vector<MSG> inputBlocks;
    for (const MSG& message : takePostedMessages(window)) {
        if (message.message == MM_WOM_DONE) {
            DispatchMessageA(&message);
        } else {
            inputBlocks.push_back(message);
        }
    }
    ASSERT_FALSE(DuplexStream::outputOpen());
    ASSERT_TRUE(DuplexStream::inputOpen());
    // Now a close request destroys the window at once.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(windowExists(window));
    // Blocks arriving after the window is gone do no harm.
    for (const MSG& message : inputBlocks) {
        DispatchMessageA(&message);
    }
}

TEST_F(StreamTest, FailedAddsAreNotCountedSoTheStopStillCompletes)
{
    setOneDeviceEach();
    platformtest::failWaveInCall(0, WaveCall::Add, 3);
    platformtest::failWaveInCall(0, WaveCall::Add, 12);
    HWND window = startWithOneDeviceEach();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"error: Add buffer error"});
    EXPECT_EQ(DuplexStream::inputOutstanding, 9);
    deliver(3); // the 12th add is the third requeue
    EXPECT_EQ(boxTexts().size(), 2u);
    EXPECT_EQ(DuplexStream::inputOutstanding, 8);
    SendMessageA(window, WM_CLOSE, 0, 0);
    platformtest::dispatchPending();
    EXPECT_FALSE(windowExists(window));
    EXPECT_TRUE(DuplexStream::drained);
}

TEST_F(StreamTest, AFailedWriteIsReportedAndNotCounted)
{
    setOneDeviceEach();
    platformtest::failWaveOutCall(0, WaveCall::Write, 2);
    HWND window = startWithOneDeviceEach();
    deliver(3);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"error: Wave out error"});
    EXPECT_EQ(DuplexStream::outputOutstanding, 2);
    SendMessageA(window, WM_CLOSE, 0, 0);
    platformtest::dispatchPending();
    EXPECT_FALSE(windowExists(window));
}

TEST_F(StreamTest, EveryAddFailingStillLetsTheWindowClose)
{
    setOneDeviceEach();
    for (int call = 1; call <= 10; ++call) {
        platformtest::failWaveInCall(0, WaveCall::Add, call);
    }
    HWND window = startWithOneDeviceEach();
    EXPECT_EQ(DuplexStream::inputOutstanding, 0);
    EXPECT_EQ(boxTexts().size(), 10u);
    SendMessageA(window, WM_CLOSE, 0, 0);
    platformtest::dispatchPending();
    EXPECT_FALSE(windowExists(window));
}

TEST_F(StreamTest, PrepareStartAndUnprepareFailuresAreReported)
{
    setOneDeviceEach();
    platformtest::failWaveInCall(0, WaveCall::Prepare, 2);
    platformtest::failWaveOutCall(0, WaveCall::Prepare, 5);
    platformtest::failWaveInCall(0, WaveCall::Start, 1);
    platformtest::failWaveOutCall(0, WaveCall::Unprepare, 1);
    HWND window = startWithOneDeviceEach();
    EXPECT_EQ(startResult, 1);
    // The block that could not be prepared cannot be queued either.
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"error: In Prepare error", "error: Out Prepare error",
                                                    "error: Add buffer error", "error: Start error"}));
    EXPECT_EQ(DuplexStream::inputOutstanding, 9);
    SendMessageA(window, WM_CLOSE, 0, 0);
    platformtest::dispatchPending();
    EXPECT_EQ(boxTexts().back(), "error: Out UnPrepare error");
    EXPECT_FALSE(windowExists(window));
}

TEST_F(StreamTest, MeterAndRecorderSeeEveryProcessedBlock)
{
    HWND window = startWithOneDeviceEach();
    platformtest::clickButton(MainWindow::recordButton);
    platformtest::dispatchPending();
    ASSERT_TRUE(WavRecorder::recording);
    const size_t fillsBefore = platformtest::fills().size();
    deliver(6);
    finishOutput(6);
    deliver(6, 50);
    finishOutput(6);
    EXPECT_EQ(platformtest::fills().size(), fillsBefore + 2 * 12);
    platformtest::clickButton(MainWindow::recordButton);
    platformtest::dispatchPending();
    const std::string file = readFile(desktop + "/Zimbalo Record.wav");
    ASSERT_EQ(file.size(), 46u + 12 * BLOCK_BYTES);
    const std::vector<BYTE> played = platformtest::played(0);
    ASSERT_EQ(played.size(), 12u * BLOCK_BYTES);
    EXPECT_EQ(std::memcmp(file.data() + 46, played.data(), played.size()), 0)
        << "the recording holds the blocks as played";
    (void)window;
}

}  // namespace

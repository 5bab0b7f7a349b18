#include "platform_test_support.h"

#include <cstring>

namespace {

class Wave : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        RecordingClass::registerOnce();
        window = CreateWindowExA(0, RecordingClass::name(), "", WS_CAPTION, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        format = WAVEFORMATEX{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
        for (int i = 0; i < 3; ++i) {
            std::memset(&headers[i], 0, sizeof(WAVEHDR));
            headers[i].lpData = storage[i];
            headers[i].dwBufferLength = sizeof storage[i];
        }
        RecordingClass::messages().clear();
    }
    std::vector<RecordedMessage> notifications(UINT message) {
        std::vector<RecordedMessage> found;
        for (const RecordedMessage& m : RecordingClass::messages())
            if (m.message == message) found.push_back(m);
        return found;
    }
    HWAVEIN openInput() {
        HWAVEIN device = nullptr;
        EXPECT_EQ(waveInOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW), 0u);
        return device;
    }
    HWND window = nullptr;
    WAVEFORMATEX format;
    WAVEHDR headers[3];
    char storage[3][1024];
};

TEST_F(Wave, CapabilitiesAndQueries) {
    platformtest::WaveDevice stereoOnly{"Stereo Only", WAVE_FORMAT_4S16};
    platformtest::WaveDevice broken{"Broken"};
    broken.capsFails = true;
    platformtest::WaveDevice picky{"Picky"};
    picky.queryFails = true;
    platformtest::setWaveInDevices({{"A very long microphone name that does not fit"}, stereoOnly, broken, picky});

    EXPECT_EQ(waveInGetNumDevs(), 4u);
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEINCAPSA caps{};
    ASSERT_EQ(waveInGetDevCapsA(0, &caps, sizeof caps), 0u);
    EXPECT_EQ(std::string(caps.szPname), std::string("A very long microphone name tha"));
    EXPECT_EQ(caps.dwFormats, WAVE_FORMAT_4M16);
    EXPECT_NE(waveInGetDevCapsA(2, &caps, sizeof caps), 0u);
    EXPECT_NE(waveInGetDevCapsA(4, &caps, sizeof caps), 0u);

    EXPECT_EQ(waveInOpen(nullptr, 0, &format, 0, 0, WAVE_FORMAT_QUERY), 0u);
    EXPECT_EQ(waveInOpen(nullptr, 1, &format, 0, 0, WAVE_FORMAT_QUERY), UINT(WAVERR_BADFORMAT));
    EXPECT_EQ(waveInOpen(nullptr, 3, &format, 0, 0, WAVE_FORMAT_QUERY), UINT(WAVERR_BADFORMAT));
    EXPECT_EQ(waveInOpen(nullptr, 4, &format, 0, 0, WAVE_FORMAT_QUERY), UINT(MMSYSERR_BADDEVICEID));
    EXPECT_TRUE(platformtest::waveCalls().empty());  // a query opens nothing
}

TEST_F(Wave, AFailingOpenGivesNoHandle) {
    platformtest::WaveDevice busy{"Busy"};
    busy.openFails = true;
    platformtest::setWaveOutDevices({busy});
    HWAVEOUT device = reinterpret_cast<HWAVEOUT>(1);
    EXPECT_NE(waveOutOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW), 0u);
    EXPECT_EQ(device, nullptr);
}

TEST_F(Wave, InputBlocksComeBackInOrderAlsoOnReset) {
    platformtest::setWaveInDevices({{"Mic"}});
    HWAVEIN device = openInput();
    ASSERT_NE(device, nullptr);
    for (WAVEHDR& header : headers) {
        ASSERT_EQ(waveInPrepareHeader(device, &header, sizeof header), 0u);
        ASSERT_EQ(waveInAddBuffer(device, &header, sizeof header), 0u);
        EXPECT_TRUE(header.dwFlags & WHDR_INQUEUE);
    }
    EXPECT_FALSE(platformtest::deliverInputBlock(0, std::vector<int16_t>(512, 1)));  // not started
    ASSERT_EQ(waveInStart(device), 0u);
    EXPECT_TRUE(platformtest::deliverInputBlock(0, std::vector<int16_t>(512, 7)));
    EXPECT_EQ(waveInClose(device), UINT(WAVERR_STILLPLAYING));
    EXPECT_EQ(waveInReset(device), 0u);
    platformtest::dispatchPending();

    auto data = notifications(MM_WIM_DATA);
    ASSERT_EQ(data.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(data[i].lParam, reinterpret_cast<LPARAM>(&headers[i]));
        EXPECT_TRUE(headers[i].dwFlags & WHDR_DONE);
        EXPECT_FALSE(headers[i].dwFlags & WHDR_INQUEUE);
    }
    EXPECT_EQ(headers[0].dwBytesRecorded, 1024u);
    EXPECT_EQ(headers[1].dwBytesRecorded, 0u);  // handed back unfilled by the reset
    int16_t first = 0;
    std::memcpy(&first, storage[0], sizeof first);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(notifications(MM_WIM_OPEN).size(), 1u);

    for (WAVEHDR& header : headers) EXPECT_EQ(waveInUnprepareHeader(device, &header, sizeof header), 0u);
    EXPECT_EQ(waveInClose(device), 0u);
    platformtest::dispatchPending();
    EXPECT_EQ(notifications(MM_WIM_CLOSE).size(), 1u);
}

TEST_F(Wave, OutputBlocksArePlayedInOrder) {
    platformtest::setWaveOutDevices({{"Speakers"}});
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW), 0u);
    EXPECT_EQ(waveOutWrite(device, &headers[0], sizeof(WAVEHDR)), UINT(WAVERR_UNPREPARED));
    for (int i = 0; i < 2; ++i) {
        std::memset(storage[i], 'a' + i, sizeof storage[i]);
        waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
        ASSERT_EQ(waveOutWrite(device, &headers[i], sizeof(WAVEHDR)), 0u);
    }
    EXPECT_TRUE(platformtest::finishOutputBlock(0));
    EXPECT_EQ(waveOutReset(device), 0u);
    EXPECT_FALSE(platformtest::finishOutputBlock(0));
    platformtest::dispatchPending();

    auto done = notifications(MM_WOM_DONE);
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[0].lParam, reinterpret_cast<LPARAM>(&headers[0]));
    EXPECT_EQ(done[1].lParam, reinterpret_cast<LPARAM>(&headers[1]));
    std::vector<BYTE> played = platformtest::played(0);
    EXPECT_EQ(played, std::vector<BYTE>(1024, 'a'));  // the reset block was not played
}

TEST_F(Wave, InjectedFailuresHitTheChosenCall) {
    platformtest::setWaveInDevices({{"Mic"}});
    platformtest::failWaveInCall(0, platformtest::WaveCall::Prepare, 2);
    platformtest::failWaveInCall(0, platformtest::WaveCall::Start, 1, MMSYSERR_NOMEM);
    HWAVEIN device = openInput();
    EXPECT_EQ(waveInPrepareHeader(device, &headers[0], sizeof(WAVEHDR)), 0u);
    EXPECT_EQ(waveInPrepareHeader(device, &headers[1], sizeof(WAVEHDR)), UINT(MMSYSERR_ERROR));
    EXPECT_FALSE(headers[1].dwFlags & WHDR_PREPARED);
    EXPECT_EQ(waveInStart(device), UINT(MMSYSERR_NOMEM));

    auto calls = platformtest::waveCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].call, platformtest::WaveCall::Open);
    EXPECT_EQ(calls[2].call, platformtest::WaveCall::Prepare);
    EXPECT_EQ(calls[2].result, UINT(MMSYSERR_ERROR));
    EXPECT_TRUE(calls[3].input);
    EXPECT_EQ(calls[3].device, 0);
}

}  // namespace

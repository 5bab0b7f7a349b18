#include "platform_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

std::string number(DWORD value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
}

std::string waveFile(const std::string& samples, WORD channels = 1, DWORD rate = 44100) {
    WORD align = static_cast<WORD>(channels * 2);
    return "RIFF" + number(36 + static_cast<DWORD>(samples.size()), 4) + "WAVEfmt " + number(16, 4) +
           number(1, 2) + number(channels, 2) + number(rate, 4) + number(rate * align, 4) +
           number(align, 2) + number(16, 2) + "data" + number(static_cast<DWORD>(samples.size()), 4) +
           samples;
}

// A program in miniature: every input block is played back as it came.
struct Loopback {
    static Loopback*& current() {
        static Loopback* instance = nullptr;
        return instance;
    }
    HWAVEIN input = nullptr;
    HWAVEOUT output = nullptr;
    WAVEHDR inputs[4]{};
    WAVEHDR outputs[8]{};
    char storage[12][1024]{};
    int inputBack = 0, outputsOut = 0, next = 0;
    bool stopping = false;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Loopback& self = *current();
        switch (message) {
        case MM_WIM_DATA: {
            WAVEHDR* block = reinterpret_cast<WAVEHDR*>(lParam);
            if (self.stopping) {
                ++self.inputBack;
                self.finishIfDrained(window);
                return 0;
            }
            WAVEHDR& out = self.outputs[self.next % 8];
            if (!(out.dwFlags & WHDR_INQUEUE)) {
                ++self.next;
                std::memcpy(out.lpData, block->lpData, 1024);
                waveOutWrite(self.output, &out, sizeof out);
                ++self.outputsOut;
            }
            waveInAddBuffer(self.input, block, sizeof *block);
            return 0;
        }
        case MM_WOM_DONE:
            --self.outputsOut;
            self.finishIfDrained(window);
            return 0;
        case WM_CLOSE:
            self.stopping = true;
            waveOutReset(self.output);
            waveInReset(self.input);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }
    void finishIfDrained(HWND window) {
        if (!stopping || inputBack < 4 || outputsOut > 0) return;
        waveInClose(input);
        waveOutClose(output);
        DestroyWindow(window);
    }
};

class WaveFiles : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        for (const char* name : {"ZIMBALO_WAVE_IN", "ZIMBALO_WAVE_OUT", "ZIMBALO_WAVE_CLOCK"}) unsetenv(name);
    }
    void TearDown() override {
        for (const char* name : {"ZIMBALO_WAVE_IN", "ZIMBALO_WAVE_OUT", "ZIMBALO_WAVE_CLOCK"}) unsetenv(name);
        PlatformTest::TearDown();
    }
};

TEST_F(WaveFiles, DevicesAreNamedAfterTheirFilesAndOfferTheFileFormat) {
    writeFile(path("voice.wav"), waveFile(std::string(2048, '\1')));
    writeFile(path("stereo.wav"), waveFile(std::string(2048, '\1'), 2));
    setenv("ZIMBALO_WAVE_IN", (path("voice.wav") + ":" + path("stereo.wav")).c_str(), 1);
    setenv("ZIMBALO_WAVE_OUT", path("played.wav").c_str(), 1);
    platformtest::useWaveFilesFromEnvironment();

    ASSERT_EQ(waveInGetNumDevs(), 2u);
    WAVEINCAPSA caps{};
    waveInGetDevCapsA(0, &caps, sizeof caps);
    EXPECT_STREQ(caps.szPname, "voice.wav");
    EXPECT_EQ(caps.dwFormats, WAVE_FORMAT_4M16);
    waveInGetDevCapsA(1, &caps, sizeof caps);
    EXPECT_EQ(caps.dwFormats & WAVE_FORMAT_4M16, 0u);
    ASSERT_EQ(waveOutGetNumDevs(), 1u);
    WAVEOUTCAPSA outCaps{};
    waveOutGetDevCapsA(0, &outCaps, sizeof outCaps);
    EXPECT_STREQ(outCaps.szPname, "played.wav");
    EXPECT_NE(outCaps.dwFormats & WAVE_FORMAT_4M16, 0u);
}

TEST_F(WaveFiles, TheFastClockPlaysTheInputThroughAndThenClosesTheWindow) {
    std::string samples;
    for (int i = 0; i < 3 * 512 + 100; ++i) samples += number(static_cast<DWORD>(i + 1), 2);
    writeFile(path("voice.wav"), waveFile(samples));
    setenv("ZIMBALO_WAVE_IN", path("voice.wav").c_str(), 1);
    setenv("ZIMBALO_WAVE_OUT", path("played.wav").c_str(), 1);
    setenv("ZIMBALO_WAVE_CLOCK", "fast", 1);
    platformtest::useWaveFilesFromEnvironment();

    Loopback loopback;
    Loopback::current() = &loopback;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Loopback::procedure;
    windowClass.lpszClassName = "Loopback";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "Loopback", "", WS_CAPTION, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    DWORD_PTR target = reinterpret_cast<DWORD_PTR>(window);
    ASSERT_EQ(waveOutOpen(&loopback.output, 0, &format, target, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInOpen(&loopback.input, 0, &format, target, 0, CALLBACK_WINDOW), 0u);
    for (int i = 0; i < 12; ++i) {
        WAVEHDR& header = i < 4 ? loopback.inputs[i] : loopback.outputs[i - 4];
        header.lpData = loopback.storage[i];
        header.dwBufferLength = 1024;
        if (i < 4) {
            waveInPrepareHeader(loopback.input, &header, sizeof header);
            waveInAddBuffer(loopback.input, &header, sizeof header);
        } else {
            waveOutPrepareHeader(loopback.output, &header, sizeof header);
        }
    }
    waveInStart(loopback.input);

    // Guards against a hang only; the close must come from the clock.
    std::atomic<bool> done{false}, guardFired{false};
    std::thread guard([&] {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) {
            guardFired = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
    done = true;
    guard.join();
    Loopback::current() = nullptr;
    ASSERT_FALSE(guardFired);

    std::string file = readFile(path("played.wav"));
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    std::string data = file.substr(44);
    EXPECT_EQ(file.substr(40, 4), number(static_cast<DWORD>(data.size()), 4));
    EXPECT_EQ(data.size() % 1024, 0u);
    ASSERT_GT(data.size(), samples.size());
    EXPECT_EQ(data.substr(0, samples.size()), samples);
    EXPECT_EQ(data.find_first_not_of('\0', samples.size()), std::string::npos);  // then silence
}

}  // namespace

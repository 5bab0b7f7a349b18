#include "app_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <new>

#include "app/level_meter.h"
#include "app/main_window.h"
#include "app/pitch_control.h"
#include "app/program_objects.h"
#include "app/start_command.h"
#include "app/text_resources.h"
#include "audio/duplex_stream.h"
#include "audio/monitor_mute.h"
#include "audio/wav_recorder.h"
#include "desktop/desktop_folder.h"
#include "desktop/self_install.h"

namespace {
constexpr UINT END_OF_QUEUE = WM_USER + 0x100;
}

void resetProgramState()
{
    DuplexStream::reset();
    startResult = 0;
    // A fresh engine, as at program start: it fills before it hands out sound.
    pitchEngine.~PitchEngine();
    new (&pitchEngine) PitchEngine();

    WavRecorder::close();
    WavRecorder::path[0] = '\0';
    WavRecorder::format = WAVEFORMATEX{};
    WavRecorder::recording = false;

    using namespace MainWindow;
    instance = nullptr;
    appIcon = nullptr;
    for (HWND* handle : {&pitchDownButton, &pitchReadout, &pitchUpButton, &homePageButton,
                         &mailButton, &recordButton, &inputChooser, &inputLabel, &outputChooser,
                         &outputLabel, &startButton, &meterControl, &installButton}) {
        *handle = nullptr;
    }
    pitchSemitones = DEFAULT_PITCH_SEMITONES;
    LevelMeter::peakLevel = LevelMeter::INITIAL_PEAK_LEVEL;
    // A test that destroyed the window deleted them already; deleting again is harmless.
    DeleteObject(LevelMeter::fillBrush);
    DeleteObject(LevelMeter::backgroundBrush);
    LevelMeter::fillBrush = CreateSolidBrush(RGB(0, 200, 0));
    LevelMeter::backgroundBrush = CreateSolidBrush(RGB(255, 255, 255));
    MonitorMute::savedValue = 0;
    MonitorMute::appliedValue = 0;
    forgetDesktopPath();
    modulePath[0] = '\0';
    desktopTarget[0] = '\0';
    runningFromDesktopCopy = false;
    title[0] = '\0';
    className[0] = '\0';
}

void AppTest::SetUp()
{
    WavRecorder::close();
    platformtest::reset();
    resetProgramState();
    char pattern[] = "/tmp/zimbalo-app-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    desktop = root + "/Users/Tester/Desktop";
    std::filesystem::create_directories(desktop);
    platformtest::setDriveRoot(root);
    platformtest::setDesktopFolder(desktop);
    instance = GetModuleHandleA(nullptr);
}

void AppTest::TearDown()
{
    WavRecorder::close();
    platformtest::reset();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

bool AppTest::windowExists(HWND window)
{
    const std::vector<HWND> windows = platformtest::topLevelWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void AppTest::offerTwoDevicesOfEachKind()
{
    platformtest::setWaveInDevices({{"Microphone"}, {"Line In"}});
    platformtest::setWaveOutDevices({{"Speakers"}, {"Headphones"}});
}

HWND AppTest::createWindow()
{
    loadTitleAndClassName(instance);
    registerMainWindowClass(instance);
    if (createMainWindow(instance, SW_SHOWNORMAL) == 0) {
        return nullptr;
    }
    const std::vector<HWND> windows = platformtest::topLevelWindows();
    return windows.empty() ? nullptr : windows.back();
}

std::vector<MSG> AppTest::takePostedMessages(HWND window)
{
    PostMessageA(window, END_OF_QUEUE, 0, 0);
    std::vector<MSG> taken;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != END_OF_QUEUE) {
        if (message.message != WM_PAINT) {
            taken.push_back(message);
        } else {
            DispatchMessageA(&message);
        }
    }
    return taken;
}

std::string readFile(const std::string& hostPath)
{
    std::ifstream file(hostPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& hostPath, const std::string& bytes)
{
    std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
    file << bytes;
}

bool fileExists(const std::string& hostPath)
{
    return std::filesystem::exists(hostPath);
}

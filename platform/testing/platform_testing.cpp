#include "platform/testing/platform_testing.h"

#include "graphics.h"
#include "mixer.h"
#include "paths.h"
#include "records.h"
#include "resources.h"
#include "settings.h"
#include "wave.h"
#include "wave_files.h"
#include "window_system.h"

#include <stdexcept>

using namespace zplat;

namespace platformtest {

void reset() {
    stopWaveFilesForTests();
    resetWindowsForTests();
    clearRecordsForTests();
    resetSettingsForTests();
    resetDriveRootForTests();
    resetMixerForTests();
    resetWaveForTests();
}

void setScreenSize(int width, int height) { setScreen(width, height); }
void setDriveRoot(const std::string& hostFolder) { setDriveRootFolder(hostFolder); }
void setDesktopFolder(std::optional<std::string> hostFolder) {
    setDesktopSetting(DesktopSetting{false, std::move(hostFolder)});
}
void useSystemDesktopFolder() { setDesktopSetting(DesktopSetting{true, std::nullopt}); }
void setModuleFileName(const std::string& hostPath) { setModuleHostPath(hostPath); }
std::string toHostPath(const std::string& windowsPath) { return hostPathFor(windowsPath); }
std::string toWindowsPath(const std::string& hostPath) { return windowsPathFor(hostPath); }

void setWaveInDevices(std::vector<WaveDevice> devices) { setWaveDevices(true, std::move(devices)); }
void setWaveOutDevices(std::vector<WaveDevice> devices) { setWaveDevices(false, std::move(devices)); }
std::vector<WaveCallRecord> waveCalls() { return waveCallLog(); }
void failWaveInCall(int device, WaveCall call, int callNumber, MMRESULT error) {
    failWave(true, device, call, callNumber, error);
}
void failWaveOutCall(int device, WaveCall call, int callNumber, MMRESULT error) {
    failWave(false, device, call, callNumber, error);
}
bool deliverInputBlock(int device, const std::vector<int16_t>& samples) {
    return deliverInput(device, reinterpret_cast<const char*>(samples.data()),
                        samples.size() * sizeof(int16_t));
}
bool finishOutputBlock(int device) { return finishOutput(device); }
std::vector<BYTE> played(int device) { return playedBytes(device); }
void useWaveFilesFromEnvironment() { zplat::useWaveFilesFromEnvironment(); }

void setMixer(const Mixer& mixer) { setMixerState(mixer); }
LONG mixerMuteValue() { return mixerState().value; }
void setMixerMuteValue(LONG value) { setMixerValue(value); }
std::vector<LONG> mixerWrites() { return mixerWriteLog(); }

namespace {

Control controlOf(const Window& window) {
    return Control{window.handle, window.className, window.text, window.style, window.x,
                   window.y, window.width, window.height, (window.style & WS_VISIBLE) != 0};
}

std::shared_ptr<Window> existing(HWND handle) {
    auto window = windowLocked(handle);
    if (!window) throw std::invalid_argument("platformtest: no such window");
    return window;
}

}  // namespace

std::vector<Control> childControls(HWND parent) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    std::vector<Control> children;
    for (auto& entry : windowSystem().windows)
        if (entry.second->parent == parent && (entry.second->style & WS_CHILD))
            children.push_back(controlOf(*entry.second));
    return children;
}

Control control(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return controlOf(*existing(handle));
}

std::vector<HWND> topLevelWindows() { return topLevelWindowHandles(); }

WindowPlacement placement(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = existing(handle);
    return WindowPlacement{window->x, window->y, window->width, window->height,
                           (window->style & WS_VISIBLE) != 0};
}

bool needsPaint(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return existing(handle)->invalid;
}

std::vector<std::pair<std::string, LPARAM>> comboItems(HWND combo) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return existing(combo)->items;
}

int comboSelection(HWND combo) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return existing(combo)->selection;
}

void clickButton(HWND button) {
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        if (!(existing(button)->style & WS_VISIBLE)) return;
    }
    SendMessageA(button, BM_CLICK, 0, 0);
}

int dispatchPending() {
    int count = 0;
    std::vector<HWND> painted;
    RetrieveOptions options;
    options.wait = false;
    options.consumeQuit = false;
    options.paintedAlready = &painted;
    MSG message;
    while (retrieveMessage(&message, options) == Retrieved::Message) {
        if (message.message == WM_PAINT) painted.push_back(message.hwnd);
        DispatchMessageA(&message);
        ++count;
    }
    return count;
}

bool quitPosted() {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return windowSystem().quitRecorded;
}

int quitCode() {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return windowSystem().quitRecordedCode;
}

std::vector<MessageBoxShown> messageBoxes() { return recorded(&Records::messageBoxes); }
std::vector<Fill> fills() { return recorded(&Records::fills); }
std::vector<IconDrawn> iconsDrawn() { return recorded(&Records::icons); }
HICON iconHandle(int resourceId) { return moduleIcon(resourceId); }
std::vector<COLORREF> liveBrushes() { return liveBrushColors(); }
std::vector<FileOperation> fileOperations() { return recorded(&Records::fileOperations); }
std::vector<ShellExecution> shellExecutions() { return recorded(&Records::shellExecutions); }
void setShellLaunches(bool launch) { setShellLaunchesEnabled(launch); }

void setMailSystem(MailSystem system, ULONG sendResult) {
    MailMode mode = system == MailSystem::Missing           ? MailMode::Missing
                    : system == MailSystem::WithoutSendMail ? MailMode::WithoutSendMail
                                                            : MailMode::Available;
    setMail(mode, sendResult);
}

void useSystemMail() { useSystemMailSetting(); }
std::vector<MailSent> mailsSent() { return recorded(&Records::mails); }
std::vector<std::string> librariesLoaded() { return recorded(&Records::libraries); }

}  // namespace platformtest

// Test hooks of the platform layer: set up the simulated system and read back
// what the program did with it. Everything here is for tests only.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>
#include <mapi.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platformtest {

// Destroys all windows, clears the queues and the records and restores the
// isolated defaults: screen 1024x768, drive root "/", no desktop folder (the
// lookup fails), module file name from /proc/self/exe, no wave devices, the
// default mixer, mail Missing, shell launches off. Window classes, icons and
// brushes stay: they belong to the program, not to one test.
void reset();

void setScreenSize(int width, int height);

// The host folder that the drive root "C:\" stands for.
void setDriveRoot(const std::string& hostFolder);
// The host folder of the desktop; nullopt makes the lookup fail.
void setDesktopFolder(std::optional<std::string> hostFolder);
// Look the desktop up as the real program does (XDG user-dirs.dirs in
// $XDG_CONFIG_HOME or ~/.config, else ~/Desktop), with the current environment.
void useSystemDesktopFolder();
// What GetModuleFileNameA reports (given as a host path, reported in Windows form).
void setModuleFileName(const std::string& hostPath);

std::string toHostPath(const std::string& windowsPath);
std::string toWindowsPath(const std::string& hostPath);

// ---- Wave devices ----
struct WaveDevice {
    std::string name;
    DWORD formats = WAVE_FORMAT_4M16;
    bool capsFails = false;   // waveIn/OutGetDevCapsA fails
    bool queryFails = false;  // the WAVE_FORMAT_QUERY open fails
    bool openFails = false;   // the real open fails
};
void setWaveInDevices(std::vector<WaveDevice>);
void setWaveOutDevices(std::vector<WaveDevice>);

// Each device's calls, in order, with their results.
enum class WaveCall { Open, Prepare, Add, Start, Write, Reset, Unprepare, Close };
struct WaveCallRecord {
    bool input;
    int device;
    WaveCall call;
    MMRESULT result;
};
std::vector<WaveCallRecord> waveCalls();
// The callNumber-th call (from 1) of that kind on that device fails with error.
// The device lists set above start the counts afresh.
void failWaveInCall(int device, WaveCall call, int callNumber, MMRESULT error = MMSYSERR_ERROR);
void failWaveOutCall(int device, WaveCall call, int callNumber, MMRESULT error = MMSYSERR_ERROR);
// Manual control of open devices (tests drive them; nothing moves by itself):
// fills the oldest queued input block of a started device with the samples
// (at most its length; dwBytesRecorded says how many) and posts MM_WIM_DATA.
bool deliverInputBlock(int device, const std::vector<int16_t>& samples);
// Posts MM_WOM_DONE for the oldest written output block and keeps its bytes as played.
bool finishOutputBlock(int device);
std::vector<BYTE> played(int device);  // every byte played by that output device
// Replaces the devices with the WAV-file devices of ZIMBALO_WAVE_IN and
// ZIMBALO_WAVE_OUT and runs their clock (ZIMBALO_WAVE_CLOCK=fast for the fast
// one), as the program does at start. The clock then moves the devices by itself.
void useWaveFilesFromEnvironment();

// ---- Mixer device 0 with one microphone source line and its mute control ----
struct Mixer {
    bool present = true;
    bool hasMicrophoneLine = true;
    bool hasMuteControl = true;
    LONG minimum = 0, maximum = 1, value = 0;
};
void setMixer(const Mixer&);
LONG mixerMuteValue();             // current value of the mute control
void setMixerMuteValue(LONG);      // as if the user changed it
std::vector<LONG> mixerWrites();   // every value written through mixerSetControlDetails

// ---- Windows and controls ----
struct Control {
    HWND handle;
    std::string className;  // "STATIC", "BUTTON", "COMBOBOX" or the registered name
    std::string text;
    DWORD style;
    int x, y, width, height;  // in the parent's client area
    bool visible;             // the window's own WS_VISIBLE state
};
std::vector<Control> childControls(HWND parent);  // creation order
Control control(HWND handle);
std::vector<HWND> topLevelWindows();              // creation order, live windows only
struct WindowPlacement {
    int x, y, width, height;  // outer rectangle on the screen
    bool visible;
};
WindowPlacement placement(HWND);
bool needsPaint(HWND);  // the window has an invalid region

std::vector<std::pair<std::string, LPARAM>> comboItems(HWND combo);
int comboSelection(HWND combo);  // -1 when none

// As a user's click: WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), button) is sent to
// the parent. A hidden button cannot be clicked: nothing happens.
void clickButton(HWND button);

// Dispatches every posted message (and pending paints) of this thread without
// blocking; returns how many were dispatched. Stops at WM_QUIT, which stays queued.
int dispatchPending();
bool quitPosted();
int quitCode();

// ---- Records ----
struct MessageBoxShown {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<MessageBoxShown> messageBoxes();

struct Fill {
    HWND window;
    RECT rect;
    COLORREF color;
};
std::vector<Fill> fills();

struct IconDrawn {
    HWND window;
    int x, y;
    HICON icon;
};
std::vector<IconDrawn> iconsDrawn();
HICON iconHandle(int resourceId);  // what LoadIconA gives for that id
std::vector<COLORREF> liveBrushes();  // brushes created and not yet deleted, in creation order

struct FileOperation {
    HWND owner;
    UINT func;
    std::vector<std::string> from, to;
    FILEOP_FLAGS flags;
    int result;
};
std::vector<FileOperation> fileOperations();

struct ShellExecution {
    HWND owner;
    std::string verb, file, parameters, directory;
    int show;
};
std::vector<ShellExecution> shellExecutions();
void setShellLaunches(bool launch);  // tests keep it off: only record

// ---- Simple MAPI ----
enum class MailSystem { Missing, WithoutSendMail, Available };
// In tests nothing is launched: MAPISendMail records the mail and returns sendResult.
void setMailSystem(MailSystem, ULONG sendResult = SUCCESS_SUCCESS);
struct MailSent {
    ULONG_PTR session;
    ULONG_PTR uiParam;
    FLAGS flags;
    std::string subject, noteText;
    ULONG recipCount, fileCount;
    bool otherFieldsZero;  // every other field of the message, and the reserved argument, is 0
};
// As the real program: MAPI32.DLL exists when xdg-email is on PATH, and
// MAPISendMail runs it (and waits for it, dispatching this thread's messages).
void useSystemMail();
std::vector<MailSent> mailsSent();
std::vector<std::string> librariesLoaded();  // every name passed to LoadLibraryA

}  // namespace platformtest

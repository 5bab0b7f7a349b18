// The main window's procedure: every message of the window, including the
// private messages with which it defers its longer actions to itself.
#include "app/level_meter.h"
#include "app/main_window.h"
#include "app/pitch_control.h"
#include "app/private_messages.h"
#include "app/start_command.h"
#include "app/text_resources.h"
#include "audio/duplex_stream.h"
#include "audio/monitor_mute.h"
#include "audio/record_handlers.h"
#include "audio/wav_recorder.h"
#include "desktop/home_page.h"
#include "desktop/mail_recommendation.h"
#include "desktop/self_install.h"
#include "res/resource_ids.h"

namespace {

const char MAIL_SUBJECT[] = "Zimbalo";

void postToSelf(HWND window, UINT message)
{
    PostMessageA(window, message, 0, 0);
}

// Commands are told apart by the sending control's handle in lParam; each
// test stands on its own. Anything else, such as a chooser's notification,
// does nothing.
void routeCommand(HWND window, LPARAM lParam)
{
    using namespace MainWindow;
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control == nullptr) {
        return;
    }
    if (control == mailButton) {
        postToSelf(window, UM_SEND_MAIL);
    }
    if (control == homePageButton) {
        postToSelf(window, UM_OPEN_HOMEPAGE);
    }
    if (control == pitchDownButton) {
        stepPitch(-1);
    }
    if (control == pitchUpButton) {
        stepPitch(+1);
    }
    if (control == recordButton) {
        postToSelf(window, WavRecorder::recording ? UM_RECORD_STOP : UM_RECORD_START);
    }
    if (installButton != nullptr && control == installButton) {
        postToSelf(window, UM_COPY_TO_DESKTOP);
    }
    if (control == startButton) {
        runStartCommand(window);
    }
}

// While streaming, the two icons stand left and right of the pitch controls.
void paintStreamingView(HWND window)
{
    if (startResult <= 0) {
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawIcon(dc, 120, 60, MainWindow::appIcon);
    DrawIcon(dc, 380, 60, MainWindow::appIcon);
    EndPaint(window, &paint);
}

// Every close request stops the stream. While it runs, the window waits for
// the devices to give back their blocks; the stream then closes it again.
bool closeMustWait()
{
    DuplexStream::requestStop();
    return !DuplexStream::drained && DuplexStream::inputOpen() && DuplexStream::outputOpen() &&
           startResult >= 1;
}

void tearDown()
{
    MonitorMute::restore();
    DeleteObject(LevelMeter::fillBrush);
    DeleteObject(LevelMeter::backgroundBrush);
    if (WavRecorder::recording) {
        WavRecorder::close();
    }
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        tearDown();
        return 0;
    case WM_SETFOCUS:
        UpdateWindow(window);
        return 0;
    case WM_PAINT:
        paintStreamingView(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
        if (closeMustWait()) {
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND:
        routeCommand(window, lParam);
        return 0;
    case MM_WOM_DONE:
        DuplexStream::onOutputDone(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    case MM_WIM_DATA:
        DuplexStream::onInputBlock(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    case UM_SEND_MAIL:
        sendRecommendation(MAIL_SUBJECT, loadText(STRING_RECOMMENDATION), window);
        return 0;
    case UM_OPEN_HOMEPAGE:
        openHomePage(window);
        return 0;
    case UM_COPY_TO_DESKTOP:
        copyToDesktop(window, modulePath, desktopTarget);
        return 0;
    case UM_RECORD_START:
        return onRecordStart();
    case UM_RECORD_STOP:
        return onRecordStop();
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

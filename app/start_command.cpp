#include "app/start_command.h"

#include <initializer_list>

#include "app/main_window.h"
#include "audio/duplex_stream.h"

int startResult;

void runStartCommand(HWND window)
{
    using namespace MainWindow;
    for (HWND control : { startButton, inputChooser, outputChooser, inputLabel, outputLabel }) {
        ShowWindow(control, SW_HIDE);
    }
    for (HWND control : { pitchDownButton, pitchUpButton, pitchReadout, meterControl }) {
        ShowWindow(control, SW_SHOW);
    }

    // The view stays switched when the start fails.
    startResult = DuplexStream::start(window);
    if (startResult == DuplexStream::INPUT_FAILED) {
        MessageBoxA(window, "Error initializing microphone", "Error", MB_OK);
    }
    if (startResult == DuplexStream::OUTPUT_FAILED) {
        MessageBoxA(window, "Error initializing sound output", "Error", MB_OK);
    }
    InvalidateRect(window, nullptr, TRUE);
}

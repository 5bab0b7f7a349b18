// The entry routine: command line, resources, window, message loop.
#include <windows.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/pitch_control.h"
#include "app/text_resources.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showState)
{
    pitchSemitones = pitchFromCommandLine(commandLine, pitchSemitones);
    loadTitleAndClassName(instance);
    registerMainWindowClass(instance);
    if (createMainWindow(instance, showState) == 0) {
        return 0;
    }
    MSG message = {};
    BOOL got;
    // -1 reports a failed call, not a message: it ends the loop as well.
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}

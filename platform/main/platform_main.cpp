// The program's entry on Linux: builds the command line and calls WinMain.
// SIGINT and SIGTERM act like the close box of every top-level window.
#include "resources.h"
#include "wave_files.h"
#include "window_system.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <vector>
#include <pthread.h>
#include <string>
#include <thread>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

// The signals are blocked in every thread and taken by this one with
// sigwait, so the close is posted from ordinary code, not from a handler.
void closeOnSignals(sigset_t signals) {
    std::thread([signals] {
        for (;;) {
            int signal = 0;
            if (sigwait(&signals, &signal) != 0) continue;
            std::vector<HWND> windows = zplat::topLevelWindowHandles();
            if (windows.empty()) std::_Exit(128 + signal);  // nothing to close: end as the signal would
            for (HWND window : windows) PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    closeOnSignals(signals);

    zplat::useWaveFilesFromEnvironment();

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(zplat::programInstance(), nullptr, &commandLine[0], SW_SHOWDEFAULT);
}

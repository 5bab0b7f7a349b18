// A program on the layer's entry: prints the command line WinMain got, then
// runs one window until it is closed; the exit code tells the close came through.
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Probe";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "Probe", "Probe", WS_CAPTION, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    std::printf("[%s] %d %d\n", commandLine, show, previous == nullptr);
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
    return static_cast<int>(message.wParam);
}

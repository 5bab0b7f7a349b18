// The message queue: posting from any thread, retrieval and dispatch.
#include "window_system.h"

using namespace zplat;

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (!message) return -1;
    RetrieveOptions options;
    options.filter = window;
    options.first = filterMin;
    options.last = filterMax;
    Retrieved result = retrieveMessage(message, options);
    message->time = GetTickCount();
    return result == Retrieved::Quit ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;  // no keyboard: nothing to translate
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    return callWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return callWindowProcedure(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem& system = windowSystem();
    std::lock_guard<std::mutex> lock(system.mutex);
    std::thread::id thread = std::this_thread::get_id();
    if (window) {
        auto target = windowLocked(window);
        if (!target) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        thread = target->thread;
    }
    MSG posted{};
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    ThreadQueue& queue = system.queues[thread];
    queue.posted.push_back(posted);
    queue.waiting = false;  // it has work again, even before it wakes
    system.wake.notify_all();
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    WindowSystem& system = windowSystem();
    std::lock_guard<std::mutex> lock(system.mutex);
    ThreadQueue& queue = system.queues[std::this_thread::get_id()];
    queue.quit = true;
    queue.quitCode = exitCode;
    system.quitRecorded = true;
    system.quitRecordedCode = exitCode;
    system.wake.notify_all();
}

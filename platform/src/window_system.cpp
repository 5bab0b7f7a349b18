#include "window_system.h"

#include <algorithm>
#include <chrono>

namespace zplat {

namespace {
// A fixed dialog frame and a caption, about as on classic Windows.
constexpr int FRAME = 3;
constexpr int CAPTION = 19;
}  // namespace

WindowSystem& windowSystem() {
    static WindowSystem* instance = new WindowSystem;  // never destroyed: used until exit
    return *instance;
}

std::shared_ptr<Window> windowLocked(HWND handle) {
    auto& windows = windowSystem().windows;
    auto found = windows.find(reinterpret_cast<uintptr_t>(handle));
    return found == windows.end() ? nullptr : found->second;
}

std::shared_ptr<Window> findWindow(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return windowLocked(handle);
}

std::vector<HWND> childWindows(HWND parent) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    std::vector<HWND> children;
    for (auto& entry : windowSystem().windows)
        if (entry.second->parent == parent && (entry.second->style & WS_CHILD))
            children.push_back(entry.second->handle);
    return children;
}

std::vector<HWND> topLevelWindowHandles() {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    std::vector<HWND> result;
    for (auto& entry : windowSystem().windows)
        if (!(entry.second->style & WS_CHILD)) result.push_back(entry.second->handle);
    return result;
}

LRESULT callWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        if (auto window = windowLocked(handle)) procedure = window->procedure;
    }
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

Frame frameOf(const Window& window) {
    if ((window.style & WS_CHILD) == 0 && (window.style & WS_CAPTION) == WS_CAPTION)
        return {FRAME, FRAME + CAPTION, FRAME, FRAME};
    if (window.style & WS_BORDER) return {1, 1, 1, 1};
    return {0, 0, 0, 0};
}

RECT clientRectOf(const Window& window) {
    Frame frame = frameOf(window);
    RECT rect{0, 0, std::max(0, window.width - frame.left - frame.right),
              std::max(0, window.height - frame.top - frame.bottom)};
    return rect;
}

bool visibleOnScreenLocked(const Window& window) {
    const Window* current = &window;
    while (current) {
        if (!(current->style & WS_VISIBLE)) return false;
        if (!(current->style & WS_CHILD)) return true;
        auto parent = windowLocked(current->parent);
        current = parent.get();
    }
    return false;
}

void invalidateLocked(Window& window, const RECT* rect, bool erase) {
    if (window.builtIn) return;  // the built-in controls draw themselves at once
    RECT client = clientRectOf(window);
    RECT area = rect ? *rect : client;
    area.left = std::max(area.left, client.left);
    area.top = std::max(area.top, client.top);
    area.right = std::min(area.right, client.right);
    area.bottom = std::min(area.bottom, client.bottom);
    if (area.left >= area.right || area.top >= area.bottom) {
        if (rect) return;  // nothing of the client area is touched
        area = client;     // an empty client area still gets its paint
    }
    if (window.invalid) {
        window.update.left = std::min(window.update.left, area.left);
        window.update.top = std::min(window.update.top, area.top);
        window.update.right = std::max(window.update.right, area.right);
        window.update.bottom = std::max(window.update.bottom, area.bottom);
    } else {
        window.update = area;
    }
    window.invalid = true;
    window.erase = window.erase || erase;
    auto queue = windowSystem().queues.find(window.thread);
    if (queue != windowSystem().queues.end()) queue->second.waiting = false;
    windowSystem().wake.notify_all();
}

void resetWindowsForTests() {
    WindowSystem& system = windowSystem();
    std::lock_guard<std::mutex> lock(system.mutex);
    system.windows.clear();
    system.queues.clear();
    system.focus = nullptr;
    system.quitRecorded = false;
    system.quitRecordedCode = 0;
}

bool waitUntilWindowThreadsIdle(int timeoutMilliseconds) {
    WindowSystem& system = windowSystem();
    std::unique_lock<std::mutex> lock(system.mutex);
    auto idle = [&] {
        if (system.windows.empty()) return false;
        for (auto& entry : system.windows) {
            auto queue = system.queues.find(entry.second->thread);
            if (queue == system.queues.end() || !queue->second.waiting) return false;
        }
        return true;
    };
    return system.wake.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), idle);
}

Retrieved retrieveMessage(MSG* message, const RetrieveOptions& options) {
    WindowSystem& system = windowSystem();
    std::unique_lock<std::mutex> lock(system.mutex);
    ThreadQueue& queue = system.queues[std::this_thread::get_id()];
    auto inRange = [&](UINT value) {
        return (options.first == 0 && options.last == 0) ||
               (value >= options.first && value <= options.last);
    };
    for (;;) {
        for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
            if ((options.filter == nullptr || it->hwnd == options.filter) && inRange(it->message)) {
                *message = *it;
                queue.posted.erase(it);
                return Retrieved::Message;
            }
        }
        if (queue.quit) {
            *message = MSG{};
            message->message = WM_QUIT;
            message->wParam = static_cast<WPARAM>(queue.quitCode);
            if (options.consumeQuit) queue.quit = false;
            return Retrieved::Quit;
        }
        if (inRange(WM_PAINT)) {
            for (auto& entry : system.windows) {
                Window& window = *entry.second;
                if (!window.invalid || window.builtIn || window.thread != std::this_thread::get_id())
                    continue;
                if (options.filter && window.handle != options.filter) continue;
                if (!visibleOnScreenLocked(window)) continue;
                if (options.paintedAlready &&
                    std::find(options.paintedAlready->begin(), options.paintedAlready->end(),
                              window.handle) != options.paintedAlready->end())
                    continue;
                *message = MSG{};
                message->hwnd = window.handle;
                message->message = WM_PAINT;
                return Retrieved::Message;
            }
        }
        if (!options.wait) return Retrieved::Nothing;
        queue.waiting = true;
        system.wake.notify_all();
        system.wake.wait(lock);
        queue.waiting = false;
    }
}

}  // namespace zplat

// The windows, window classes and per-thread message queues of the layer.
// Window fields are read and written under WindowSystem::mutex; window
// procedures are always called with the mutex released.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zplat {

struct Window {
    HWND handle = nullptr;
    std::string className;  // canonical for the built-in controls
    bool builtIn = false;
    WNDPROC procedure = nullptr;
    HWND parent = nullptr;
    HMENU menu = nullptr;  // a child's control identifier
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;
    std::thread::id thread;
    bool invalid = false;  // has an update region
    bool erase = false;
    RECT update{};
    bool destroying = false;
    // COMBOBOX
    std::vector<std::pair<std::string, LPARAM>> items;
    int selection = -1;
};

struct WindowClass {
    std::string name;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    HBRUSH background = nullptr;
};

struct ThreadQueue {
    bool waiting = false;  // blocked in GetMessageA with nothing to do
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;
};

struct WindowSystem {
    std::mutex mutex;
    std::condition_variable wake;
    std::map<uintptr_t, std::shared_ptr<Window>> windows;  // by handle: creation order
    std::map<std::string, WindowClass> classes;            // by upper-cased name
    std::map<std::thread::id, ThreadQueue> queues;
    uintptr_t nextHandle = 0x10010;
    HWND focus = nullptr;
    bool quitRecorded = false;
    int quitRecordedCode = 0;
};

WindowSystem& windowSystem();

// Under the lock: the window of a handle, or null.
std::shared_ptr<Window> windowLocked(HWND handle);
std::shared_ptr<Window> findWindow(HWND handle);
std::vector<HWND> childWindows(HWND parent);
std::vector<HWND> topLevelWindowHandles();

// Calls the window's procedure without holding the lock; 0 for no window.
LRESULT callWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// Client area size and the outer-to-client offsets of a window.
struct Frame {
    int left, top, right, bottom;
};
Frame frameOf(const Window& window);
RECT clientRectOf(const Window& window);
// Visible with all its ancestors (under the lock).
bool visibleOnScreenLocked(const Window& window);
void invalidateLocked(Window& window, const RECT* rect, bool erase);

// Waits until every thread that owns a window is blocked in GetMessageA with
// nothing left to handle; false when that did not happen within the timeout.
bool waitUntilWindowThreadsIdle(int timeoutMilliseconds);

// Tests: removes every window without messages and empties every queue.
void resetWindowsForTests();

// The built-in control procedures.
LRESULT CALLBACK staticProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK buttonProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK comboBoxProcedure(HWND, UINT, WPARAM, LPARAM);

// Message retrieval shared by GetMessageA and the tests' dispatchPending.
enum class Retrieved { Message, Quit, Nothing };
struct RetrieveOptions {
    HWND filter = nullptr;
    UINT first = 0, last = 0;
    bool wait = true;
    bool consumeQuit = true;
    const std::vector<HWND>* paintedAlready = nullptr;  // no second WM_PAINT for these
};
Retrieved retrieveMessage(MSG* message, const RetrieveOptions& options);

}  // namespace zplat

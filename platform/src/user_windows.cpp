// Window classes, window creation and destruction, placement and text.
#include "paths.h"
#include "settings.h"
#include "window_system.h"

#include <algorithm>
#include <cstring>

namespace zplat {
namespace {

struct BuiltInClass {
    const char* name;
    WNDPROC procedure;
};

const BuiltInClass BUILT_IN_CLASSES[] = {
    {"STATIC", staticProcedure},
    {"BUTTON", buttonProcedure},
    {"COMBOBOX", comboBoxProcedure},
};

std::string classNameText(LPCSTR name) {
    if (!name) return {};
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(LOWORD(name));
    return name;
}

// A window and its descendants: WM_DESTROY parent first, WM_NCDESTROY
// children first, as on Windows.
void destroyTree(HWND handle) {
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        if (!window) return;
        window->destroying = true;
        window->style &= ~WS_VISIBLE;
    }
    callWindowProcedure(handle, WM_DESTROY, 0, 0);
    for (HWND child : childWindows(handle)) destroyTree(child);
    callWindowProcedure(handle, WM_NCDESTROY, 0, 0);

    WindowSystem& system = windowSystem();
    std::lock_guard<std::mutex> lock(system.mutex);
    system.windows.erase(reinterpret_cast<uintptr_t>(handle));
    for (auto& entry : system.queues) {
        auto& posted = entry.second.posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(),
                                    [handle](const MSG& message) { return message.hwnd == handle; }),
                     posted.end());
    }
    if (system.focus == handle) system.focus = nullptr;
}

bool activatingShow(int command) {
    return command != SW_HIDE && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE &&
           command != SW_SHOWMINNOACTIVE && command != SW_MINIMIZE;
}

}  // namespace
}  // namespace zplat

using namespace zplat;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name = classNameText(windowClass->lpszClassName);
    std::string key = upperAscii(name);
    for (const BuiltInClass& builtIn : BUILT_IN_CLASSES)
        if (key == builtIn.name) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    WindowSystem& system = windowSystem();
    std::lock_guard<std::mutex> lock(system.mutex);
    if (system.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass registered;
    registered.name = name;
    registered.procedure = windowClass->lpfnWndProc;
    registered.instance = windowClass->hInstance;
    registered.style = windowClass->style;
    registered.background = windowClass->hbrBackground;
    system.classes[key] = registered;
    return static_cast<ATOM>(0xC000 + system.classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return windowSystem().classes.erase(upperAscii(classNameText(className))) ? TRUE : FALSE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    std::string name = classNameText(className);
    std::string key = upperAscii(name);
    auto window = std::make_shared<Window>();
    for (const BuiltInClass& builtIn : BUILT_IN_CLASSES)
        if (key == builtIn.name) {
            window->className = builtIn.name;
            window->builtIn = true;
            window->procedure = builtIn.procedure;
        }
    bool isChild = (style & WS_CHILD) != 0;
    {
        WindowSystem& system = windowSystem();
        std::lock_guard<std::mutex> lock(system.mutex);
        if (!window->builtIn) {
            auto found = system.classes.find(key);
            if (found == system.classes.end()) {
                SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
                return nullptr;
            }
            window->className = found->second.name;
            window->procedure = found->second.procedure;
        }
        if (isChild && !windowLocked(parent)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (x == CW_USEDEFAULT) {
            x = isChild ? 0 : 26;
            y = isChild ? 0 : 26;
        }
        if (width == CW_USEDEFAULT) {
            width = isChild ? 0 : screenWidth() * 3 / 4;
            height = isChild ? 0 : screenHeight() * 3 / 4;
        }
        window->handle = reinterpret_cast<HWND>(system.nextHandle);
        system.nextHandle += 0x10;
        window->parent = parent;
        window->menu = menu;
        window->instance = instance;
        window->style = style;
        window->exStyle = exStyle;
        window->text = windowName ? windowName : "";
        window->x = x;
        window->y = y;
        window->width = width;
        window->height = height;
        window->thread = std::this_thread::get_id();
        system.windows[reinterpret_cast<uintptr_t>(window->handle)] = window;
    }
    HWND handle = window->handle;

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    LPARAM createParameter = reinterpret_cast<LPARAM>(&create);

    if (!callWindowProcedure(handle, WM_NCCREATE, 0, createParameter)) {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        windowSystem().windows.erase(reinterpret_cast<uintptr_t>(handle));
        return nullptr;
    }
    if (callWindowProcedure(handle, WM_CREATE, 0, createParameter) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        if (auto created = windowLocked(handle)) {
            if (created->style & WS_VISIBLE) invalidateLocked(*created, nullptr, true);
        } else {
            return nullptr;  // destroyed while being created
        }
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    auto window = findWindow(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        if (window->destroying) return FALSE;
    }
    destroyTree(handle);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) { return findWindow(handle) ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    return window && visibleOnScreenLocked(*window) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND handle) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    return window && (window->style & WS_CHILD) ? window->parent : nullptr;
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    bool wasVisible = false;
    bool takeFocus = false;
    HWND previousFocus = nullptr;
    {
        WindowSystem& system = windowSystem();
        std::lock_guard<std::mutex> lock(system.mutex);
        auto window = windowLocked(handle);
        if (!window) return FALSE;
        wasVisible = (window->style & WS_VISIBLE) != 0;
        if (command == SW_HIDE) {
            window->style &= ~WS_VISIBLE;
            if (system.focus == handle) system.focus = nullptr;
        } else {
            window->style |= WS_VISIBLE;
            if (!wasVisible) invalidateLocked(*window, nullptr, true);
            if (!(window->style & WS_CHILD) && activatingShow(command) && system.focus != handle) {
                takeFocus = true;
                previousFocus = system.focus;
                system.focus = handle;
            }
        }
    }
    if (takeFocus) {
        if (previousFocus) callWindowProcedure(previousFocus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
        callWindowProcedure(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previousFocus), 0);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND handle) {
    bool paint = false;
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        if (!window) return FALSE;
        paint = window->invalid && visibleOnScreenLocked(*window);
    }
    if (paint) callWindowProcedure(handle, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND handle, HWND, int x, int y, int width, int height, UINT flags) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    if (!window) return FALSE;
    if (!(flags & SWP_NOMOVE)) {
        window->x = x;
        window->y = y;
    }
    if (!(flags & SWP_NOSIZE) && (window->width != width || window->height != height)) {
        window->width = width;
        window->height = height;
        if (!(flags & SWP_NOREDRAW)) invalidateLocked(*window, nullptr, true);
    }
    if (flags & SWP_SHOWWINDOW) {
        if (!(window->style & WS_VISIBLE)) invalidateLocked(*window, nullptr, true);
        window->style |= WS_VISIBLE;
    }
    if (flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(handle, HWND_TOP, x, y, width, height,
                        SWP_NOZORDER | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    if (!window) return FALSE;
    *rect = clientRectOf(*window);
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    if (!window) return FALSE;
    int left = window->x;
    int top = window->y;
    for (auto parent = (window->style & WS_CHILD) ? windowLocked(window->parent) : nullptr; parent;
         parent = (parent->style & WS_CHILD) ? windowLocked(parent->parent) : nullptr) {
        Frame frame = frameOf(*parent);
        left += parent->x + frame.left;
        top += parent->y + frame.top;
    }
    *rect = RECT{left, top, left + window->width, top + window->height};
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return screenWidth();
    case SM_CYSCREEN: return screenHeight();
    default: return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    if (!IsWindow(handle)) return FALSE;
    return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    if (!IsWindow(handle)) return 0;
    return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthA(HWND handle) {
    return static_cast<int>(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0));
}

HWND WINAPI SetFocus(HWND handle) {
    HWND previous = nullptr;
    {
        WindowSystem& system = windowSystem();
        std::lock_guard<std::mutex> lock(system.mutex);
        if (handle && !windowLocked(handle)) return nullptr;
        previous = system.focus;
        if (previous == handle) return previous;
        system.focus = handle;
    }
    if (previous) callWindowProcedure(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (handle) callWindowProcedure(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus(void) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    return windowSystem().focus;
}

LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(handle); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        if (!window) return FALSE;
        window->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) return 0;
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        if (!window) {
            buffer[0] = '\0';
            return 0;
        }
        size_t count = std::min(window->text.size(), static_cast<size_t>(wParam) - 1);
        std::memcpy(buffer, window->text.data(), count);
        buffer[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        return window ? static_cast<LRESULT>(window->text.size()) : 0;
    }
    default: return 0;
    }
}

// Painting, brushes, drawing contexts, fills and icons. There is no screen:
// fills and icon drawings are recorded against the window they were drawn in.
#include "graphics.h"

#include "records.h"
#include "window_system.h"

#include <map>
#include <mutex>

namespace zplat {
namespace {

struct Graphics {
    std::mutex mutex;
    std::map<uintptr_t, COLORREF> brushes;  // by handle: creation order
    std::map<uintptr_t, HWND> contexts;
    uintptr_t nextBrush = 0x20000;
    uintptr_t nextContext = 0x30000;
};

Graphics& graphics() {
    static Graphics* instance = new Graphics;  // brushes outlive every test
    return *instance;
}

constexpr int SYSTEM_COLOURS = 31;

HDC newContext(HWND window) {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    uintptr_t handle = g.nextContext;
    g.nextContext += 0x10;
    g.contexts[handle] = window;
    return reinterpret_cast<HDC>(handle);
}

bool contextWindow(HDC dc, HWND* window) {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    auto found = g.contexts.find(reinterpret_cast<uintptr_t>(dc));
    if (found == g.contexts.end()) return false;
    *window = found->second;
    return true;
}

}  // namespace

std::vector<COLORREF> liveBrushColors() {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    std::vector<COLORREF> colours;
    for (auto& entry : g.brushes) colours.push_back(entry.second);
    return colours;
}

}  // namespace zplat

using namespace zplat;

DWORD WINAPI GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(212, 208, 200);
    default: return RGB(192, 192, 192);
    }
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    uintptr_t handle = g.nextBrush;
    g.nextBrush += 0x10;
    g.brushes[handle] = color & 0x00FFFFFFu;
    return reinterpret_cast<HBRUSH>(handle);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    return g.brushes.erase(reinterpret_cast<uintptr_t>(object)) ? TRUE : FALSE;
}

HDC WINAPI GetDC(HWND window) {
    if (window && !IsWindow(window)) return nullptr;
    return newContext(window);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    Graphics& g = graphics();
    std::lock_guard<std::mutex> lock(g.mutex);
    return g.contexts.erase(reinterpret_cast<uintptr_t>(dc)) ? 1 : 0;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    HWND window = nullptr;
    if (!rect || !contextWindow(dc, &window)) return 0;
    COLORREF colour = 0;
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= SYSTEM_COLOURS) {
        colour = GetSysColor(static_cast<int>(value - 1));
    } else {
        Graphics& g = graphics();
        std::lock_guard<std::mutex> lock(g.mutex);
        auto found = g.brushes.find(value);
        if (found == g.brushes.end()) return 0;
        colour = found->second;
    }
    record(&Records::fills, platformtest::Fill{window, *rect, colour});
    return 1;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    HWND window = nullptr;
    if (!icon || !contextWindow(dc, &window)) return FALSE;
    record(&Records::icons, platformtest::IconDrawn{window, x, y, icon});
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    if (!handle) return TRUE;  // the whole screen: nothing of ours to repaint
    auto window = windowLocked(handle);
    if (!window) return FALSE;
    invalidateLocked(*window, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT*) {
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    auto window = windowLocked(handle);
    if (!window) return FALSE;
    window->invalid = false;
    window->erase = false;
    return TRUE;
}

HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    if (!paint) return nullptr;
    *paint = PAINTSTRUCT{};
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto window = windowLocked(handle);
        if (!window) return nullptr;
        paint->fErase = window->erase ? TRUE : FALSE;
        paint->rcPaint = window->invalid ? window->update : RECT{0, 0, 0, 0};
        window->invalid = false;
        window->erase = false;
    }
    paint->hdc = newContext(handle);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    ReleaseDC(handle, paint->hdc);
    return TRUE;
}

// The built-in controls: STATIC, BUTTON and COMBOBOX (a drop-down list).
#include "window_system.h"

#include <cstring>

namespace zplat {

LRESULT CALLBACK staticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK buttonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != BM_CLICK) return DefWindowProcA(window, message, wParam, lParam);
    HWND parent = nullptr;
    WORD id = 0;
    {
        std::lock_guard<std::mutex> lock(windowSystem().mutex);
        auto button = windowLocked(window);
        if (!button) return 0;
        parent = button->parent;
        id = LOWORD(reinterpret_cast<UINT_PTR>(button->menu));
    }
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
    return 0;
}

LRESULT CALLBACK comboBoxProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    std::unique_lock<std::mutex> lock(windowSystem().mutex);
    auto combo = windowLocked(handle);
    if (!combo) return CB_ERR;
    auto& items = combo->items;
    auto validIndex = [&](WPARAM index) { return index < items.size(); };
    switch (message) {
    case CB_ADDSTRING: {
        const char* text = reinterpret_cast<const char*>(lParam);
        items.emplace_back(text ? text : "", 0);
        return static_cast<LRESULT>(items.size() - 1);
    }
    case CB_DELETESTRING: {
        if (!validIndex(wParam)) return CB_ERR;
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(wParam));
        int removed = static_cast<int>(wParam);
        if (combo->selection == removed) {
            combo->selection = -1;
            combo->text.clear();
        } else if (combo->selection > removed) {
            --combo->selection;
        }
        return static_cast<LRESULT>(items.size());
    }
    case CB_GETCOUNT: return static_cast<LRESULT>(items.size());
    case CB_GETCURSEL: return combo->selection;
    case CB_SETCURSEL:
        if (!validIndex(wParam)) {
            combo->selection = -1;
            combo->text.clear();
            return CB_ERR;
        }
        combo->selection = static_cast<int>(wParam);
        combo->text = items[wParam].first;
        return static_cast<LRESULT>(wParam);
    case CB_GETITEMDATA:
        if (!validIndex(wParam)) return CB_ERR;
        return items[wParam].second;
    case CB_SETITEMDATA:
        if (!validIndex(wParam)) return CB_ERR;
        items[wParam].second = lParam;
        return TRUE;
    case CB_GETLBTEXTLEN:
        if (!validIndex(wParam)) return CB_ERR;
        return static_cast<LRESULT>(items[wParam].first.size());
    case CB_GETLBTEXT: {
        if (!validIndex(wParam) || !lParam) return CB_ERR;
        const std::string& text = items[wParam].first;
        std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case CB_RESETCONTENT:
        items.clear();
        combo->selection = -1;
        combo->text.clear();
        return TRUE;
    default:
        lock.unlock();
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

}  // namespace zplat

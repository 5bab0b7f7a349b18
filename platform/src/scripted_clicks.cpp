#include "scripted_clicks.h"

#include <cstdlib>
#include <mutex>

#include "window_system.h"

namespace zplat {

namespace {

struct Script {
    std::mutex mutex;
    std::vector<ScriptedClick> pending;
};

Script& script()
{
    static Script* instance = new Script;
    return *instance;
}

// The visible button with that caption, searched from the top-level windows down.
HWND findButton(const std::string& caption)
{
    std::lock_guard<std::mutex> lock(windowSystem().mutex);
    for (const auto& entry : windowSystem().windows) {
        const Window& window = *entry.second;
        if (window.className == "BUTTON" && window.text == caption && !window.destroying &&
            visibleOnScreenLocked(window))
            return window.handle;
    }
    return nullptr;
}

}  // namespace

std::vector<ScriptedClick> parseScriptedClicks(const std::string& text)
{
    std::vector<ScriptedClick> clicks;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string entry = text.substr(start, end - start);
        const size_t colon = entry.find(':');
        if (colon != std::string::npos && colon > 0 && colon + 1 < entry.size()) {
            char* rest = nullptr;
            const long tick = std::strtol(entry.c_str(), &rest, 10);
            if (rest == entry.c_str() + colon && tick >= 0)
                clicks.push_back({tick, entry.substr(colon + 1)});
        }
        start = end + 1;
    }
    return clicks;
}

void loadScriptedClicksFromEnvironment()
{
    const char* value = std::getenv("ZIMBALO_CLICKS");
    std::lock_guard<std::mutex> lock(script().mutex);
    script().pending = value ? parseScriptedClicks(value) : std::vector<ScriptedClick>{};
}

void performScriptedClicks(long tick)
{
    std::vector<ScriptedClick> due;
    {
        std::lock_guard<std::mutex> lock(script().mutex);
        auto& pending = script().pending;
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->tick <= tick) {
                due.push_back(*it);
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const ScriptedClick& click : due) {
        HWND button = findButton(click.caption);
        if (button == nullptr)
            continue;  // like a click where no such button is shown
        std::shared_ptr<Window> window = findWindow(button);
        if (!window)
            continue;
        const WPARAM command = MAKEWPARAM(LOWORD(reinterpret_cast<uintptr_t>(window->menu)), BN_CLICKED);
        PostMessageA(window->parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(button));
    }
}

}  // namespace zplat

#include "resources.h"

#include "platform_resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

// The program links the table; a test program without one has no strings.
extern const PlatformStringResource platformStringResources[] __attribute__((weak));

namespace zplat {
namespace {

struct Icons {
    std::mutex mutex;
    std::map<std::string, uintptr_t> handles;  // "module:107", "stock:32512", "cursor:32512"
    uintptr_t next = 0x50000;
};

Icons& icons() {
    static Icons* instance = new Icons;
    return *instance;
}

std::string resourceKey(const char* kind, LPCSTR name) {
    if (!name) return std::string(kind) + ":";
    if (IS_INTRESOURCE(name)) return std::string(kind) + ":" + std::to_string(LOWORD(name));
    return std::string(kind) + ":" + name;
}

uintptr_t handleFor(const std::string& key) {
    Icons& all = icons();
    std::lock_guard<std::mutex> lock(all.mutex);
    auto found = all.handles.find(key);
    if (found != all.handles.end()) return found->second;
    uintptr_t handle = all.next;
    all.next += 0x10;
    all.handles[key] = handle;
    return handle;
}

}  // namespace

HINSTANCE programInstance() { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000)); }

HICON moduleIcon(int resourceId) {
    return reinterpret_cast<HICON>(handleFor(resourceKey("module", MAKEINTRESOURCEA(resourceId))));
}

}  // namespace zplat

using namespace zplat;

int WINAPI LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
    if (!buffer || bufferMax <= 0) return 0;
    buffer[0] = '\0';
    if (!platformStringResources) return 0;
    for (const PlatformStringResource* entry = platformStringResources; entry->text; ++entry) {
        if (entry->id != id) continue;
        size_t length = std::min(std::strlen(entry->text), static_cast<size_t>(bufferMax) - 1);
        std::memcpy(buffer, entry->text, length);
        buffer[length] = '\0';
        return static_cast<int>(length);
    }
    return 0;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return reinterpret_cast<HICON>(handleFor(resourceKey(instance ? "module" : "stock", name)));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return reinterpret_cast<HCURSOR>(handleFor(resourceKey(instance ? "module-cursor" : "cursor", name)));
}

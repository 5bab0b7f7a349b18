// Kernel services: last error, the module file name, time and text helpers.
#include "paths.h"
#include "resources.h"
#include "settings.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

thread_local DWORD lastError = 0;

std::string runningExecutable() {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

using namespace zplat;

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD error) { lastError = error; }

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module && module != programInstance()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string hostPath = moduleHostPathOverride().value_or(runningExecutable());
    if (hostPath.empty()) {
        fileName[0] = '\0';
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    std::string path = windowsPathFor(hostPath);
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    return moduleName ? nullptr : programInstance();
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetTickCount(void) {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

LPSTR WINAPI lstrcpyA(LPSTR destination, LPCSTR source) {
    if (!destination || !source) return nullptr;
    return std::strcpy(destination, source);
}

LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, int maxLength) {
    if (!destination || !source || maxLength <= 0) return destination;
    size_t count = std::min(std::strlen(source), static_cast<size_t>(maxLength) - 1);
    std::memcpy(destination, source, count);
    destination[count] = '\0';
    return destination;
}

LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source) {
    if (!destination || !source) return nullptr;
    return std::strcat(destination, source);
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return std::strcmp(a ? a : "", b ? b : ""); }

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    std::string left = upperAscii(a ? a : "");
    std::string right = upperAscii(b ? b : "");
    return left < right ? -1 : (left > right ? 1 : 0);
}

// Like Windows, the output is limited to 1024 characters.
int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    if (!buffer || !format) return 0;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return written < 0 ? 0 : std::min(written, 1024);
}

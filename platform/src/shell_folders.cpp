// The component library per thread, the desktop folder object and the
// desktop directory's item list (which carries its path in platform form).
#include "desktop_folder.h"
#include "paths.h"

#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

thread_local int componentInitialisations = 0;

class DesktopFolder final : public IShellFolder {
public:
    ULONG WINAPI AddRef() override { return ++references; }
    ULONG WINAPI Release() override {
        ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> references{1};
};

}  // namespace

using namespace zplat;

HRESULT WINAPI CoInitialize(LPVOID) { return componentInitialisations++ == 0 ? S_OK : S_FALSE; }

void WINAPI CoUninitialize(void) {
    if (componentInitialisations > 0) --componentInitialisations;
}

LPVOID WINAPI CoTaskMemAlloc(SIZE_T size) { return std::malloc(size ? size : 1); }

void WINAPI CoTaskMemFree(LPVOID memory) { std::free(memory); }

HRESULT WINAPI SHGetDesktopFolder(IShellFolder** folder) {
    if (!folder) return E_INVALIDARG;
    *folder = new DesktopFolder;
    return S_OK;
}

HRESULT WINAPI SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    if (folder != CSIDL_DESKTOPDIRECTORY && folder != CSIDL_DESKTOP) return E_INVALIDARG;
    std::optional<std::string> host = desktopHostFolder();
    if (!host) return E_FAIL;
    // One item holding the path, then the empty item that ends the list.
    std::string path = windowsPathFor(*host);
    size_t itemSize = sizeof(USHORT) + path.size() + 1;
    if (itemSize > 0xFFFF) return E_FAIL;
    BYTE* memory = static_cast<BYTE*>(CoTaskMemAlloc(itemSize + sizeof(USHORT)));
    if (!memory) return E_OUTOFMEMORY;
    USHORT size = static_cast<USHORT>(itemSize);
    USHORT end = 0;
    std::memcpy(memory, &size, sizeof size);
    std::memcpy(memory + sizeof(USHORT), path.c_str(), path.size() + 1);
    std::memcpy(memory + itemSize, &end, sizeof end);
    *list = reinterpret_cast<LPITEMIDLIST>(memory);
    return S_OK;
}

BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
    if (!path) return FALSE;
    path[0] = '\0';
    if (!list) return FALSE;
    const BYTE* memory = reinterpret_cast<const BYTE*>(list);
    USHORT size = 0;
    std::memcpy(&size, memory, sizeof size);
    if (size <= sizeof(USHORT)) return FALSE;
    const char* text = reinterpret_cast<const char*>(memory + sizeof(USHORT));
    size_t length = strnlen(text, size - sizeof(USHORT));
    if (length >= MAX_PATH) return FALSE;  // does not fit the caller's MAX_PATH buffer
    std::memcpy(path, text, length);
    path[length] = '\0';
    return TRUE;
}

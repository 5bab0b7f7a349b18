#include "desktop/desktop_folder.h"

#include <cstring>
#include <windows.h>
#include <shlobj.h>

namespace {
char desktopPathBuffer[DESKTOP_PATH_BYTES];
}

const char* desktopPath()
{
    const HRESULT initialised = CoInitialize(nullptr);
    IShellFolder* desktopFolder = nullptr;
    // The folder object is only asked for to skip the lookup when the shell
    // cannot supply it.
    if (SUCCEEDED(SHGetDesktopFolder(&desktopFolder)) && desktopFolder != nullptr) {
        LPITEMIDLIST items = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items))) {
            // Converted aside, so that a failed conversion keeps the earlier path.
            char found[DESKTOP_PATH_BYTES] = "";
            if (SHGetPathFromIDListA(items, found)) {
                std::memcpy(desktopPathBuffer, found, sizeof desktopPathBuffer);
                desktopPathBuffer[DESKTOP_PATH_BYTES - 1] = '\0';
            }
            CoTaskMemFree(items);
        }
        desktopFolder->Release();
    }
    if (SUCCEEDED(initialised)) {
        CoUninitialize();
    }
    return desktopPathBuffer;
}

void forgetDesktopPath()
{
    desktopPathBuffer[0] = '\0';
}

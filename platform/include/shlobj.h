// Shell folders: the desktop folder object and special folder locations.
#pragma once

#include "windows.h"
#include "shellapi.h"

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PERSONAL 0x0005
#define CSIDL_DESKTOPDIRECTORY 0x0010

typedef struct _SHITEMID {
    USHORT cb;
    BYTE abID[1];
} SHITEMID, *LPSHITEMID;
typedef const SHITEMID* LPCSHITEMID;

typedef struct _ITEMIDLIST {
    SHITEMID mkid;
} ITEMIDLIST, *LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;

// The shell's desktop folder object; the program only releases it.
struct IShellFolder : public IUnknown {
protected:
    ~IShellFolder() = default;
};
typedef IShellFolder* LPSHELLFOLDER;

HRESULT WINAPI SHGetDesktopFolder(IShellFolder** folder);
// CSIDL_DESKTOPDIRECTORY is the desktop folder as the desktop environment
// defines it (XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop); it fails
// when that folder does not exist. Free the list with CoTaskMemFree.
HRESULT WINAPI SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// Writes the path in the platform's form into a MAX_PATH buffer.
BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);

#define SHGetPathFromIDList SHGetPathFromIDListA

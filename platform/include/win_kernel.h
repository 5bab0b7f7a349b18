// Kernel services: modules, the loader, last error and the lstr* helpers.
#pragma once

#include "win_types.h"

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);

// The executable's full path in the platform's path form. Like Windows, a
// buffer that is too small gets the path cut to size-1 characters plus the
// terminator, the result is size and the last error ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);

HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);

void WINAPI Sleep(DWORD milliseconds);
DWORD WINAPI GetTickCount(void);

int WINAPI lstrlenA(LPCSTR text);
LPSTR WINAPI lstrcpyA(LPSTR destination, LPCSTR source);
LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, int maxLength);
LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source);
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

#define GetModuleFileName GetModuleFileNameA
#define GetModuleHandle GetModuleHandleA
#define LoadLibrary LoadLibraryA
#define lstrlen lstrlenA
#define lstrcpy lstrcpyA
#define lstrcpyn lstrcpynA
#define lstrcat lstrcatA
#define lstrcmp lstrcmpA
#define lstrcmpi lstrcmpiA
#define wsprintf wsprintfA

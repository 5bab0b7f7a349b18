#pragma once
#include <windows.h>

// Actions that open other windows or touch files are posted by the main
// window to itself and run when these arrive.
constexpr UINT UM_SEND_MAIL = WM_USER + 1;
constexpr UINT UM_OPEN_HOMEPAGE = WM_USER + 2;
constexpr UINT UM_COPY_TO_DESKTOP = WM_USER + 3;
constexpr UINT UM_RECORD_START = WM_USER + 4;
constexpr UINT UM_RECORD_STOP = WM_USER + 5;

#pragma once
#include <windows.h>

// Room for a path, its terminator and the second terminator that the
// shell's file operation needs.
constexpr int COPY_PATH_BYTES = 400;
constexpr int COPY_REFUSED = -1;

// The running executable's path and the desktop copy's path, both upper-cased.
// Empty when the path did not fit with both terminators.
extern char modulePath[COPY_PATH_BYTES];
extern char desktopTarget[COPY_PATH_BYTES];
extern bool runningFromDesktopCopy;

// Fills modulePath and desktopTarget and tells whether they are the same file.
void detectDesktopCopy(HINSTANCE instance);

// Copies source to target through the shell, replacing an existing file.
// Returns the shell's result, or COPY_REFUSED for a path that is empty or
// would not fit its buffer with both terminators.
int copyToDesktop(HWND owner, char (&source)[COPY_PATH_BYTES], char (&target)[COPY_PATH_BYTES]);

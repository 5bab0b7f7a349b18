#pragma once
#include <windows.h>

// 0 until the start command has run, then what the stream's start returned:
// 1 streaming, -1 the microphone failed, -2 the sound output failed.
extern int startResult;

// Switches the window to the streaming view and starts the stream. Runs at
// most once, since the first step hides the start button.
void runStartCommand(HWND window);

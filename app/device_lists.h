#pragma once
#include <windows.h>

// Lists the wave devices that can carry 44.1 kHz mono 16-bit, in device
// order; each entry's item data is its device number. Entry 0 is selected.
void fillInputChooser(HWND chooser);
void fillOutputChooser(HWND chooser);

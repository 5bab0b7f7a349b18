#pragma once
#include <windows.h>

constexpr int TITLE_BYTES = 100;
constexpr int CLASS_NAME_BYTES = 100;
constexpr int SHARED_TEXT_BYTES = 700;

extern char title[TITLE_BYTES];
extern char className[CLASS_NAME_BYTES];

// Loads the window title and the class name with the given instance.
void loadTitleAndClassName(HINSTANCE instance);

// Loads a string into the shared text buffer and returns it; the next call
// overwrites it, so the caller uses the text at once.
char* loadText(UINT id);

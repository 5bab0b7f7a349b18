#pragma once
#include <windows.h>

// Opens the maker's home page with the default handler for web addresses.
void openHomePage(HWND owner);

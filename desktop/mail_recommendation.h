#pragma once
#include <windows.h>

// Opens the user's mail program through Simple MAPI with a prepared message
// and no recipients; failures are shown in message boxes owned by `owner`.
void sendRecommendation(const char* subject, const char* noteText, HWND owner);

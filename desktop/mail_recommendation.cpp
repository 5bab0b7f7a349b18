#include "desktop/mail_recommendation.h"

#include <mapi.h>

namespace {

const char ERROR_CAPTION[] = "Error";

void reportError(HWND owner, const char* text)
{
    MessageBoxA(owner, text, ERROR_CAPTION, MB_OK);
}

}  // namespace

void sendRecommendation(const char* subject, const char* noteText, HWND owner)
{
    MapiMessage message = {};
    // Simple MAPI only reads these texts; its fields are not const.
    message.lpszSubject = const_cast<LPSTR>(subject);
    message.lpszNoteText = const_cast<LPSTR>(noteText);

    // Loaded on demand and kept: a later request only adds a reference.
    HMODULE library = LoadLibraryA("MAPI32.DLL");
    if (library == nullptr) {
        reportError(owner, "Cannot load MAPI.DLL");
        return;
    }
    FARPROC found = GetProcAddress(library, "MAPISendMail");
    if (found == nullptr) {
        reportError(owner, "Cannot find MAPISendMail");
        return;
    }
    // Through a plain function pointer, so that the cast to the real
    // signature is not taken for a mistake.
    LPMAPISENDMAIL mapiSendMail =
        reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void (*)()>(found));
    const ULONG result = mapiSendMail(0, reinterpret_cast<ULONG_PTR>(owner), &message,
                                      MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG, 0);
    if (result != SUCCESS_SUCCESS) {
        reportError(owner, "Cannot send message");
    }
}

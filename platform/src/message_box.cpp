// No screen: a message box is its text on stderr, answered at once with OK.
#include "records.h"

#include <cstdio>

using namespace zplat;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string shownText = text ? text : "";
    std::string shownCaption = caption ? caption : "Error";
    std::fprintf(stderr, "%s: %s\n", shownCaption.c_str(), shownText.c_str());
    record(&Records::messageBoxes, platformtest::MessageBoxShown{owner, shownText, shownCaption, type});
    return IDOK;
}

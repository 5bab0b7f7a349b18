#include "desktop/self_install.h"

#include <cstring>
#include <shellapi.h>

#include "desktop/desktop_folder.h"

char modulePath[COPY_PATH_BYTES];
char desktopTarget[COPY_PATH_BYTES];
bool runningFromDesktopCopy;

namespace {

const char DESKTOP_COPY_NAME[] = "\\Zimbalo.exe";
// The longest text that leaves room for both terminators.
constexpr std::size_t LONGEST_COPY_PATH = COPY_PATH_BYTES - 2;

// Independent of any locale: only a to z change.
void upperCase(char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text >= 'a' && *text <= 'z') {
            *text = static_cast<char>(*text - 'a' + 'A');
        }
    }
}

bool fitsWithBothTerminators(const char* text)
{
    return strnlen(text, COPY_PATH_BYTES) <= LONGEST_COPY_PATH;
}

}  // namespace

void detectDesktopCopy(HINSTANCE instance)
{
    runningFromDesktopCopy = false;
    const DWORD length = GetModuleFileNameA(instance, modulePath, COPY_PATH_BYTES);
    // A path that was cut short names another file: drop it rather than copy that.
    if (length == 0 || length > LONGEST_COPY_PATH) {
        modulePath[0] = '\0';
    }
    const char* folder = desktopPath();
    if (std::strlen(folder) + std::strlen(DESKTOP_COPY_NAME) > LONGEST_COPY_PATH) {
        desktopTarget[0] = '\0';
    } else {
        std::strcpy(desktopTarget, folder);
        std::strcat(desktopTarget, DESKTOP_COPY_NAME);
    }
    upperCase(modulePath);
    upperCase(desktopTarget);
    runningFromDesktopCopy = modulePath[0] != '\0' && desktopTarget[0] != '\0' &&
                             std::strcmp(modulePath, desktopTarget) == 0;
}

int copyToDesktop(HWND owner, char (&source)[COPY_PATH_BYTES], char (&target)[COPY_PATH_BYTES])
{
    if (source[0] == '\0' || target[0] == '\0' || !fitsWithBothTerminators(source) ||
        !fitsWithBothTerminators(target)) {
        return COPY_REFUSED;
    }
    // The shell takes lists of names ended by an empty name.
    source[std::strlen(source) + 1] = '\0';
    target[std::strlen(target) + 1] = '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_COPY;
    operation.pFrom = source;
    operation.pTo = target;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&operation);
}

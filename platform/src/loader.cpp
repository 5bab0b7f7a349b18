// The loader. The only library is our Simple MAPI, "MAPI32.DLL", present when
// the desktop has a mail composer (xdg-email) or a test says so.
#include "mail.h"
#include "paths.h"
#include "records.h"
#include "resources.h"
#include "settings.h"

#include <mutex>

namespace {

HMODULE mapiModule() { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E000000)); }

std::mutex referencesMutex;
int mapiReferences = 0;

std::string baseName(const std::string& name) {
    size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

using namespace zplat;

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    record(&Records::libraries, std::string(fileName));
    std::string name = upperAscii(baseName(fileName));
    if ((name == "MAPI32.DLL" || name == "MAPI32") && mailMode() != MailMode::Missing) {
        std::lock_guard<std::mutex> lock(referencesMutex);
        ++mapiReferences;
        return mapiModule();
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == mapiModule() && procName && !IS_INTRESOURCE(procName) &&
        std::string(procName) == "MAPISendMail" && mailMode() == MailMode::Available)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&mapiSendMail));
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (module != mapiModule()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(referencesMutex);
    if (mapiReferences == 0) return FALSE;
    --mapiReferences;
    return TRUE;
}

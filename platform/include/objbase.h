// Component library: initialisation per thread and task memory.
#pragma once

#include "win_types.h"

// S_OK on a thread's first call, S_FALSE when it is already initialised.
HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize(void);
LPVOID WINAPI CoTaskMemAlloc(SIZE_T size);
void WINAPI CoTaskMemFree(LPVOID memory);

struct IUnknown {
    virtual ULONG WINAPI AddRef() = 0;
    virtual ULONG WINAPI Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// String and icon resources of the program module.
#pragma once

#include <windows.h>

namespace zplat {

// The instance handle that the program's module has (what main passes to WinMain).
HINSTANCE programInstance();
HICON moduleIcon(int resourceId);

}  // namespace zplat

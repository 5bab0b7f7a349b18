// Our Simple MAPI: MAPISendMail opens the desktop's mail composer.
#pragma once

#include <mapi.h>

namespace zplat {

ULONG FAR PASCAL mapiSendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                              FLAGS flags, ULONG reserved);

}  // namespace zplat

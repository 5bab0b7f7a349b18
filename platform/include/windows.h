// Our own layer of the Windows interfaces that the program uses, for Linux.
// Only what the program needs is declared; types keep their Windows widths.
#pragma once

#include "win_types.h"
#include "win_kernel.h"
#include "win_user.h"
#include "win_gdi.h"
#include "objbase.h"
#include "mmsystem.h"

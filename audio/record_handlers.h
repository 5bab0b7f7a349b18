#pragma once
#include <windows.h>

// The handlers of UM_RECORD_START and UM_RECORD_STOP; both return 0.
LRESULT onRecordStart();
LRESULT onRecordStop();

#include "app/device_lists.h"

#include <mmsystem.h>

namespace {

void addDevice(HWND chooser, const char* name, UINT device)
{
    const LRESULT index = SendMessageA(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(chooser, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(device));
}

}  // namespace

// A device whose capabilities cannot be read is not listed: its name and
// formats would be whatever the query left behind.
void fillInputChooser(HWND chooser)
{
    const UINT count = waveInGetNumDevs();
    for (UINT device = 0; device < count; ++device) {
        WAVEINCAPSA caps = {};
        if (waveInGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
            continue;
        }
        if (caps.dwFormats & WAVE_FORMAT_4M16) {
            addDevice(chooser, caps.szPname, device);
        }
    }
    SendMessageA(chooser, CB_SETCURSEL, 0, 0);
}

void fillOutputChooser(HWND chooser)
{
    const UINT count = waveOutGetNumDevs();
    for (UINT device = 0; device < count; ++device) {
        WAVEOUTCAPSA caps = {};
        if (waveOutGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) {
            continue;
        }
        if (caps.dwFormats & WAVE_FORMAT_4M16) {
            addDevice(chooser, caps.szPname, device);
        }
    }
    SendMessageA(chooser, CB_SETCURSEL, 0, 0);
}

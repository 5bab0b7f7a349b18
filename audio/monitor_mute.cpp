#include "audio/monitor_mute.h"

#include <mmsystem.h>

LONG MonitorMute::savedValue;
LONG MonitorMute::appliedValue;

namespace {

// The open mixer and the microphone line's mute control.
struct MuteControl {
    HMIXER mixer = nullptr;
    MIXERCONTROLA control = {};
    bool found = false;
};

HMIXEROBJ asObject(HMIXER mixer)
{
    return reinterpret_cast<HMIXEROBJ>(mixer);
}

// Without MIXER_OBJECTF_HMIXER the mixer calls would take the handle for a
// mixer device number.
constexpr DWORD BY_HANDLE = MIXER_OBJECTF_HMIXER;

// Opens mixer device 0 and looks up the control. The mixer stays open when
// the open itself succeeded, whether or not the control was found.
MuteControl openMuteControl()
{
    MuteControl mute;
    if (mixerOpen(&mute.mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) {
        mute.mixer = nullptr;
        return mute;
    }
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (mixerGetLineInfoA(asObject(mute.mixer), &line,
                          BY_HANDLE | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) {
        return mute;
    }
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof mute.control;
    controls.pamxctrl = &mute.control;
    mute.control.cbStruct = sizeof mute.control;
    mute.found =
        mixerGetLineControlsA(asObject(mute.mixer), &controls,
                              BY_HANDLE | MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR;
    return mute;
}

void closeMuteControl(const MuteControl& mute)
{
    if (mute.mixer != nullptr) {
        mixerClose(mute.mixer);
    }
}

// One channel, one 4-byte value.
MIXERCONTROLDETAILS detailsFor(const MuteControl& mute, LONG* value)
{
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = mute.control.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof *value;
    details.paDetails = value;
    return details;
}

}  // namespace

void MonitorMute::read(LONG& current, LONG& minimum, LONG& maximum)
{
    current = 0;
    minimum = 0;
    maximum = 0;
    const MuteControl mute = openMuteControl();
    if (mute.found) {
        LONG value = 0;
        MIXERCONTROLDETAILS details = detailsFor(mute, &value);
        if (mixerGetControlDetailsA(asObject(mute.mixer), &details,
                                    BY_HANDLE | MIXER_GETCONTROLDETAILSF_VALUE) ==
            MMSYSERR_NOERROR) {
            current = value;
        }
        minimum = mute.control.Bounds.lMinimum;
        maximum = mute.control.Bounds.lMaximum;
    }
    closeMuteControl(mute);
}

void MonitorMute::write(LONG value)
{
    const MuteControl mute = openMuteControl();
    if (mute.found) {
        MIXERCONTROLDETAILS details = detailsFor(mute, &value);
        mixerSetControlDetails(asObject(mute.mixer), &details,
                               BY_HANDLE | MIXER_SETCONTROLDETAILSF_VALUE);
    }
    closeMuteControl(mute);
}

void MonitorMute::apply()
{
    LONG current;
    LONG minimum;
    LONG maximum;
    read(current, minimum, maximum);
    savedValue = current;
    appliedValue = maximum;
    write(appliedValue);
}

void MonitorMute::restore()
{
    LONG current;
    LONG minimum;
    LONG maximum;
    read(current, minimum, maximum);
    if (current == appliedValue) {
        write(savedValue);
    }
}

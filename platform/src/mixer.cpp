#include "mixer.h"

#include <cstring>
#include <mutex>
#include <set>

namespace zplat {
namespace {

constexpr DWORD MICROPHONE_LINE_ID = 0x00010000;
constexpr DWORD MUTE_CONTROL_ID = 7;

struct MixerDevice {
    std::mutex mutex;
    platformtest::Mixer config;
    std::vector<LONG> writes;
    std::set<uintptr_t> openHandles;
    uintptr_t nextHandle = 0x60000;
    MixerDevice() { config.present = false; }
};

MixerDevice& device() {
    static MixerDevice* instance = new MixerDevice;
    return *instance;
}

// A handle from mixerOpen, or (as Windows also accepts) the device identifier 0.
bool reachable(const MixerDevice& mixer, HMIXEROBJ object) {
    uintptr_t value = reinterpret_cast<uintptr_t>(object);
    return mixer.openHandles.count(value) || (value == 0 && mixer.config.present);
}

void copyName(char* target, size_t size, const char* name) {
    std::strncpy(target, name, size - 1);
    target[size - 1] = '\0';
}

}  // namespace

void setMixerState(const platformtest::Mixer& mixer) {
    std::lock_guard<std::mutex> lock(device().mutex);
    device().config = mixer;
}

platformtest::Mixer mixerState() {
    std::lock_guard<std::mutex> lock(device().mutex);
    return device().config;
}

void setMixerValue(LONG value) {
    std::lock_guard<std::mutex> lock(device().mutex);
    device().config.value = value;
}

std::vector<LONG> mixerWriteLog() {
    std::lock_guard<std::mutex> lock(device().mutex);
    return device().writes;
}

void resetMixerForTests() {
    std::lock_guard<std::mutex> lock(device().mutex);
    device().config = platformtest::Mixer{};
    device().writes.clear();
    device().openHandles.clear();
}

}  // namespace zplat

using namespace zplat;

UINT WINAPI mixerGetNumDevs(void) {
    std::lock_guard<std::mutex> lock(device().mutex);
    return device().config.present ? 1 : 0;
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT mixerId, DWORD_PTR, DWORD_PTR, DWORD flags) {
    if (!mixer) return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    if (flags & CALLBACK_TYPEMASK) return MMSYSERR_INVALFLAG;  // no change notifications
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!d.config.present || mixerId != 0) return MMSYSERR_BADDEVICEID;
    uintptr_t handle = d.nextHandle;
    d.nextHandle += 0x10;
    d.openHandles.insert(handle);
    *mixer = reinterpret_cast<HMIXER>(handle);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerClose(HMIXER mixer) {
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.openHandles.erase(reinterpret_cast<uintptr_t>(mixer)) ? MMSYSERR_NOERROR
                                                                  : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags) {
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!reachable(d, mixer)) return MMSYSERR_INVALHANDLE;
    if (!line || line->cbStruct < sizeof(MIXERLINEA)) return MMSYSERR_INVALPARAM;
    DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
    bool wanted = (query == MIXER_GETLINEINFOF_COMPONENTTYPE &&
                   line->dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) ||
                  (query == MIXER_GETLINEINFOF_LINEID && line->dwLineID == MICROPHONE_LINE_ID);
    if (!wanted || !d.config.hasMicrophoneLine) return MIXERR_INVALLINE;
    DWORD size = line->cbStruct;
    std::memset(line, 0, sizeof(MIXERLINEA));
    line->cbStruct = size;
    line->dwDestination = 0;
    line->dwSource = 0;
    line->dwLineID = MICROPHONE_LINE_ID;
    line->fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
    line->dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    line->cChannels = 1;
    line->cControls = d.config.hasMuteControl ? 1 : 0;
    copyName(line->szShortName, sizeof line->szShortName, "Mic");
    copyName(line->szName, sizeof line->szName, "Microphone");
    line->Target.dwType = MIXERLINE_TARGETTYPE_UNDEFINED;
    copyName(line->Target.szPname, sizeof line->Target.szPname, "Zimbalo Mixer");
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags) {
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!reachable(d, mixer)) return MMSYSERR_INVALHANDLE;
    if (!controls || controls->cbStruct < sizeof(MIXERLINECONTROLSA) || !controls->pamxctrl ||
        controls->cbmxctrl < sizeof(MIXERCONTROLA) || controls->cControls < 1)
        return MMSYSERR_INVALPARAM;
    DWORD query = flags & MIXER_GETLINECONTROLSF_QUERYMASK;
    bool wanted = false;
    if (query == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
        if (!d.config.hasMicrophoneLine || controls->dwLineID != MICROPHONE_LINE_ID) return MIXERR_INVALLINE;
        wanted = controls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE;
    } else if (query == MIXER_GETLINECONTROLSF_ONEBYID) {
        wanted = d.config.hasMicrophoneLine && controls->dwControlID == MUTE_CONTROL_ID;
    } else {
        return MMSYSERR_NOTSUPPORTED;
    }
    if (!wanted || !d.config.hasMuteControl) return MIXERR_INVALCONTROL;
    MIXERCONTROLA& control = controls->pamxctrl[0];
    std::memset(&control, 0, sizeof control);
    control.cbStruct = sizeof control;
    control.dwControlID = MUTE_CONTROL_ID;
    control.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    control.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
    copyName(control.szShortName, sizeof control.szShortName, "Mute");
    copyName(control.szName, sizeof control.szName, "Microphone Mute");
    control.Bounds.lMinimum = d.config.minimum;
    control.Bounds.lMaximum = d.config.maximum;
    return MMSYSERR_NOERROR;
}

namespace {

MMRESULT checkDetails(const MixerDevice& d, HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details) {
    if (!reachable(d, mixer)) return MMSYSERR_INVALHANDLE;
    if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS) || !details->paDetails ||
        details->cbDetails < sizeof(LONG) || details->cChannels < 1)
        return MMSYSERR_INVALPARAM;
    if (!d.config.hasMicrophoneLine || !d.config.hasMuteControl ||
        details->dwControlID != MUTE_CONTROL_ID)
        return MIXERR_INVALCONTROL;
    return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    MMRESULT result = checkDetails(d, mixer, details);
    if (result != MMSYSERR_NOERROR) return result;
    if ((flags & 0xF) != MIXER_GETCONTROLDETAILSF_VALUE) return MMSYSERR_NOTSUPPORTED;
    // A uniform control: every channel asked for holds the same value.
    BYTE* values = static_cast<BYTE*>(details->paDetails);
    for (DWORD channel = 0; channel < details->cChannels; ++channel)
        std::memcpy(values + channel * details->cbDetails, &d.config.value, sizeof(LONG));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
    MixerDevice& d = device();
    std::lock_guard<std::mutex> lock(d.mutex);
    MMRESULT result = checkDetails(d, mixer, details);
    if (result != MMSYSERR_NOERROR) return result;
    if ((flags & 0xF) != MIXER_SETCONTROLDETAILSF_VALUE) return MMSYSERR_NOTSUPPORTED;
    LONG value = 0;
    std::memcpy(&value, details->paDetails, sizeof value);
    d.config.value = value;
    d.writes.push_back(value);
    return MMSYSERR_NOERROR;
}

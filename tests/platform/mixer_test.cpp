#include "platform_test_support.h"

namespace {

class MixerCalls : public PlatformTest {
protected:
    struct Lookup {
        MMRESULT open = MMSYSERR_ERROR, line = MMSYSERR_ERROR, controls = MMSYSERR_ERROR;
        HMIXER mixer = nullptr;
        MIXERCONTROL control{};
    };
    // The program's way: mixer 0, the first microphone source line, its mute control.
    Lookup lookUp() {
        Lookup result;
        result.open = mixerOpen(&result.mixer, 0, 0, 0, 0);
        if (result.open != MMSYSERR_NOERROR) return result;
        MIXERLINE line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
        result.line = mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(result.mixer), &line,
                                        MIXER_GETLINEINFOF_COMPONENTTYPE);
        MIXERLINECONTROLS controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof(MIXERCONTROL);
        controls.pamxctrl = &result.control;
        result.controls = mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(result.mixer), &controls,
                                                MIXER_GETLINECONTROLSF_ONEBYTYPE);
        return result;
    }
    static MIXERCONTROLDETAILS details(DWORD controlId, void* value) {
        MIXERCONTROLDETAILS d{};
        d.cbStruct = sizeof d;
        d.dwControlID = controlId;
        d.cChannels = 1;
        d.cMultipleItems = 0;
        d.cbDetails = 4;
        d.paDetails = value;
        return d;
    }
};

TEST_F(MixerCalls, ReadsAndWritesTheMicrophoneMute) {
    platformtest::Mixer mixer;
    mixer.minimum = 0;
    mixer.maximum = 1;
    mixer.value = 0;
    platformtest::setMixer(mixer);
    Lookup found = lookUp();
    ASSERT_EQ(found.open, 0u);
    ASSERT_EQ(found.line, 0u);
    ASSERT_EQ(found.controls, 0u);
    EXPECT_EQ(found.control.dwControlType, MIXERCONTROL_CONTROLTYPE_MUTE);
    EXPECT_EQ(found.control.Bounds.lMinimum, 0);
    EXPECT_EQ(found.control.Bounds.lMaximum, 1);

    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(found.mixer);
    MIXERCONTROLDETAILS_BOOLEAN value{-1};
    MIXERCONTROLDETAILS d = details(found.control.dwControlID, &value);
    EXPECT_EQ(mixerGetControlDetailsA(object, &d, MIXER_GETCONTROLDETAILSF_VALUE), 0u);
    EXPECT_EQ(value.fValue, 0);

    value.fValue = 1;
    EXPECT_EQ(mixerSetControlDetails(object, &d, MIXER_SETCONTROLDETAILSF_VALUE), 0u);
    EXPECT_EQ(platformtest::mixerMuteValue(), 1);
    platformtest::setMixerMuteValue(0);  // the user switches it off again
    value.fValue = 7;
    mixerGetControlDetailsA(object, &d, MIXER_GETCONTROLDETAILSF_VALUE);
    EXPECT_EQ(value.fValue, 0);
    EXPECT_EQ(platformtest::mixerWrites(), std::vector<LONG>{1});
    EXPECT_EQ(mixerClose(found.mixer), 0u);
    EXPECT_NE(mixerClose(found.mixer), 0u);
}

TEST_F(MixerCalls, BoundsComeFromTheControl) {
    platformtest::Mixer mixer;
    mixer.minimum = -3;
    mixer.maximum = 65535;
    platformtest::setMixer(mixer);
    Lookup found = lookUp();
    EXPECT_EQ(found.control.Bounds.lMinimum, -3);
    EXPECT_EQ(found.control.Bounds.lMaximum, 65535);
    mixerClose(found.mixer);
}

TEST_F(MixerCalls, EachMissingPartFailsItsCall) {
    platformtest::Mixer none;
    none.present = false;
    platformtest::setMixer(none);
    EXPECT_NE(lookUp().open, 0u);

    platformtest::Mixer noLine;
    noLine.hasMicrophoneLine = false;
    platformtest::setMixer(noLine);
    Lookup withoutLine = lookUp();
    EXPECT_EQ(withoutLine.open, 0u);
    EXPECT_EQ(withoutLine.line, UINT(MIXERR_INVALLINE));
    mixerClose(withoutLine.mixer);

    platformtest::Mixer noMute;
    noMute.hasMuteControl = false;
    platformtest::setMixer(noMute);
    Lookup withoutMute = lookUp();
    EXPECT_EQ(withoutMute.line, 0u);
    EXPECT_EQ(withoutMute.controls, UINT(MIXERR_INVALCONTROL));
    LONG value = 1;
    MIXERCONTROLDETAILS d = details(withoutMute.control.dwControlID, &value);
    EXPECT_NE(mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(withoutMute.mixer), &d, 0), 0u);
    EXPECT_TRUE(platformtest::mixerWrites().empty());
    mixerClose(withoutMute.mixer);
}

}  // namespace

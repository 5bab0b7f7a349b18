#include "app_test_support.h"

#include "audio/monitor_mute.h"

namespace {

platformtest::Mixer mixerWith(LONG minimum, LONG maximum, LONG value)
{
    platformtest::Mixer mixer;
    mixer.minimum = minimum;
    mixer.maximum = maximum;
    mixer.value = value;
    return mixer;
}

}  // namespace

TEST_F(AppTest, ReadGivesTheValueAndTheBounds)
{
    platformtest::setMixer(mixerWith(0, 1, 1));
    LONG current = -7, minimum = -7, maximum = -7;
    MonitorMute::read(current, minimum, maximum);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 1);

    platformtest::setMixer(mixerWith(-5, 9, 3));
    MonitorMute::read(current, minimum, maximum);
    EXPECT_EQ(current, 3);
    EXPECT_EQ(minimum, -5);
    EXPECT_EQ(maximum, 9);
}

TEST_F(AppTest, WriteSetsTheControl)
{
    platformtest::setMixer(mixerWith(0, 1, 0));
    MonitorMute::write(1);
    EXPECT_EQ(platformtest::mixerMuteValue(), 1);
    EXPECT_EQ(platformtest::mixerWrites(), std::vector<LONG>{1});
}

TEST_F(AppTest, ApplyKeepsThePresentValueAndWritesTheUpperBound)
{
    platformtest::setMixer(mixerWith(0, 1, 0));
    MonitorMute::apply();
    EXPECT_EQ(MonitorMute::savedValue, 0);
    EXPECT_EQ(MonitorMute::appliedValue, 1);
    EXPECT_EQ(platformtest::mixerMuteValue(), 1);
}

struct RestoreCase {
    const char* name;
    LONG valueAtStart;     // what the control holds when the stream starts
    bool streamStarted;
    std::vector<LONG> userChanges;  // values the user sets while the program runs
    LONG valueAtExit;
    std::vector<LONG> writes;       // every value written, apply included
};

class RestoreTest : public AppTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreTest, PutsTheSavedValueBackOnlyWhenTheAppliedOneIsStillThere)
{
    const RestoreCase& c = GetParam();
    platformtest::setMixer(mixerWith(0, 1, c.valueAtStart));
    if (c.streamStarted) {
        MonitorMute::apply();
    }
    for (LONG value : c.userChanges) {
        platformtest::setMixerMuteValue(value);
    }
    MonitorMute::restore();
    EXPECT_EQ(platformtest::mixerMuteValue(), c.valueAtExit);
    EXPECT_EQ(platformtest::mixerWrites(), c.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreTest,
    ::testing::Values(
        RestoreCase{"Unmuted", 0, true, {}, 0, {1, 0}},
        RestoreCase{"AlreadyMuted", 1, true, {}, 1, {1, 1}},
        RestoreCase{"UserUnmuted", 0, true, {0}, 0, {1}},
        RestoreCase{"UserUnmutedAndMutedAgain", 0, true, {0, 1}, 0, {1, 0}},
        RestoreCase{"NeverStartedReadingZero", 0, false, {}, 0, {0}},
        RestoreCase{"NeverStartedReadingOne", 1, false, {}, 1, {}}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

struct MissingCase {
    const char* name;
    bool present, line, control;
};

class MissingMixerTest : public AppTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingMixerTest, ReadsZeroAndWritesNothing)
{
    platformtest::Mixer mixer = mixerWith(0, 1, 1);
    mixer.present = GetParam().present;
    mixer.hasMicrophoneLine = GetParam().line;
    mixer.hasMuteControl = GetParam().control;
    platformtest::setMixer(mixer);
    LONG current = -7, minimum = -7, maximum = -7;
    MonitorMute::read(current, minimum, maximum);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    MonitorMute::apply();
    MonitorMute::restore();
    EXPECT_TRUE(platformtest::mixerWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingMixerTest,
    ::testing::Values(MissingCase{"NoMixer", false, true, true},
                      MissingCase{"NoMicrophoneLine", true, false, true},
                      MissingCase{"NoMuteControl", true, true, false}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

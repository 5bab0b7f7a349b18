#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "pitch_track.h"

namespace {

MonoSignal harmonicTone(double hz, double seconds, double amplitude = 0.3)
{
    const double pi = std::acos(-1.0);
    MonoSignal s;
    for (int i = 0; i < static_cast<int>(seconds * s.sampleRate); ++i) {
        double v = 0;
        for (int k = 1; k <= 8; ++k)
            v += std::sin(2 * pi * k * hz * i / s.sampleRate) / k;
        s.samples.push_back(amplitude * v / 2);
    }
    return s;
}

}  // namespace

TEST(PitchTrack, FindsTheFundamentalOfSteadyTonesAcrossTheRange)
{
    for (double hz : {42.0, 55.0, 110.0, 233.3, 440.0, 900.0}) {
        SCOPED_TRACE(hz);
        const std::vector<PitchFrame> track = trackPitch(harmonicTone(hz, 0.5));
        ASSERT_GT(track.size(), 30u);
        for (const PitchFrame& frame : track) {
            ASSERT_TRUE(frame.voiced()) << frame.seconds;
            EXPECT_NEAR(frame.hz / hz, 1.0, 0.001) << frame.seconds;
            EXPECT_GT(frame.clarity, 0.85);
        }
    }
}

TEST(PitchTrack, FramesStepByTheHopFromTheFirstWindowCentre)
{
    const std::vector<PitchFrame> track = trackPitch(harmonicTone(200, 1.0));
    // A 40 ms window plus the longest lag (40 Hz: 1103 frames) must fit in each frame.
    const std::size_t span = 1764 + 1103 + 1;
    EXPECT_EQ(track.size(), (44100 - span) / 441 + 1);
    EXPECT_NEAR(track[0].seconds, 0.020, 1e-9);
    EXPECT_NEAR(track[1].seconds - track[0].seconds, 0.010, 1e-9);
}

TEST(PitchTrack, SilenceNoiseAndQuietPassagesAreUnvoiced)
{
    MonoSignal noise;
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0.0, 0.1);
    for (int i = 0; i < 22050; ++i)
        noise.samples.push_back(gauss(random));
    MonoSignal silence;
    silence.samples.assign(22050, 0.0);
    // A loud tone, then the same tone 40 dB down: below the energy gate.
    MonoSignal loudThenQuiet = harmonicTone(150, 0.5);
    for (double v : harmonicTone(150, 0.5, 0.003).samples)
        loudThenQuiet.samples.push_back(v);

    for (const MonoSignal* signal : {&noise, &silence}) {
        const std::vector<PitchFrame> track = trackPitch(*signal);
        ASSERT_FALSE(track.empty());
        for (const PitchFrame& frame : track)
            EXPECT_FALSE(frame.voiced()) << frame.seconds << " " << frame.hz;
    }
    std::size_t quietFrames = 0;
    for (const PitchFrame& frame : trackPitch(loudThenQuiet)) {
        if (frame.seconds > 0.56) {
            ++quietFrames;
            EXPECT_FALSE(frame.voiced()) << frame.seconds;
        }
    }
    EXPECT_GT(quietFrames, 10u);
}

TEST(PitchTrack, ASignalShorterThanOneWindowHasNoFrames)
{
    EXPECT_TRUE(trackPitch(harmonicTone(200, 0.05)).empty());
    EXPECT_TRUE(trackPitch(MonoSignal{}).empty());
}

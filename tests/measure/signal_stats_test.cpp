#include <gtest/gtest.h>

#include <cmath>

#include "signal_stats.h"

TEST(SignalStats, CountsFramesLevelsAndSilentFrames)
{
    WavAudio stereo;
    stereo.channels = 2;
    stereo.sampleRate = 8000;
    // Four frames; only the second is silent on both channels.
    stereo.samples = {16384, -16384, 0, 0, 0, -32768, 8192, 0};
    const SignalStats stats = measureStats(stereo);
    EXPECT_EQ(stats.frames, 4u);
    EXPECT_DOUBLE_EQ(stats.seconds, 4.0 / 8000);
    EXPECT_DOUBLE_EQ(stats.peak, 1.0);
    const double meanSquare = (0.25 + 0.25 + 1.0 + 0.0625) / 8;
    EXPECT_NEAR(stats.rms, std::sqrt(meanSquare), 1e-12);
    EXPECT_DOUBLE_EQ(stats.silentFraction, 0.25);
}

TEST(SignalStats, AnEmptyFileHasZeroes)
{
    WavAudio empty;
    const SignalStats stats = measureStats(empty);
    EXPECT_EQ(stats.frames, 0u);
    EXPECT_EQ(stats.seconds, 0.0);
    EXPECT_EQ(stats.rms, 0.0);
    EXPECT_EQ(stats.peak, 0.0);
    EXPECT_EQ(stats.silentFraction, 0.0);
}

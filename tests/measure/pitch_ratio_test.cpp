#include <gtest/gtest.h>

#include <cmath>

#include "envelope_delay.h"
#include "pitch_ratio.h"
#include "pitch_track.h"
#include "synthetic_voice.h"

namespace {

struct ShiftCase {
    double ratio;
    double delaySeconds;
    double gain;
    double noiseRms;
    double trailingSeconds;
};

MonoSignal voice(const SyntheticVoice& v) { return MonoSignal{v.sampleRate, makeSyntheticVoice(v)}; }

SyntheticVoice inputVoice()
{
    SyntheticVoice v;
    v.baseHz = 140;
    v.seconds = 5;
    v.gain = 0.6;
    return v;
}

}  // namespace

// A perfect shifter's output, delayed, at another level, with noise: the
// whole chain the command runs must give the ratio and the delay back.
TEST(PitchRatio, MeasuresKnownShiftsOfASyntheticVoice)
{
    const ShiftCase cases[] = {
        {0.5, 0.25, 0.3, 0.002, 0.5},   {0.7071, 1.2, 0.9, 0.001, 0.0}, {1.0, 0.0, 0.6, 0.0, 0.0},
        {1.0, 0.6, 0.05, 0.0005, 1.0},  {1.4142, 0.05, 0.2, 0.003, 0.3}, {2.0, 1.7, 0.5, 0.002, 0.0},
        {2.0, 0.4, 0.1, 0.0015, 0.2},
    };
    const SyntheticVoice in = inputVoice();
    const MonoSignal input = voice(in);
    const std::vector<PitchFrame> inputTrack = trackPitch(input);
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "ratio " << c.ratio << " delay " << c.delaySeconds << " gain " << c.gain
                                        << " noise " << c.noiseRms);
        SyntheticVoice out = in;
        out.pitchRatio = c.ratio;
        out.delaySeconds = c.delaySeconds;
        out.gain = c.gain;
        out.noiseRms = c.noiseRms;
        out.trailingSeconds = c.trailingSeconds;
        const MonoSignal output = voice(out);

        const DelayResult delay = measureDelay(input, output);
        ASSERT_TRUE(delay.ok()) << delay.error;
        EXPECT_NEAR(delay.seconds, c.delaySeconds, 0.005);
        const PitchRatioResult ratio = measurePitchRatio(inputTrack, trackPitch(output), delay.seconds, true);
        ASSERT_TRUE(ratio.ok()) << ratio.error;
        EXPECT_EQ(ratio.method, RatioMethod::AlignedPairs);
        EXPECT_NEAR(ratio.ratio / c.ratio, 1.0, 0.003);
    }
}

// Hand-made tracks: the output is the input at 1.5 times the pitch, 30 ms
// later, with one octave error and a few frames voiced in one track only.
TEST(PitchRatio, AlignedPairsIgnoreOctaveErrorsAndUnpairedFrames)
{
    std::vector<PitchFrame> input, output;
    for (int i = 0; i < 100; ++i) {
        const double t = 0.02 + 0.01 * i;
        const double hz = 100 + 40 * std::sin(0.1 * i);
        input.push_back({t, i < 10 ? 0.0 : hz, 0.9});
    }
    for (int i = 0; i < 100; ++i) {
        PitchFrame frame = input[i];
        frame.seconds += 0.03;
        frame.hz *= 1.5;
        if (i == 50)
            frame.hz *= 2;
        output.push_back(frame);
    }
    output[5].hz = 600;  // voiced where the input is not: no pair
    const PitchRatioResult result = measurePitchRatio(input, output, 0.03, true);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.method, RatioMethod::AlignedPairs);
    EXPECT_EQ(result.pairs, 90u);
    EXPECT_NEAR(result.ratio, 1.5, 1e-9);
}

TEST(PitchRatio, AWrongOrMissingDelayFallsBackToTheTracksMedians)
{
    const MonoSignal input = voice(inputVoice());
    SyntheticVoice out = inputVoice();
    out.pitchRatio = 1.4142;
    out.delaySeconds = 0.5;
    const std::vector<PitchFrame> inputTrack = trackPitch(input);
    const std::vector<PitchFrame> outputTrack = trackPitch(voice(out));
    for (bool known : {false, true}) {
        SCOPED_TRACE(known);
        // 1.9 s off pairs unrelated stretches of the contour.
        const PitchRatioResult result = measurePitchRatio(inputTrack, outputTrack, known ? 2.4 : 0.0, known);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.method, RatioMethod::MedianOfTracks);
        EXPECT_NEAR(result.ratio / 1.4142, 1.0, 0.02);
    }
}

TEST(PitchRatio, NoVoicedFramesIsAnError)
{
    std::vector<PitchFrame> voiced = {{0.02, 100, 0.9}, {0.03, 101, 0.9}};
    std::vector<PitchFrame> unvoiced = {{0.02, 0, 0}, {0.03, 0, 0}};
    EXPECT_EQ(measurePitchRatio(unvoiced, voiced, 0, true).error, "no voiced frames in the input");
    EXPECT_EQ(measurePitchRatio(voiced, unvoiced, 0, true).error, "no voiced frames in the output");
    EXPECT_EQ(measurePitchRatio(voiced, {}, 0, true).error, "no voiced frames in the output");
}

TEST(PitchRatio, MedianOfOddAndEvenCounts)
{
    EXPECT_EQ(median({3, 1, 2}), 2);
    EXPECT_EQ(median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(median({7}), 7);
}

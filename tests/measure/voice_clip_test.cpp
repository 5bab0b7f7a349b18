// The real voice clip through the pitch engine, as the file tool shifts it,
// and as a live recording of that would hold it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "envelope_delay.h"
#include "pitch_ratio.h"
#include "pitch_track.h"
#include "shift_file.h"
#include "wav_file.h"

namespace {

// `played` after `leadSeconds` of silence, at `gain`, over noise, with half
// a second of silence after it.
MonoSignal asRecorded(const MonoSignal& played, double leadSeconds, double gain)
{
    MonoSignal recording;
    recording.sampleRate = played.sampleRate;
    recording.samples.assign(static_cast<std::size_t>(leadSeconds * played.sampleRate), 0.0);
    for (double v : played.samples)
        recording.samples.push_back(gain * v);
    recording.samples.resize(recording.samples.size() + played.sampleRate / 2, 0.0);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 0.001);
    for (double& v : recording.samples)
        v += noise(random);
    return recording;
}

}  // namespace

TEST(VoiceClip, PitchRatioAndDelayOfTheEngineAtPlusAndMinusSixSemitones)
{
    const WavReadResult clip = readWavFile(ZIMBALO_VOICE_CLIP);
    ASSERT_TRUE(clip.ok()) << clip.error;
    const MonoSignal input = toMono(clip.audio);
    const std::vector<PitchFrame> inputTrack = trackPitch(input);
    for (int semitones : {6, -6}) {
        SCOPED_TRACE(semitones);
        const ShiftResult shifted =
            shiftFrames(clip.audio.samples, clip.audio.channels, clip.audio.sampleRate, semitones);
        ASSERT_TRUE(shifted.ok()) << shifted.error;
        WavAudio out = clip.audio;
        out.samples = shifted.samples;
        const MonoSignal output = toMono(out);
        const MonoSignal recorded = asRecorded(output, 1.234, 0.3);

        const DelayResult delay = measureDelay(input, output);
        ASSERT_TRUE(delay.ok()) << delay.error;
        // The file tool drops the start-up silence: what is left is small.
        EXPECT_LT(std::abs(delay.seconds), 0.1);
        const DelayResult recordedDelay = measureDelay(input, recorded);
        ASSERT_TRUE(recordedDelay.ok()) << recordedDelay.error;
        EXPECT_NEAR(recordedDelay.seconds - delay.seconds, 1.234, 0.005);

        const double expected = std::pow(2.0, semitones / 12.0);
        for (const auto& [signal, seconds] : {std::make_pair(&output, delay.seconds),
                                              std::make_pair(&recorded, recordedDelay.seconds)}) {
            const PitchRatioResult ratio = measurePitchRatio(inputTrack, trackPitch(*signal), seconds, true);
            ASSERT_TRUE(ratio.ok()) << ratio.error;
            EXPECT_EQ(ratio.method, RatioMethod::AlignedPairs);
            EXPECT_GT(ratio.pairs, 100u);
            EXPECT_NEAR(ratio.ratio / expected, 1.0, 0.01);
        }
    }
}

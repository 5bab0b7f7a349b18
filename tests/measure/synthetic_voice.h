#pragma once
// A voice-like test signal with a known pitch contour: a sum of harmonics
// with 1/k amplitudes, a slow glide and vibrato, syllable-rate loudness and
// gaps of silence, as a perfect pitch shifter would give it at any ratio.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "wav_file.h"

struct SyntheticVoice {
    int sampleRate = 44100;
    double seconds = 4.0;
    double baseHz = 120;
    double pitchRatio = 1.0;
    double delaySeconds = 0;     // leading silence before the voice
    double trailingSeconds = 0;  // silence after it
    double gain = 0.5;           // peak of the voice, full scale 1
    double noiseRms = 0;         // white noise over everything, full scale 1
    unsigned noiseSeed = 1;
};

// The pitch contour in Hz at `t` seconds into the voice, before the ratio.
inline double syntheticContourHz(const SyntheticVoice& v, double t)
{
    const double pi = std::acos(-1.0);
    const double glide = 1 + 0.15 * std::sin(2 * pi * 0.3 * t);
    const double vibrato = 1 + 0.03 * std::sin(2 * pi * 5.0 * t);
    return v.baseHz * glide * vibrato;
}

// Loudness 0..1: "words" of uneven length parted by uneven silences, so
// that the envelope matches itself at no lag but the true one, with a
// syllable-rate swell inside each word.
inline double syntheticLoudness(double t)
{
    struct Word {
        double start, end;
    };
    static const Word WORDS[] = {{0.05, 0.62}, {0.80, 1.75}, {1.93, 2.31}, {2.66, 3.52}, {3.70, 4.10},
                                 {4.45, 5.30}, {5.42, 5.80}, {6.10, 7.20}};
    const double pi = std::acos(-1.0);
    const double inCycle = std::fmod(t, 7.5);
    for (const Word& w : WORDS) {
        if (inCycle < w.start || inCycle > w.end)
            continue;
        const double fade = std::min({1.0, (inCycle - w.start) / 0.02, (w.end - inCycle) / 0.02});
        return fade * (0.55 + 0.45 * std::sin(2 * pi * 4.0 * t + 0.3 * t * t));
    }
    return 0;
}

inline std::vector<double> makeSyntheticVoice(const SyntheticVoice& v)
{
    const double pi = std::acos(-1.0);
    const double rate = v.sampleRate;
    const auto voiceFrames = static_cast<std::size_t>(v.seconds * rate);
    const auto lead = static_cast<std::size_t>(std::llround(v.delaySeconds * rate));
    const auto tail = static_cast<std::size_t>(v.trailingSeconds * rate);
    std::vector<double> x(lead + voiceFrames + tail, 0.0);
    double phase = 0;
    double peak = 0;
    for (std::size_t i = 0; i < voiceFrames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double hz = syntheticContourHz(v, t) * v.pitchRatio;
        phase += 2 * pi * hz / rate;
        double sum = 0;
        for (int k = 1; k * hz < 5000; ++k)
            sum += std::sin(k * phase) / k;
        x[lead + i] = syntheticLoudness(t) * sum;
        peak = std::max(peak, std::abs(x[lead + i]));
    }
    std::mt19937 random(v.noiseSeed);
    std::normal_distribution<double> noise(0.0, v.noiseRms);
    for (double& s : x)
        s = s * (peak > 0 ? v.gain / peak : 0) + (v.noiseRms > 0 ? noise(random) : 0);
    return x;
}

inline WavAudio toWavAudio(const std::vector<double>& x, int sampleRate)
{
    WavAudio audio;
    audio.channels = 1;
    audio.sampleRate = sampleRate;
    for (double s : x)
        audio.samples.push_back(static_cast<std::int16_t>(std::lround(std::clamp(s * 32767.0, -32768.0, 32767.0))));
    return audio;
}

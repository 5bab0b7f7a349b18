#include "signal_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

SignalStats measureStats(const WavAudio& audio)
{
    SignalStats stats;
    stats.frames = audio.frames();
    if (audio.sampleRate > 0)
        stats.seconds = static_cast<double>(stats.frames) / audio.sampleRate;
    if (stats.frames == 0)
        return stats;

    const std::size_t used = stats.frames * audio.channels;
    double sumSquares = 0;
    int peak = 0;
    std::size_t silentFrames = 0;
    for (std::size_t f = 0; f < stats.frames; ++f) {
        bool silent = true;
        for (int c = 0; c < audio.channels; ++c) {
            const int s = audio.samples[f * audio.channels + c];
            sumSquares += static_cast<double>(s) * s;
            peak = std::max(peak, std::abs(s));
            silent = silent && s == 0;
        }
        silentFrames += silent ? 1 : 0;
    }
    stats.rms = std::sqrt(sumSquares / static_cast<double>(used)) / 32768.0;
    stats.peak = peak / 32768.0;
    stats.silentFraction = static_cast<double>(silentFrames) / static_cast<double>(stats.frames);
    return stats;
}

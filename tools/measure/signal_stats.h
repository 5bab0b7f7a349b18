#pragma once
#include <cstddef>

#include "wav_file.h"

struct SignalStats {
    std::size_t frames = 0;
    double seconds = 0;
    double rms = 0;   // over all samples, full scale 1
    double peak = 0;  // largest magnitude, full scale 1 (-32768 gives 1)
    // Frames whose every sample is zero, as a fraction of all frames; 0 for
    // an empty file.
    double silentFraction = 0;
};

SignalStats measureStats(const WavAudio& audio);

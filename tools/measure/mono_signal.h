#pragma once
#include <vector>

#include "wav_file.h"

// One channel of samples scaled to -1..1, with its rate.
struct MonoSignal {
    int sampleRate = 44100;
    std::vector<double> samples;
};

// The mean of the channels of each frame, so that a stereo recording of a
// mono source measures like the source.
MonoSignal toMono(const WavAudio& audio);

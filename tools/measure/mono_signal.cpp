#include "mono_signal.h"

MonoSignal toMono(const WavAudio& audio)
{
    MonoSignal mono;
    mono.sampleRate = audio.sampleRate;
    const std::size_t frames = audio.frames();
    const int channels = audio.channels;
    mono.samples.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += audio.samples[f * channels + c];
        mono.samples[f] = sum / (channels * 32768.0);
    }
    return mono;
}

#include "test_signals.h"

#include <cmath>
#include <random>

std::vector<std::int16_t> randomSamples(std::size_t count, std::uint32_t seed, int lowest, int highest)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> distribution(lowest, highest);
    std::vector<std::int16_t> samples(count);
    for (auto& sample : samples)
        sample = static_cast<std::int16_t>(distribution(generator));
    return samples;
}

std::vector<std::int16_t> sineWave(std::size_t frames, double frequency, double rate, double amplitude,
                                   int channels)
{
    std::vector<std::int16_t> samples(frames * channels);
    for (std::size_t i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            samples[i * channels + ch] =
                static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
    return samples;
}

double estimateFrequency(const std::vector<std::int16_t>& samples, double rate, std::size_t skip)
{
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = skip + 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = (i - 1) + double(-samples[i - 1]) / (samples[i] - samples[i - 1]);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    if (crossings == 0)
        return 0;
    return crossings * rate / (last - first);
}

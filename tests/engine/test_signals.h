#pragma once
#include <cstdint>
#include <vector>

// Deterministic test signals.
std::vector<std::int16_t> randomSamples(std::size_t count, std::uint32_t seed, int lowest = -32768,
                                        int highest = 32767);
std::vector<std::int16_t> sineWave(std::size_t frames, double frequency, double rate, double amplitude,
                                   int channels = 1);
// Frequency estimated from rising zero crossings, with sub-sample interpolation.
double estimateFrequency(const std::vector<std::int16_t>& samples, double rate, std::size_t skip = 0);

#pragma once
#include <cstdint>

// Engine buffers grow to the needed size plus some slack, in whole grains,
// and never shrink, so that steady-state calls do not allocate.
constexpr std::uint32_t QUEUE_SLACK_SAMPLES = 128;
constexpr std::uint32_t QUEUE_GRAIN_SAMPLES = 32;

inline std::uint32_t grownCapacity(std::uint32_t neededSamples)
{
    return (neededSamples + QUEUE_SLACK_SAMPLES) & ~(QUEUE_GRAIN_SAMPLES - 1);
}

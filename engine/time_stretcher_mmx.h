#pragma once
#include "time_stretcher.h"

// The stretcher with packed 16-bit two-channel search and crossfade. They
// compute exactly what the plain two-channel kernels compute.
class TimeStretcherMmx : public TimeStretcher {
protected:
    std::uint32_t searchStereo(const std::int16_t* tailSamples, const std::int16_t* input) override;
    void crossfadeStereo(std::int16_t* destination, const std::int16_t* input, std::uint32_t best) override;
};

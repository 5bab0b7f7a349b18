#pragma once
#include "low_pass_fir.h"

// The filter with a packed two-channel kernel: frames are taken in pairs and
// each result is clamped to the 16-bit range instead of wrapping.
class LowPassFirMmx : public LowPassFir {
public:
    explicit LowPassFirMmx(std::uint32_t taps);

    const std::int16_t* packedTable() const { return packedCoefficients; }

protected:
    void computeCoefficients() override;
    std::uint32_t filterStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames) override;

private:
    void rebuildPackedCoefficients();

    // For each pair of taps i, i + 1: c[i], c[i + 1], c[i], c[i + 1], so that one
    // packed multiply-add of two frames regrouped as L L R R gives both sums.
    std::int16_t packedCoefficients[2 * FIR_MAX_LENGTH] = {};
};

#include "low_pass_fir.h"

#include <cmath>

#include "vector_kernels.h"

LowPassFir::LowPassFir(std::uint32_t taps)
{
    cutoff = 0.5;
    setLength(taps);
}

void LowPassFir::setLength(std::uint32_t taps)
{
    length = taps <= FIR_MAX_LENGTH ? (taps & ~7u) : FIR_MAX_LENGTH;
    lengthDiv8 = length / 8;
    computeCoefficients();
}

void LowPassFir::setCutoff(double value)
{
    cutoff = value;
    computeCoefficients();
}

void LowPassFir::computeCoefficients()
{
    const std::uint32_t half = length / 2;
    const double twoC = 2.0 * cutoff;
    const double angleStep = twoC * FIR_PI;
    const double windowStep = (2.0 * FIR_PI) / length;
    for (std::uint32_t i = 0; i < half; ++i) {
        const double x = i + 0.5;
        const double window = 0.54 + 0.46 * std::cos(x * windowStep);
        const double angle = x * angleStep;
        const double ideal = (std::sin(angle) * twoC) / angle;
        const double h = ideal * window * FIR_SCALE;
        // A cutoff of 0 gives 0/0 here; such a tap contributes nothing.
        const std::int32_t value = std::isnan(h) ? 0 : static_cast<std::int32_t>(h);
        const auto coefficient = static_cast<std::int16_t>(value);
        coefficients[half - 1 - i] = coefficient;
        coefficients[half + i] = coefficient;
    }
}

std::uint32_t LowPassFir::filter(std::int16_t* out, const std::int16_t* in, std::uint32_t frames, int channels)
{
    if (frames < length)
        return 0;
    return channels == 2 ? filterStereo(out, in, frames) : filterMono(out, in, frames);
}

std::uint32_t LowPassFir::filterMono(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    return firMono(out, in, frames, coefficients, length);
}

std::uint32_t LowPassFir::filterStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    const std::uint32_t produced = frames - length;
    for (std::uint32_t k = 0; k < produced; ++k) {
        // Sums wrap modulo 2^32 like the 32-bit registers they model.
        std::uint32_t left = 0, right = 0;
        const std::int16_t* frame = in + 2 * k;
        for (std::uint32_t i = 0; i < length; ++i) {
            left += static_cast<std::uint32_t>(coefficients[i] * frame[2 * i]);
            right += static_cast<std::uint32_t>(coefficients[i] * frame[2 * i + 1]);
        }
        out[2 * k] = static_cast<std::int16_t>(static_cast<std::int32_t>(left) >> FIR_SHIFT);
        out[2 * k + 1] = static_cast<std::int16_t>(static_cast<std::int32_t>(right) >> FIR_SHIFT);
    }
    return produced;
}

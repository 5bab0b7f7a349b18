#pragma once
#include <cstdint>

// Symmetric integer low-pass FIR: Hamming-windowed ideal response, 16-bit
// coefficients, 32-bit sums shifted right by 13. Keeps no history: `frames`
// input frames give frames - length output frames.
class LowPassFir {
public:
    static constexpr std::uint32_t FIR_MAX_LENGTH = 128;
    static constexpr double FIR_PI = 3.141592655357989;
    static constexpr double FIR_SCALE = 7500.0;
    static constexpr int FIR_SHIFT = 13;

    explicit LowPassFir(std::uint32_t taps);
    virtual ~LowPassFir() = default;

    void setLength(std::uint32_t taps);
    void setCutoff(double value);

    // Two channels take the stereo kernel, any other count the mono one.
    std::uint32_t filter(std::int16_t* out, const std::int16_t* in, std::uint32_t frames, int channels);

    std::uint32_t tapCount() const { return length; }
    double cutoffValue() const { return cutoff; }
    const std::int16_t* coefficientTable() const { return coefficients; }

protected:
    virtual void computeCoefficients();
    virtual std::uint32_t filterStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);
    virtual std::uint32_t filterMono(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);

    std::uint32_t length = 0;
    std::uint32_t lengthDiv8 = 0;
    double cutoff = 0.5;
    std::int16_t coefficients[FIR_MAX_LENGTH] = {};
};

#include "low_pass_fir_mmx.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define ZIMBALO_MMX_KERNELS 1
#include <mmintrin.h>
#endif

LowPassFirMmx::LowPassFirMmx(std::uint32_t taps) : LowPassFir(taps)
{
    // The base constructor computed the coefficients before this class existed.
    rebuildPackedCoefficients();
}

void LowPassFirMmx::computeCoefficients()
{
    LowPassFir::computeCoefficients();
    rebuildPackedCoefficients();
}

void LowPassFirMmx::rebuildPackedCoefficients()
{
    for (std::uint32_t i = 0; i + 1 < length; i += 2) {
        packedCoefficients[2 * i] = coefficients[i];
        packedCoefficients[2 * i + 1] = coefficients[i + 1];
        packedCoefficients[2 * i + 2] = coefficients[i];
        packedCoefficients[2 * i + 3] = coefficients[i + 1];
    }
}

#ifdef ZIMBALO_MMX_KERNELS
namespace {

__attribute__((target("mmx"))) inline __m64 load64(const std::int16_t* p)
{
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Two frames L0 R0 L1 R1 regrouped as L0 L1 R0 R1.
__attribute__((target("mmx"))) inline __m64 regroup(__m64 twoFrames)
{
    return _mm_unpacklo_pi16(twoFrames, _mm_srli_si64(twoFrames, 32));
}

__attribute__((target("mmx"))) void filterStereoPacked(std::int16_t* out, const std::int16_t* in,
                                                       std::uint32_t produced, const std::int16_t* packed,
                                                       std::uint32_t length)
{
    for (std::uint32_t k = 0; k < produced; k += 2) {
        __m64 first = _mm_setzero_si64();
        __m64 second = _mm_setzero_si64();
        for (std::uint32_t i = 0; i < length; i += 2) {
            const __m64 c = load64(packed + 2 * i);
            first = _mm_add_pi32(first, _mm_madd_pi16(regroup(load64(in + 2 * (k + i))), c));
            second = _mm_add_pi32(second, _mm_madd_pi16(regroup(load64(in + 2 * (k + 1 + i))), c));
        }
        const __m64 result = _mm_packs_pi32(_mm_srai_pi32(first, 13), _mm_srai_pi32(second, 13));
        std::memcpy(out + 2 * k, &result, sizeof result);
    }
    _mm_empty();
}

} // namespace
#endif

std::uint32_t LowPassFirMmx::filterStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    const std::uint32_t produced = (frames & ~1u) - length;
#ifdef ZIMBALO_MMX_KERNELS
    filterStereoPacked(out, in, produced, packedCoefficients, length);
#else
    // The same arithmetic without packed registers.
    for (std::uint32_t k = 0; k < produced; ++k) {
        std::uint32_t sums[2] = {0, 0};
        for (std::uint32_t i = 0; i < length; ++i)
            for (int ch = 0; ch < 2; ++ch)
                sums[ch] += static_cast<std::uint32_t>(coefficients[i] * in[2 * (k + i) + ch]);
        for (int ch = 0; ch < 2; ++ch) {
            const std::int32_t shifted = static_cast<std::int32_t>(sums[ch]) >> FIR_SHIFT;
            out[2 * k + ch] = static_cast<std::int16_t>(std::clamp(shifted, -32768, 32767));
        }
    }
#endif
    return produced;
}

#include "time_stretcher_mmx.h"

#include <climits>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>
#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace {

__attribute__((target("mmx"))) inline __m64 load64(const std::int16_t* p)
{
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Sum over frames j of ((wL*xL + wR*xR) >> shift): one packed multiply-add
// gives the two per-frame sums of two frames, each wrapped to 32 bits like the
// plain sum. The first frame's weights are 0, so it may be included.
__attribute__((target("mmx"))) std::int32_t correlatePacked(const std::int16_t* w, const std::int16_t* x,
                                                            std::uint32_t length, std::uint32_t shift)
{
    __m64 acc = _mm_setzero_si64();
    const __m64 count = _mm_cvtsi32_si64(static_cast<int>(shift));
    for (std::uint32_t j = 0; j < length; j += 2)
        acc = _mm_add_pi32(acc, _mm_sra_pi32(_mm_madd_pi16(load64(w + 2 * j), load64(x + 2 * j)), count));
    const std::int32_t low = _mm_cvtsi64_si32(acc);
    const std::int32_t high = _mm_cvtsi64_si32(_mm_srli_si64(acc, 32));
    _mm_empty();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low) + static_cast<std::uint32_t>(high));
}

#if defined(__x86_64__)
// Every x86-64 processor has SSE2: the same multiply-adds, four frames at a time.
std::int32_t correlateWide(const std::int16_t* w, const std::int16_t* x, std::uint32_t length,
                           std::uint32_t shift)
{
    if (length % 4 != 0)
        return correlatePacked(w, x, length, shift);
    __m128i acc = _mm_setzero_si128();
    const __m128i count = _mm_cvtsi32_si128(static_cast<int>(shift));
    for (std::uint32_t j = 0; j < length; j += 4) {
        const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 2 * j));
        const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 2 * j));
        acc = _mm_add_epi32(acc, _mm_sra_epi32(_mm_madd_epi16(weights, samples), count));
    }
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(acc);
}
#else
std::int32_t correlateWide(const std::int16_t* w, const std::int16_t* x, std::uint32_t length,
                           std::uint32_t shift)
{
    return correlatePacked(w, x, length, shift);
}
#endif

__attribute__((target("mmx"))) void crossfadePacked(std::int16_t* destination, const std::int16_t* tail,
                                                    const std::int16_t* x, std::uint32_t length, std::uint32_t shift)
{
    const __m64 count = _mm_cvtsi32_si64(static_cast<int>(shift));
    for (std::uint32_t i = 0; i < length; i += 2) {
        const auto fadeOut = static_cast<short>(length - i);
        const auto fadeIn = static_cast<short>(i);
        const __m64 weightsFirst = _mm_setr_pi16(fadeOut, fadeIn, fadeOut, fadeIn);
        const __m64 weightsSecond =
            _mm_setr_pi16(static_cast<short>(fadeOut - 1), static_cast<short>(fadeIn + 1),
                          static_cast<short>(fadeOut - 1), static_cast<short>(fadeIn + 1));
        const __m64 t = load64(tail + 2 * i);
        const __m64 s = load64(x + 2 * i);
        // tL xL tR xR for each of the two frames.
        const __m64 first = _mm_sra_pi32(_mm_madd_pi16(_mm_unpacklo_pi16(t, s), weightsFirst), count);
        const __m64 second = _mm_sra_pi32(_mm_madd_pi16(_mm_unpackhi_pi16(t, s), weightsSecond), count);
        const __m64 result = _mm_packs_pi32(first, second);
        std::memcpy(destination + 2 * i, &result, sizeof result);
    }
    _mm_empty();
}

} // namespace

std::uint32_t TimeStretcherMmx::searchStereo(const std::int16_t* tailSamples, const std::int16_t* input)
{
    weighTail(tailSamples, 2);
    std::uint32_t best = 0;
    std::int32_t bestSum = INT32_MIN;
    for (std::uint32_t offset = 0; offset < searchLength; ++offset) {
        const std::int32_t sum = correlateWide(weightedRef.get(), input + 2 * offset, overlapLength, overlapBits);
        if (sum > bestSum) {
            bestSum = sum;
            best = offset;
        }
    }
    return best;
}

void TimeStretcherMmx::crossfadeStereo(std::int16_t* destination, const std::int16_t* input, std::uint32_t best)
{
    crossfadePacked(destination, overlapTail.get(), input + 2 * best, overlapLength, overlapBits);
}

#else

// Without packed registers the plain kernels compute the same results.
std::uint32_t TimeStretcherMmx::searchStereo(const std::int16_t* tailSamples, const std::int16_t* input)
{
    return TimeStretcher::searchStereo(tailSamples, input);
}

void TimeStretcherMmx::crossfadeStereo(std::int16_t* destination, const std::int16_t* input, std::uint32_t best)
{
    TimeStretcher::crossfadeStereo(destination, input, best);
}

#endif

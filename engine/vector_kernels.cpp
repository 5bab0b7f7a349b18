#include "vector_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#define ZIMBALO_X86_KERNELS 1
#include <immintrin.h>
#endif

std::uint32_t firMonoPlain(std::int16_t* out, const std::int16_t* in, std::uint32_t frames,
                           const std::int16_t* coefficients, std::uint32_t length)
{
    const std::uint32_t produced = frames - length;
    for (std::uint32_t k = 0; k < produced; ++k) {
        std::uint32_t acc = 0;
        for (std::uint32_t i = 0; i < length; ++i)
            acc += static_cast<std::uint32_t>(coefficients[i] * in[k + i]);
        out[k] = static_cast<std::int16_t>(static_cast<std::int32_t>(acc) >> 13);
    }
    return produced;
}

std::int32_t correlateMonoPlain(const std::int16_t* weights, const std::int16_t* input, std::uint32_t length,
                                unsigned shift)
{
    std::uint32_t sum = 0;
    for (std::uint32_t j = 1; j < length; ++j)
        sum += static_cast<std::uint32_t>((weights[j] * input[j]) >> shift);
    return static_cast<std::int32_t>(sum);
}

#ifdef ZIMBALO_X86_KERNELS
namespace {

// Packed multiply-add sums two products in 32 bits with the same wrap as the
// plain sum, and the order of wrapping additions does not change the result.
__attribute__((target("sse2"))) std::uint32_t firMonoSse2(std::int16_t* out, const std::int16_t* in,
                                                          std::uint32_t frames, const std::int16_t* coefficients,
                                                          std::uint32_t length)
{
    const std::uint32_t produced = frames - length;
    for (std::uint32_t k = 0; k < produced; ++k) {
        __m128i acc = _mm_setzero_si128();
        for (std::uint32_t i = 0; i < length; i += 8) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + i));
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + i));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(c, x));
        }
        acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
        acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
        out[k] = static_cast<std::int16_t>(_mm_cvtsi128_si32(acc) >> 13);
    }
    return produced;
}

// The first term (j = 0) is taken into the vector sum and subtracted again,
// which is exact under wrapping arithmetic.
__attribute__((target("sse2"))) std::int32_t correlateMonoSse2(const std::int16_t* weights,
                                                               const std::int16_t* input, std::uint32_t length,
                                                               unsigned shift)
{
    const __m128i count = _mm_cvtsi32_si128(static_cast<int>(shift));
    __m128i acc = _mm_setzero_si128();
    std::uint32_t j = 0;
    for (; j + 8 <= length; j += 8) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + j));
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(input + j));
        const __m128i lo = _mm_mullo_epi16(w, x);
        const __m128i hi = _mm_mulhi_epi16(w, x);
        acc = _mm_add_epi32(acc, _mm_sra_epi32(_mm_unpacklo_epi16(lo, hi), count));
        acc = _mm_add_epi32(acc, _mm_sra_epi32(_mm_unpackhi_epi16(lo, hi), count));
    }
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
    std::uint32_t sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(acc));
    for (; j < length; ++j)
        sum += static_cast<std::uint32_t>((weights[j] * input[j]) >> shift);
    if (length > 0)
        sum -= static_cast<std::uint32_t>((weights[0] * input[0]) >> shift);
    return static_cast<std::int32_t>(sum);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) std::int32_t correlateMonoAvx2(const std::int16_t* weights,
                                                               const std::int16_t* input, std::uint32_t length,
                                                               unsigned shift)
{
    const __m128i count = _mm_cvtsi32_si128(static_cast<int>(shift));
    __m256i acc = _mm256_setzero_si256();
    std::uint32_t j = 0;
    for (; j + 16 <= length; j += 16) {
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + j));
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(input + j));
        const __m256i lo = _mm256_mullo_epi16(w, x);
        const __m256i hi = _mm256_mulhi_epi16(w, x);
        acc = _mm256_add_epi32(acc, _mm256_sra_epi32(_mm256_unpacklo_epi16(lo, hi), count));
        acc = _mm256_add_epi32(acc, _mm256_sra_epi32(_mm256_unpackhi_epi16(lo, hi), count));
    }
    __m128i half = _mm_add_epi32(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
    half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
    half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
    std::uint32_t sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(half));
    for (; j < length; ++j)
        sum += static_cast<std::uint32_t>((weights[j] * input[j]) >> shift);
    if (length > 0)
        sum -= static_cast<std::uint32_t>((weights[0] * input[0]) >> shift);
    return static_cast<std::int32_t>(sum);
}
#endif

} // namespace
#endif

std::vector<MonoKernels> availableMonoKernels()
{
    std::vector<MonoKernels> kernels{{"plain", firMonoPlain, correlateMonoPlain}};
#ifdef ZIMBALO_X86_KERNELS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2"))
        kernels.push_back({"sse2", firMonoSse2, correlateMonoSse2});
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        kernels.push_back({"avx2", firMonoSse2, correlateMonoAvx2});
#endif
#endif
    return kernels;
}

const MonoKernels& activeMonoKernels()
{
    static const MonoKernels active = availableMonoKernels().back();
    return active;
}

#pragma once
#include <cstdint>
#include <vector>

// The engine's one-channel inner loops. Each has a plain version, which is
// the definition, and may have vectorised versions that produce the same bits;
// the fastest one this processor can run is picked once, at first use.

// out[k] = low 16 bits of ((sum over i < length of coefficients[i] * in[k + i]) >> 13),
// the sum wrapping modulo 2^32; returns frames - length (frames >= length).
using FirMonoKernel = std::uint32_t (*)(std::int16_t* out, const std::int16_t* in, std::uint32_t frames,
                                        const std::int16_t* coefficients, std::uint32_t length);

// Sum over j = 1 .. length - 1 of ((weights[j] * input[j]) >> shift), each
// product shifted before it is added, the sum wrapping modulo 2^32.
using CorrelateMonoKernel = std::int32_t (*)(const std::int16_t* weights, const std::int16_t* input,
                                             std::uint32_t length, unsigned shift);

struct MonoKernels {
    const char* name;
    FirMonoKernel fir;
    CorrelateMonoKernel correlate;
};

std::uint32_t firMonoPlain(std::int16_t* out, const std::int16_t* in, std::uint32_t frames,
                           const std::int16_t* coefficients, std::uint32_t length);
std::int32_t correlateMonoPlain(const std::int16_t* weights, const std::int16_t* input, std::uint32_t length,
                                unsigned shift);

// Every kernel set this processor can run, the plain one first.
std::vector<MonoKernels> availableMonoKernels();
// The set the engine uses: the last of availableMonoKernels().
const MonoKernels& activeMonoKernels();

inline std::uint32_t firMono(std::int16_t* out, const std::int16_t* in, std::uint32_t frames,
                             const std::int16_t* coefficients, std::uint32_t length)
{
    return activeMonoKernels().fir(out, in, frames, coefficients, length);
}

inline std::int32_t correlateMono(const std::int16_t* weights, const std::int16_t* input, std::uint32_t length,
                                  unsigned shift)
{
    return activeMonoKernels().correlate(weights, input, length, shift);
}

#include "fft.h"

#include <cmath>
#include <utility>

std::size_t nextPowerOfTwo(std::size_t n)
{
    std::size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

Fft::Fft(std::size_t size) : n(size), reversed(size), cosines(size / 2), sines(size / 2)
{
    std::size_t bits = 0;
    while ((std::size_t{1} << bits) < n)
        ++bits;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t r = 0;
        for (std::size_t b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        reversed[i] = r;
    }
    const double pi = std::acos(-1.0);
    for (std::size_t k = 0; k < n / 2; ++k) {
        cosines[k] = std::cos(2 * pi * static_cast<double>(k) / static_cast<double>(n));
        sines[k] = std::sin(2 * pi * static_cast<double>(k) / static_cast<double>(n));
    }
}

void Fft::transform(std::vector<double>& reValues, std::vector<double>& imValues, bool inverse) const
{
    // Plain pointers: vector indexing is a call per access in debug builds.
    double* re = reValues.data();
    double* im = imValues.data();
    const double* cosine = cosines.data();
    const double* sine = sines.data();
    const std::size_t* reversal = reversed.data();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = reversal[i];
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t half = len / 2;
        const std::size_t stride = n / len;
        for (std::size_t start = 0; start < n; start += len) {
            for (std::size_t k = 0; k < half; ++k) {
                const double wr = cosine[k * stride], wi = sign * sine[k * stride];
                const std::size_t a = start + k, b = a + half;
                const double br = re[b] * wr - im[b] * wi;
                const double bi = re[b] * wi + im[b] * wr;
                re[b] = re[a] - br;
                im[b] = im[a] - bi;
                re[a] += br;
                im[a] += bi;
            }
        }
    }
    if (inverse) {
        const double scale = 1.0 / static_cast<double>(n);
        for (std::size_t i = 0; i < n; ++i) {
            re[i] *= scale;
            im[i] *= scale;
        }
    }
}

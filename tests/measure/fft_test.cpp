#include <gtest/gtest.h>

#include <cmath>

#include "fft.h"

TEST(Fft, MatchesADirectTransformAndInvertsIt)
{
    const double pi = std::acos(-1.0);
    for (std::size_t n : {1u, 2u, 8u, 64u}) {
        SCOPED_TRACE(n);
        std::vector<double> re(n), im(n);
        for (std::size_t i = 0; i < n; ++i) {
            re[i] = std::sin(0.7 * i) + 0.1 * i;
            im[i] = std::cos(1.3 * i);
        }
        std::vector<double> fre = re, fim = im;
        const Fft fft(n);
        fft.transform(fre, fim, false);
        for (std::size_t k = 0; k < n; ++k) {
            double sr = 0, si = 0;
            for (std::size_t j = 0; j < n; ++j) {
                const double a = -2 * pi * static_cast<double>(j * k) / static_cast<double>(n);
                sr += re[j] * std::cos(a) - im[j] * std::sin(a);
                si += re[j] * std::sin(a) + im[j] * std::cos(a);
            }
            EXPECT_NEAR(fre[k], sr, 1e-9) << k;
            EXPECT_NEAR(fim[k], si, 1e-9) << k;
        }
        fft.transform(fre, fim, true);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_NEAR(fre[i], re[i], 1e-12);
            EXPECT_NEAR(fim[i], im[i], 1e-12);
        }
    }
}

TEST(Fft, NextPowerOfTwo)
{
    EXPECT_EQ(nextPowerOfTwo(1), 1u);
    EXPECT_EQ(nextPowerOfTwo(2), 2u);
    EXPECT_EQ(nextPowerOfTwo(3), 4u);
    EXPECT_EQ(nextPowerOfTwo(2646), 4096u);
    EXPECT_EQ(nextPowerOfTwo(4096), 4096u);
}

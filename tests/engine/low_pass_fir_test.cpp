#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "engine/low_pass_fir.h"
#include "engine/low_pass_fir_mmx.h"
#include "test_signals.h"

namespace {

std::vector<int> firstHalf(const LowPassFir& fir)
{
    const std::int16_t* c = fir.coefficientTable();
    return std::vector<int>(c, c + fir.tapCount() / 2);
}

int coefficientSum(const LowPassFir& fir)
{
    const std::int16_t* c = fir.coefficientTable();
    return std::accumulate(c, c + fir.tapCount(), 0);
}

TEST(LowPassFir, LengthIsRoundedDownToEightAndCapped)
{
    const struct { std::uint32_t requested, expected; } cases[] = {
        {32, 32}, {37, 32}, {7, 0}, {8, 8}, {128, 128}, {129, 128}, {1000, 128}};
    for (const auto& c : cases) {
        LowPassFir fir(c.requested);
        EXPECT_EQ(fir.tapCount(), c.expected) << "requested " << c.requested;
    }
}

TEST(LowPassFir, ReferenceCoefficients)
{
    LowPassFir fir(32);
    EXPECT_DOUBLE_EQ(fir.cutoffValue(), 0.5);
    EXPECT_EQ(firstHalf(fir), (std::vector<int>{-12, 16, -23, 35, -51, 73, -102, 139, -186, 247, -328, 441, -610,
                                                903, -1560, 4764}));
    EXPECT_EQ(coefficientSum(fir), 7492);

    fir.setCutoff(0.25);
    EXPECT_EQ(firstHalf(fir), (std::vector<int>{-8, -11, 16, 24, -36, -51, 72, 98, -131, -174, 232, 312, -431, -638,
                                                1103, 3368}));
    EXPECT_EQ(coefficientSum(fir), 7490);
}

TEST(LowPassFir, CoefficientSumsAtOtherCutoffs)
{
    const struct { double cutoff; int sum; } cases[] = {
        {5000.0 / 14142, 7506}, {7071 * 0.00005, 7506}, {0.01, 2508}};
    for (const auto& c : cases) {
        LowPassFir fir(32);
        fir.setCutoff(c.cutoff);
        EXPECT_EQ(coefficientSum(fir), c.sum) << "cutoff " << c.cutoff;
    }
    // The gain at zero frequency stays near 0.91 across the converter's range.
    for (double cutoff = 0.0625; cutoff <= 0.5; cutoff += 0.01) {
        LowPassFir fir(32);
        fir.setCutoff(cutoff);
        const double gain = coefficientSum(fir) / 8192.0;
        EXPECT_GE(gain, 0.912) << cutoff;
        EXPECT_LE(gain, 0.919) << cutoff;
    }
}

TEST(LowPassFir, CoefficientsAreSymmetricForEveryLength)
{
    for (std::uint32_t taps : {8u, 16u, 32u, 64u, 128u})
        for (double cutoff : {0.05, 0.2, 0.35, 0.5}) {
            LowPassFirMmx fir(taps);
            fir.setCutoff(cutoff);
            const std::int16_t* c = fir.coefficientTable();
            for (std::uint32_t k = 0; k < taps; ++k)
                ASSERT_EQ(c[k], c[taps - 1 - k]) << taps << " taps, cutoff " << cutoff << ", entry " << k;
        }
}

TEST(LowPassFir, ZeroCutoffGivesSilence)
{
    LowPassFir fir(32);
    fir.setCutoff(0.0);
    EXPECT_EQ(coefficientSum(fir), 0);
    const auto in = randomSamples(64, 3);
    std::vector<std::int16_t> out(32, 99);
    EXPECT_EQ(fir.filter(out.data(), in.data(), 64, 1), 32u);
    EXPECT_EQ(out, std::vector<std::int16_t>(32, 0));
}

TEST(LowPassFir, ConstantInputIsScaledByTheCoefficientSum)
{
    const struct { std::int16_t value; std::int16_t expected; } cases[] = {{10000, 9145}, {-32768, -29968}, {0, 0}};
    for (const auto& c : cases)
        for (int channels : {1, 2}) {
            LowPassFir fir(32);
            std::vector<std::int16_t> in(512 * channels, c.value), out(480 * channels, 1);
            EXPECT_EQ(fir.filter(out.data(), in.data(), 512, channels), 480u);
            EXPECT_EQ(out, std::vector<std::int16_t>(480 * channels, c.expected)) << c.value << " " << channels;
        }
}

TEST(LowPassFir, AlternatingInputCancelsAtEveryCutoff)
{
    for (double cutoff : {0.01, 0.1, 0.25, 0.3535, 0.5}) {
        LowPassFir fir(32);
        fir.setCutoff(cutoff);
        std::vector<std::int16_t> in(100), out(68, 1);
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = i % 2 ? -20000 : 20000;
        fir.filter(out.data(), in.data(), 100, 1);
        EXPECT_EQ(out, std::vector<std::int16_t>(68, 0)) << cutoff;
    }
}

// +32767 where the coefficient is positive, -32767 where it is negative.
std::vector<std::int16_t> worstCaseWindow(const LowPassFir& fir)
{
    std::vector<std::int16_t> in(fir.tapCount());
    for (std::uint32_t i = 0; i < fir.tapCount(); ++i)
        in[i] = fir.coefficientTable()[i] >= 0 ? 32767 : -32767;
    return in;
}

TEST(LowPassFir, PlainKernelsWrapInsteadOfClamping)
{
    LowPassFir fir(32);
    auto in = worstCaseWindow(fir);
    in.push_back(0);
    std::int16_t out = 0;
    EXPECT_EQ(fir.filter(&out, in.data(), 33, 1), 1u);
    EXPECT_EQ(out, 10381); // 621,917,660 >> 13 = 75917, low 16 bits

    std::vector<std::int16_t> stereo;
    for (std::int16_t s : in) {
        stereo.push_back(s);
        stereo.push_back(static_cast<std::int16_t>(-s));
    }
    std::int16_t pair[2] = {};
    EXPECT_EQ(fir.filter(pair, stereo.data(), 33, 2), 1u);
    EXPECT_EQ(pair[0], 10381);
    EXPECT_EQ(pair[1], static_cast<std::int16_t>(-75918)); // floor of the negative sum, wrapped
}

TEST(LowPassFir, FrameCountsAndChannelSelection)
{
    LowPassFir fir(32);
    const auto in = randomSamples(2 * 512, 5);
    std::vector<std::int16_t> out(2 * 512);
    EXPECT_EQ(fir.filter(out.data(), in.data(), 32, 1), 0u);
    EXPECT_EQ(fir.filter(out.data(), in.data(), 31, 1), 0u) << "too few frames gives nothing";
    EXPECT_EQ(fir.filter(out.data(), in.data(), 512, 2), 480u);

    // Every channel count but 2 takes the one-channel kernel.
    std::vector<std::int16_t> mono(480);
    fir.filter(mono.data(), in.data(), 512, 1);
    for (int channels : {0, 3}) {
        std::vector<std::int16_t> other(480);
        EXPECT_EQ(fir.filter(other.data(), in.data(), 512, channels), 480u);
        EXPECT_EQ(other, mono) << channels;
    }
}

TEST(LowPassFir, ZeroTapsWritesZeroForEveryFrame)
{
    LowPassFir fir(7);
    const auto in = randomSamples(10, 9);
    std::vector<std::int16_t> out(10, 5);
    EXPECT_EQ(fir.filter(out.data(), in.data(), 10, 1), 10u);
    EXPECT_EQ(out, std::vector<std::int16_t>(10, 0));
}

TEST(LowPassFirMmx, PackedTableFollowsEveryRecomputation)
{
    LowPassFirMmx fir(32);
    for (double cutoff : {0.5, 0.25, 0.1}) {
        fir.setCutoff(cutoff);
        const std::int16_t* c = fir.coefficientTable();
        const std::int16_t* p = fir.packedTable();
        for (std::uint32_t i = 0; i < 32; i += 2) {
            EXPECT_EQ(p[2 * i], c[i]);
            EXPECT_EQ(p[2 * i + 1], c[i + 1]);
            EXPECT_EQ(p[2 * i + 2], c[i]);
            EXPECT_EQ(p[2 * i + 3], c[i + 1]);
        }
    }
}

TEST(LowPassFirMmx, StereoKernelMatchesPlainWithinRangeAndTakesPairs)
{
    for (double cutoff : {0.5, 0.3535567812190638, 0.25, 0.0625}) {
        LowPassFir plain(32);
        LowPassFirMmx packed(32);
        plain.setCutoff(cutoff);
        packed.setCutoff(cutoff);
        const auto in = randomSamples(2 * 513, 11, -20000, 20000);
        std::vector<std::int16_t> expected(2 * 513), actual(2 * 513);
        EXPECT_EQ(plain.filter(expected.data(), in.data(), 513, 2), 481u);
        EXPECT_EQ(packed.filter(actual.data(), in.data(), 513, 2), 480u) << "odd frame left over";
        expected.resize(2 * 480);
        actual.resize(2 * 480);
        EXPECT_EQ(actual, expected) << cutoff;
    }
}

TEST(LowPassFirMmx, StereoKernelClampsWhereThePlainOneWraps)
{
    LowPassFirMmx packed(32);
    auto window = worstCaseWindow(packed);
    window.push_back(0);
    window.push_back(0);
    std::vector<std::int16_t> stereo;
    for (std::int16_t s : window) {
        stereo.push_back(s);
        stereo.push_back(static_cast<std::int16_t>(-s));
    }
    std::int16_t out[4] = {};
    EXPECT_EQ(packed.filter(out, stereo.data(), 34, 2), 2u);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32768);

    // One channel is the shared plain kernel, which wraps.
    std::int16_t mono = 0;
    EXPECT_EQ(packed.filter(&mono, window.data(), 33, 1), 1u);
    EXPECT_EQ(mono, 10381);
}

} // namespace

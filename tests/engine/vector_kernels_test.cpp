#include <gtest/gtest.h>

#include <vector>

#include "engine/vector_kernels.h"
#include "test_signals.h"

namespace {

std::vector<std::vector<std::int16_t>> signals(std::size_t n)
{
    std::vector<std::vector<std::int16_t>> all{randomSamples(n, 1), randomSamples(n, 2, -300, 300),
                                              std::vector<std::int16_t>(n, -32768),
                                              std::vector<std::int16_t>(n, 32767)};
    std::vector<std::int16_t> alternating(n);
    for (std::size_t i = 0; i < n; ++i)
        alternating[i] = i % 2 ? 32767 : -32768;
    all.push_back(alternating);
    return all;
}

TEST(VectorKernels, PlainComesFirstAndTheActiveOneIsTheLast)
{
    const auto kernels = availableMonoKernels();
    ASSERT_FALSE(kernels.empty());
    EXPECT_STREQ(kernels.front().name, "plain");
    EXPECT_STREQ(activeMonoKernels().name, kernels.back().name);
}

TEST(VectorKernels, CorrelationMatchesPlainOnRandomAndExtremeInput)
{
    const auto weightSets = signals(512);
    const auto inputSets = signals(512);
    for (const auto& kernels : availableMonoKernels())
        for (std::uint32_t length : {16u, 32u, 128u, 256u, 512u, 24u, 3u, 0u})
            for (unsigned shift : {4u, 7u, 9u})
                for (const auto& w : weightSets)
                    for (const auto& x : inputSets)
                        ASSERT_EQ(kernels.correlate(w.data(), x.data(), length, shift),
                                  correlateMonoPlain(w.data(), x.data(), length, shift))
                            << kernels.name << " length " << length << " shift " << shift;
}

TEST(VectorKernels, FilterMatchesPlainOnRandomAndExtremeInput)
{
    const auto coefficientSets = signals(128);
    const auto inputSets = signals(700);
    for (const auto& kernels : availableMonoKernels())
        for (std::uint32_t length : {8u, 32u, 128u})
            for (const auto& c : coefficientSets)
                for (const auto& x : inputSets) {
                    std::vector<std::int16_t> expected(700), actual(700);
                    const auto n = firMonoPlain(expected.data(), x.data(), 700, c.data(), length);
                    ASSERT_EQ(kernels.fir(actual.data(), x.data(), 700, c.data(), length), n);
                    ASSERT_EQ(actual, expected) << kernels.name << " length " << length;
                }
}

} // namespace

#include <gtest/gtest.h>

#include <vector>

#include "engine/time_stretcher.h"
#include "engine/time_stretcher_mmx.h"
#include "test_signals.h"

namespace {

TEST(TimeStretcher, ConstructionDefaults)
{
    TimeStretcher stretcher;
    EXPECT_EQ(stretcher.channelCount(), 2);
    EXPECT_EQ(stretcher.currentTempo(), 10000u);
    EXPECT_EQ(stretcher.blockSize(), 0u);
    EXPECT_EQ(stretcher.required(), 4850u);
    for (std::uint32_t i = 0; i < TimeStretcher::TAIL_SAMPLES; ++i)
        ASSERT_EQ(stretcher.tail()[i], 0);
}

TEST(TimeStretcher, ParametersPerSampleRate)
{
    const struct { std::uint32_t rate, search, segment, bits, overlap, slope; } cases[] = {
        {8000, 224, 656, 7, 128, 11},  {22050, 617, 1808, 8, 256, 13}, {44100, 1234, 3616, 9, 512, 15},
        {48000, 1344, 3936, 9, 512, 15}, {96000, 2688, 7872, 9, 512, 15}, {1000, 28, 82, 4, 16, 5},
        {0, 0, 0, 9, 512, 15}};
    for (const auto& c : cases) {
        TimeStretcher stretcher;
        stretcher.setParameters(c.rate, 82, 28, 12);
        EXPECT_EQ(stretcher.search(), c.search) << c.rate;
        EXPECT_EQ(stretcher.segment(), c.segment) << c.rate;
        EXPECT_EQ(stretcher.overlapShift(), c.bits) << c.rate;
        EXPECT_EQ(stretcher.overlap(), c.overlap) << c.rate;
        EXPECT_EQ(stretcher.slope(), c.slope) << c.rate;
    }
}

TEST(TimeStretcher, ThresholdPerTempo)
{
    const struct { ScaledRatio tempo; std::uint32_t required; } cases[] = {
        {5000, 4850}, {7071, 4850}, {10000, 4850}, {10594, 5034}, {14142, 6135}, {20000, 7954}};
    for (const auto& c : cases) {
        TimeStretcher stretcher;
        stretcher.setTempo(c.tempo);
        EXPECT_EQ(stretcher.required(), c.required) << c.tempo;
    }
}

TEST(TimeStretcher, NewSampleRateUpdatesTheThreshold)
{
    TimeStretcher stretcher;
    stretcher.setTempo(14142);
    stretcher.setParameters(96000, 82, 28, 12);
    // (7872 - 512) * 14142 / 10000 = 10408; max(512 + 10408, 7872) + 2688
    EXPECT_EQ(stretcher.required(), 13608u);
}

TEST(TimeStretcher, OutputBlockSizePerChannelCount)
{
    TimeStretcher stretcher;
    EXPECT_EQ(stretcher.setOutputBlockBytes(1024), 256u);
    stretcher.setChannels(1);
    EXPECT_EQ(stretcher.blockSize(), 512u);
    EXPECT_EQ(stretcher.setOutputBlockBytes(1024), 512u);
}

TEST(TimeStretcher, OutputCountRules)
{
    const struct { std::uint32_t available, frames, block; ScaledRatio tempo; std::uint32_t expected; } cases[] = {
        {0, 512, 512, 10000, 0},     {31, 362, 512, 10000, 30},   {100, 362, 512, 10000, 32},
        {3104, 512, 512, 10000, 512}, {1537, 512, 512, 10000, 512}, {1056, 512, 512, 10000, 512},
        {544, 512, 512, 10000, 32},   {700, 362, 512, 7071, 338},  {1000, 362, 512, 7071, 510},
        {2000, 0, 512, 10000, 512},   {1000, 0, 512, 10000, 0},    {600, 600, 512, 10000, 32},
        // A due count larger than what is held fails the test as a negative difference.
        {40, 40, 512, 1000, 32},      {10, 4, 512, 10000, 4},      {20, 15, 512, 10000, 20}, {8, 7, 512, 10000, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeStretcher::outputCount(c.available, c.frames, c.block, c.tempo), c.expected)
            << c.available << " " << c.frames << " " << c.block << " " << c.tempo;
}

std::vector<std::uint32_t> handouts(TimeStretcher& stretcher, int calls, std::uint32_t frames, std::uint32_t seed)
{
    std::vector<std::uint32_t> counts;
    std::vector<std::int16_t> out(2 * 1024);
    for (int call = 0; call < calls; ++call)
        counts.push_back(stretcher.process(out.data(), randomSamples(frames * stretcher.channelCount(), seed + call).data(), frames));
    return counts;
}

TEST(TimeStretcher, FillsThenHandsOutBlocksAtUnitTempo)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    stretcher.setOutputBlockBytes(1024);
    const auto counts = handouts(stretcher, 20, 512, 1);
    const std::vector<std::uint32_t> expected{0, 0, 0, 0, 0, 0, 0, 0, 0, 512, 512, 512, 512, 512, 32,
                                              512, 512, 512, 512, 512};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(stretcher.inputSize(), 5248u) << "5120 held at most, plus slack";
}

TEST(TimeStretcher, DurationFollowsTheTempo)
{
    for (ScaledRatio tempo : {7071u, 10000u, 14142u}) {
        TimeStretcher stretcher;
        stretcher.setChannels(1);
        stretcher.setOutputBlockBytes(1024);
        stretcher.setTempo(tempo);
        const std::uint32_t frames = 362;
        std::uint64_t total = 0;
        for (const auto n : handouts(stretcher, 2000, frames, 3))
            total += n;
        const double expected = 2000.0 * frames * 10000 / tempo;
        EXPECT_NEAR(total, expected, 12000) << tempo;
    }
}

TEST(TimeStretcher, EachSegmentConsumesTheStrideAndEmitsSegmentMinusOverlap)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    stretcher.setOutputBlockBytes(1024);
    stretcher.setTempo(14142);
    ASSERT_EQ(stretcher.required(), 6135u);
    const auto in = randomSamples(6135, 2);
    std::vector<std::int16_t> out(1024);
    const auto handed = stretcher.process(out.data(), in.data(), 6135);
    EXPECT_EQ(stretcher.heldInput(), 6135u - 4389u);
    EXPECT_EQ(handed + stretcher.heldOutput(), 3104u);
}

TEST(TimeStretcher, FirstSegmentFadesInFromSilence)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    stretcher.setOutputBlockBytes(1024);
    const auto in = randomSamples(4850, 21);
    std::vector<std::int16_t> out(4096), got;
    std::uint32_t n = stretcher.process(out.data(), in.data(), 4850);
    got.insert(got.end(), out.begin(), out.begin() + n);
    // The segment's last overlap becomes the next tail.
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(stretcher.tail()[i], in[3104 + i]) << i;
    const std::vector<std::int16_t> none;
    while (got.size() < 3104) {
        n = stretcher.process(out.data(), none.data(), 0);
        if (n == 0) {
            // Below the reserve rules hand out nothing for empty calls; feed silence.
            const std::vector<std::int16_t> silence(512, 0);
            n = stretcher.process(out.data(), silence.data(), 512);
        }
        got.insert(got.end(), out.begin(), out.begin() + n);
    }
    // A zero tail matches every offset equally, so offset 0 wins.
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(got[i], static_cast<std::int16_t>((in[i] * i) >> 9)) << i;
    for (int i = 512; i < 3104; ++i)
        ASSERT_EQ(got[i], in[i]) << i;
}

TEST(TimeStretcher, SilenceInSilenceOut)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    stretcher.setOutputBlockBytes(1024);
    stretcher.setTempo(7071);
    const std::vector<std::int16_t> silence(512, 0);
    std::vector<std::int16_t> out(1024, 7);
    for (int call = 0; call < 40; ++call) {
        const auto n = stretcher.process(out.data(), silence.data(), 512);
        for (std::uint32_t i = 0; i < n; ++i)
            ASSERT_EQ(out[i], 0);
    }
}

TEST(TimeStretcher, SearchFindsTheMatchingOffsetAndPrefersTheSmallest)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    const auto tail = randomSamples(512, 5, -12000, 12000);
    stretcher.setTail(tail.data(), 512);
    std::vector<std::int16_t> input(1234 + 512, 0);
    std::copy(tail.begin(), tail.end(), input.begin() + 700);
    EXPECT_EQ(stretcher.findBestOffset(input.data()), 700u);

    // The same match twice: the earlier offset wins the tie.
    std::copy(tail.begin(), tail.end(), input.begin() + 100);
    EXPECT_EQ(stretcher.findBestOffset(input.data()), 100u);
}

TEST(TimeStretcher, WeightedReferenceWrapsInsteadOfSaturating)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    std::vector<std::int16_t> tail(512, 20000);
    stretcher.setTail(tail.data(), 512);
    const std::vector<std::int16_t> input(1234 + 512, 0);
    stretcher.findBestOffset(input.data());
    EXPECT_EQ(stretcher.weightedReference()[256], -25536);
    EXPECT_EQ(stretcher.weightedReference()[0], 0);
    EXPECT_EQ(stretcher.weightedReference()[1], (20000 * 511 * 1) >> 15);
}

TEST(TimeStretcher, CrossfadeEndpoints)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    const auto tail = randomSamples(512, 8);
    const auto input = randomSamples(600, 9);
    stretcher.setTail(tail.data(), 512);
    std::vector<std::int16_t> out(512);
    stretcher.crossfade(out.data(), input.data(), 40);
    EXPECT_EQ(out[0], tail[0]);
    EXPECT_EQ(out[511], static_cast<std::int16_t>((tail[511] + input[40 + 511] * 511) >> 9));
    EXPECT_EQ(out[256], static_cast<std::int16_t>((tail[256] * 256 + input[296] * 256) >> 9));
}

TEST(TimeStretcher, ChannelChangesReinterpretTheQueues)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    std::vector<std::int16_t> out(1024);
    stretcher.process(out.data(), randomSamples(1000, 1).data(), 1000);
    ASSERT_EQ(stretcher.heldInput(), 1000u);
    stretcher.setChannels(2);
    EXPECT_EQ(stretcher.heldInput(), 500u);
    stretcher.setChannels(1);
    EXPECT_EQ(stretcher.heldInput(), 1000u);
    stretcher.setChannels(1);
    EXPECT_EQ(stretcher.heldInput(), 1000u);
}

TEST(TimeStretcher, ShortCallsNeverHandOutMoreThanHeld)
{
    TimeStretcher stretcher;
    stretcher.setChannels(1);
    stretcher.setOutputBlockBytes(1024);
    std::vector<std::int16_t> out(1024);
    std::uint64_t in = 0, handed = 0;
    for (int call = 0; call < 4000; ++call) {
        const std::uint32_t frames = 1 + call % 7;
        const auto n = stretcher.process(out.data(), randomSamples(frames, call).data(), frames);
        in += frames;
        handed += n;
        ASSERT_LE(stretcher.heldOutput(), 8192u) << "handed out more than held at call " << call;
        ASSERT_LE(n, 512u);
    }
    EXPECT_GT(handed, 0u);
    EXPECT_LE(handed, in);
}

// Random, extreme and alternating signals for comparing kernels.
std::vector<std::vector<std::int16_t>> kernelInputs(std::size_t samples)
{
    std::vector<std::vector<std::int16_t>> inputs;
    inputs.push_back(randomSamples(samples, 1));
    inputs.push_back(randomSamples(samples, 2, -2000, 2000));
    inputs.push_back(std::vector<std::int16_t>(samples, -32768));
    inputs.push_back(std::vector<std::int16_t>(samples, 32767));
    std::vector<std::int16_t> alternating(samples);
    for (std::size_t i = 0; i < samples; ++i)
        alternating[i] = (i / 2) % 2 ? 32767 : -32768;
    inputs.push_back(alternating);
    std::vector<std::int16_t> sparse = randomSamples(samples, 3);
    for (std::size_t i = 0; i < samples; ++i)
        if (i % 5)
            sparse[i] = i % 3 ? -32768 : 32767;
    inputs.push_back(sparse);
    return inputs;
}

TEST(TimeStretcherMmx, StereoKernelsMatchThePlainOnes)
{
    const auto signals = kernelInputs(2 * (1234 + 600));
    for (std::uint32_t rate : {44100u, 22050u, 8000u})
        for (const auto& tail : signals)
            for (const auto& input : signals) {
                TimeStretcher plain;
                TimeStretcherMmx packed;
                plain.setParameters(rate, 82, 28, 12);
                packed.setParameters(rate, 82, 28, 12);
                plain.setTail(tail.data(), 1024);
                packed.setTail(tail.data(), 1024);
                const auto best = plain.findBestOffset(input.data());
                ASSERT_EQ(packed.findBestOffset(input.data()), best) << rate;
                ASSERT_TRUE(std::equal(plain.weightedReference(), plain.weightedReference() + 1024,
                                       packed.weightedReference()));
                std::vector<std::int16_t> a(1024), b(1024);
                for (std::uint32_t offset : {best, 0u, 17u}) {
                    plain.crossfade(a.data(), input.data(), offset);
                    packed.crossfade(b.data(), input.data(), offset);
                    ASSERT_EQ(a, b) << rate << " offset " << offset;
                }
            }
}

TEST(TimeStretcherMmx, WholeStreamsMatchThePlainClass)
{
    for (ScaledRatio tempo : {7071u, 10000u, 14142u}) {
        for (int channels : {1, 2}) {
            TimeStretcher plain;
            TimeStretcherMmx packed;
            for (TimeStretcher* s : {static_cast<TimeStretcher*>(&plain), static_cast<TimeStretcher*>(&packed)}) {
                s->setChannels(channels);
                s->setOutputBlockBytes(1024 * channels);
                s->setTempo(tempo);
            }
            std::vector<std::int16_t> a(2048), b(2048);
            for (int call = 0; call < 120; ++call) {
                const auto in = call % 10 == 9 ? std::vector<std::int16_t>(512 * channels, -32768)
                                               : randomSamples(512 * channels, call);
                const auto na = plain.process(a.data(), in.data(), 512);
                const auto nb = packed.process(b.data(), in.data(), 512);
                ASSERT_EQ(na, nb);
                ASSERT_TRUE(std::equal(a.begin(), a.begin() + na * channels, b.begin()))
                    << tempo << " " << channels << " call " << call;
            }
        }
    }
}

} // namespace

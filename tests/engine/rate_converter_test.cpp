#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/rate_converter.h"
#include "test_signals.h"

namespace {

std::unique_ptr<RateConverter> monoConverter(ScaledRatio rate, int accelerated = 0)
{
    auto converter = std::make_unique<RateConverter>(accelerated);
    converter->setChannels(1);
    converter->setRate(rate);
    return converter;
}

std::vector<int> interpolate(RateConverter& converter, std::vector<std::int16_t> in)
{
    std::vector<std::int16_t> out(in.size() * 10 + 16);
    const std::uint32_t n = converter.interpolateMono(out.data(), in.data(), static_cast<std::uint32_t>(in.size()));
    return std::vector<int>(out.begin(), out.begin() + n);
}

TEST(RateConverter, StartsAtUnitRateWithNothingHeld)
{
    RateConverter converter(0);
    EXPECT_EQ(converter.currentRate(), 10000u);
    EXPECT_EQ(converter.channelCount(), 2);
    EXPECT_TRUE(converter.isEmpty());
    EXPECT_EQ(converter.currentPhase(), 0);
    EXPECT_EQ(converter.storageSize(), 0u);
    EXPECT_EQ(converter.outputCapacity(), 0u);
    EXPECT_DOUBLE_EQ(converter.lowPassFilter().cutoffValue(), 0.5);
    EXPECT_EQ(converter.lowPassFilter().tapCount(), 32u);
}

TEST(RateConverter, CutoffFollowsTheRate)
{
    const struct { ScaledRatio rate; double cutoff; } cases[] = {
        {10000, 0.5}, {20000, 0.25}, {5000, 0.25}, {14142, 0.3535567812190638}, {7071, 0.35355000000000003}};
    for (const auto& c : cases) {
        RateConverter converter(1);
        converter.setRate(c.rate);
        EXPECT_EQ(converter.lowPassFilter().cutoffValue(), c.cutoff) << c.rate;
    }
}

TEST(RateConverter, InterpolationAtHalfRateCarriesPhaseAndLastFrame)
{
    auto converterOwner = monoConverter(5000);
    auto& converter = *converterOwner;
    EXPECT_EQ(interpolate(converter, {100, 200, 300, 400}), (std::vector<int>{0, 50, 100, 150, 200, 250, 300, 350, 400}));
    EXPECT_EQ(converter.currentPhase(), 5000);
    EXPECT_EQ(converter.carried(0), 400);
    EXPECT_EQ(interpolate(converter, {500, 600}), (std::vector<int>{450, 500, 550, 600}));
}

TEST(RateConverter, InterpolationAtDoubleRate)
{
    auto converterOwner = monoConverter(20000);
    auto& converter = *converterOwner;
    EXPECT_EQ(interpolate(converter, {10, 20, 30, 40, 50, 60, 70, 80}), (std::vector<int>{0, 20, 40, 60, 80}));
    EXPECT_EQ(converter.currentPhase(), 20000);
    EXPECT_EQ(converter.carried(0), 80);
    // The next frame out lies two frames on: the second input frame.
    EXPECT_EQ(interpolate(converter, {1, 2, 3, 4}), (std::vector<int>{2, 4}));
}

TEST(RateConverter, InterpolationTruncatesTowardZero)
{
    auto converterOwner = monoConverter(5000);
    auto& converter = *converterOwner;
    interpolate(converter, {-3, -3});
    // Halfway between -3 and 0 is -1.5, which becomes -1.
    EXPECT_EQ(interpolate(converter, {0, 0}), (std::vector<int>{-1, 0, 0, 0}));
}

TEST(RateConverter, InterpolationCountNeverExceedsTheBound)
{
    for (ScaledRatio rate : {1234u, 5000u, 7071u, 9999u, 10001u, 14142u, 20000u, 39999u}) {
        auto converterOwner = monoConverter(rate);
    auto& converter = *converterOwner;
        for (std::uint32_t frames : {2u, 3u, 17u, 512u, 480u}) {
            const auto in = randomSamples(frames, rate + frames);
            const std::int32_t phaseBefore = converter.currentPhase();
            const std::size_t n = interpolate(converter, in).size();
            EXPECT_LE(n, std::size_t(frames) * 10000 / rate + 1) << rate << " " << frames;
            const std::int64_t span = std::int64_t(frames) * 10000 - phaseBefore;
            const std::size_t expected = span >= 0 ? std::size_t(span / rate + 1) : 0;
            EXPECT_EQ(n, expected) << rate << " " << frames;
            EXPECT_GT(converter.currentPhase(), 0);
            EXPECT_EQ(converter.carried(0), in.back());
        }
    }
}

TEST(RateConverter, StereoInterpolationUsesOneWeightForBothChannels)
{
    RateConverter converter(0);
    converter.setRate(5000);
    const std::vector<std::int16_t> in{100, -100, 200, -200};
    std::vector<std::int16_t> out(16);
    EXPECT_EQ(converter.interpolateStereo(out.data(), in.data(), 2), 5u);
    EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 10), (std::vector<int>{0, 0, 50, -50, 100, -100, 150, -150, 200, -200}));
    EXPECT_EQ(converter.carried(0), 200);
    EXPECT_EQ(converter.carried(1), -200);
}

struct CallCounts {
    ScaledRatio rate;
    std::uint32_t first, later1, later2, storage;
};

TEST(RateConverter, WorkedCountsForMonoBlocks)
{
    const CallCounts cases[] = {
        {20000, 241, 256, 256, 640}, {5000, 993, 1024, 1024, 1152}, {14142, 0, 362, 363, 0}, {7071, 0, 724, 725, 0}};
    for (const auto& c : cases) {
        auto converterOwner = monoConverter(c.rate);
    auto& converter = *converterOwner;
        converter.setOutputCapacity(4096);
        std::vector<std::int16_t> out(2048);
        const auto first = converter.process(out.data(), randomSamples(512, 1).data(), 512);
        if (c.first) {
            EXPECT_EQ(first, c.first) << c.rate;
        }
        if (c.storage) {
            EXPECT_EQ(converter.storageSize(), c.storage) << c.rate;
        }
        EXPECT_EQ(converter.held(), 32u) << "the filter's history stays";
        for (int call = 0; call < 50; ++call) {
            const auto n = converter.process(out.data(), randomSamples(512, call + 2).data(), 512);
            EXPECT_TRUE(n == c.later1 || n == c.later2) << c.rate << " call " << call << ": " << n;
            EXPECT_EQ(converter.held(), 32u);
        }
    }
}

TEST(RateConverter, UpAndDownPathsFilterAndInterpolateInTheirOrder)
{
    // A constant signal comes out as the constant times the filter's gain, either way.
    for (ScaledRatio rate : {5000u, 20000u}) {
        auto converterOwner = monoConverter(rate);
    auto& converter = *converterOwner;
        const std::vector<std::int16_t> in(512, 10000);
        std::vector<std::int16_t> out(2048);
        converter.process(out.data(), in.data(), 512);
        const auto n = converter.process(out.data(), in.data(), 512);
        for (std::uint32_t i = 0; i < n; ++i)
            ASSERT_EQ(out[i], 9143) << rate << " frame " << i; // cutoff 0.25: 10000 * 7490 >> 13
    }
}

TEST(RateConverter, PassThroughWithNothingHeld)
{
    RateConverter converter(0);
    converter.setChannels(1);
    converter.setOutputCapacity(20); // 10 frames, ignored without held frames
    auto in = randomSamples(512, 4);
    std::vector<std::int16_t> out(512);
    EXPECT_EQ(converter.process(out.data(), in.data(), 512), 512u);
    EXPECT_EQ(out, in);

    const auto before = in;
    EXPECT_EQ(converter.process(in.data(), in.data(), 512), 512u);
    EXPECT_EQ(in, before);
    EXPECT_TRUE(converter.isEmpty());
}

// Leaves 32 frames held after a call at +1 semitone.
std::unique_ptr<RateConverter> converterHolding32()
{
    auto converterOwner = monoConverter(10594);
    auto& converter = *converterOwner;
    std::vector<std::int16_t> out(1024);
    converter.process(out.data(), randomSamples(512, 8).data(), 512);
    converter.setRate(10000);
    return converterOwner;
}

TEST(RateConverter, PassThroughDrainsHeldFramesFirst)
{
    const struct { std::uint32_t capacityFrames, result, heldAfter; } cases[] = {{544, 544, 0}, {100, 100, 444}};
    for (const auto& c : cases) {
        auto converterOwner = converterHolding32();
        auto& converter = *converterOwner;
        ASSERT_EQ(converter.held(), 32u);
        const std::vector<std::int16_t> held(converter.heldSamples(), converter.heldSamples() + 32);
        converter.setOutputCapacity(c.capacityFrames * 2);
        const auto in = randomSamples(512, 12);
        std::vector<std::int16_t> out(600, 0);
        EXPECT_EQ(converter.process(out.data(), in.data(), 512), c.result);
        EXPECT_EQ(converter.held(), c.heldAfter);
        EXPECT_EQ(converter.isEmpty(), c.heldAfter == 0);
        std::vector<std::int16_t> expected = held;
        expected.insert(expected.end(), in.begin(), in.begin() + (c.result - 32));
        EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + c.result), expected);
        if (c.heldAfter) {
            EXPECT_EQ(std::vector<std::int16_t>(converter.heldSamples(), converter.heldSamples() + c.heldAfter),
                      std::vector<std::int16_t>(in.begin() + 68, in.end()));
        }
    }
}

TEST(RateConverter, PassThroughInPlaceQueuesTheInput)
{
    auto converterOwner = converterHolding32();
        auto& converter = *converterOwner;
    const std::vector<std::int16_t> held(converter.heldSamples(), converter.heldSamples() + 32);
    converter.setOutputCapacity(1024);
    auto block = randomSamples(512, 13);
    const auto in = block;
    block.resize(600);
    EXPECT_EQ(converter.process(block.data(), block.data(), 512), 512u);
    EXPECT_EQ(converter.held(), 32u);
    std::vector<std::int16_t> expected = held;
    expected.insert(expected.end(), in.begin(), in.begin() + 480);
    EXPECT_EQ(std::vector<std::int16_t>(block.begin(), block.begin() + 512), expected);
}

TEST(RateConverter, ChannelChangesReinterpretHeldFrames)
{
    RateConverter converter(0);
    converter.setRate(20000);
    converter.setOutputCapacity(1088);
    EXPECT_EQ(converter.outputCapacity(), 272u);
    std::vector<std::int16_t> out(1024);
    converter.process(out.data(), randomSamples(2 * 37, 2).data(), 37); // stereo: 32 held, 5 filtered
    ASSERT_EQ(converter.held(), 32u);
    ASSERT_NE(converter.currentPhase(), 0);

    converter.setChannels(2);
    EXPECT_NE(converter.currentPhase(), 0) << "the same count changes nothing";
    converter.setChannels(1);
    EXPECT_EQ(converter.held(), 64u);
    EXPECT_EQ(converter.currentPhase(), 0);
    EXPECT_EQ(converter.carried(0), 0);
    EXPECT_EQ(converter.outputCapacity(), 544u);
    converter.setChannels(2);
    EXPECT_EQ(converter.held(), 32u);
}

TEST(RateConverter, ChannelChangeOfOddHeldFramesHalvesDown)
{
    RateConverter converter(0);
    converter.setChannels(1);
    converter.setRate(10594);
    std::vector<std::int16_t> out(1024);
    converter.process(out.data(), randomSamples(37, 2).data(), 37);
    converter.setRate(10000);
    converter.setOutputCapacity(0);
    converter.process(out.data(), randomSamples(5, 3).data(), 5); // 37 held now
    ASSERT_EQ(converter.held(), 37u);
    converter.setChannels(2);
    EXPECT_EQ(converter.held(), 18u);
}

TEST(RateConverter, OutputCapacityInFrames)
{
    RateConverter converter(0);
    converter.setOutputCapacity(1088);
    EXPECT_EQ(converter.outputCapacity(), 272u);
    converter.setChannels(1);
    EXPECT_EQ(converter.outputCapacity(), 544u);
    converter.setOutputCapacity(1088);
    EXPECT_EQ(converter.outputCapacity(), 544u);
}

TEST(RateConverter, AcceleratedVariantGivesTheSameOneChannelOutput)
{
    for (ScaledRatio rate : {7071u, 14142u, 20000u, 5000u}) {
        auto plainOwner = monoConverter(rate, 0);
    auto& plain = *plainOwner;
        auto acceleratedOwner = monoConverter(rate, 1);
    auto& accelerated = *acceleratedOwner;
        std::vector<std::int16_t> a(2048), b(2048);
        for (int call = 0; call < 20; ++call) {
            const auto in = randomSamples(512, call, -32768, 32767);
            const auto na = plain.process(a.data(), in.data(), 512);
            const auto nb = accelerated.process(b.data(), in.data(), 512);
            ASSERT_EQ(na, nb);
            ASSERT_TRUE(std::equal(a.begin(), a.begin() + na, b.begin())) << rate << " call " << call;
        }
    }
}

TEST(RateConverter, AcceleratedStereoKeepsAnOddFrame)
{
    RateConverter converter(1);
    converter.setRate(20000);
    std::vector<std::int16_t> out(2048);
    converter.process(out.data(), randomSamples(2 * 511, 6).data(), 511);
    EXPECT_EQ(converter.held(), 33u);
}

} // namespace

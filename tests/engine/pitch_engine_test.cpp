#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/cpu_probe.h"
#include "engine/pitch_engine.h"
#include "test_signals.h"

namespace {

// The live program's configuration.
void configureLikeTheProgram(PitchEngine& engine, int semitones)
{
    engine.setChannels(1);
    engine.setSampleRate(44100);
    engine.setOutputBlockBytes(1024);
    engine.setPitchSemitones(semitones);
}

TEST(PitchEngine, ConstructionState)
{
    PitchEngine engine;
    EXPECT_EQ(engine.pitch(), 1.0f);
    EXPECT_EQ(engine.rate(), 10000u);
    EXPECT_EQ(engine.tempo(), 10000u);
    EXPECT_EQ(engine.scratchSize(), 0u);
    EXPECT_EQ(engine.rateConverter().channelCount(), 2);
    EXPECT_EQ(engine.timeStretcher().channelCount(), 2);
    EXPECT_EQ(engine.timeStretcher().blockSize(), 0u);
    EXPECT_EQ(engine.accelerated(), cpuHasMmx() == 1);
}

TEST(PitchEngine, ProbeAnswersOneOrZero)
{
    const int answer = cpuHasMmx();
    EXPECT_TRUE(answer == 0 || answer == 1);
#if defined(__x86_64__)
    EXPECT_EQ(answer, 1) << "every x86-64 processor has MMX";
#endif
}

TEST(PitchEngine, SemitonesToRatios)
{
    const struct { int semitones; float pitch; ScaledRatio rate, tempo; } cases[] = {
        {0, 1.0f, 10000, 10000},        {1, 1.0594631f, 10594, 9438},  {-1, 0.9438743f, 9438, 10594},
        {6, 1.4142135f, 14142, 7071},   {-6, 0.70710677f, 7071, 14142}, {12, 2.0f, 20000, 5000},
        {-12, 0.5f, 5000, 20000},       {24, 4.0f, 40000, 2500},        {-24, 0.25f, 2500, 40000},
        {36, 8.0f, 80000, 1250},        {48, 16.0f, 160000, 625},       {-48, 0.0625f, 625, 160000},
    };
    for (const auto& c : cases) {
        PitchEngine engine;
        engine.setPitchSemitones(c.semitones);
        EXPECT_EQ(engine.pitch(), c.pitch) << c.semitones;
        EXPECT_EQ(engine.rate(), c.rate) << c.semitones;
        EXPECT_EQ(engine.tempo(), c.tempo) << c.semitones;
        EXPECT_EQ(engine.rateConverter().currentRate(), c.rate);
        EXPECT_EQ(engine.timeStretcher().currentTempo(), c.tempo);
    }
}

TEST(PitchEngine, ConfigurationReachesBothStages)
{
    PitchEngine engine;
    engine.setChannels(1);
    EXPECT_EQ(engine.rateConverter().channelCount(), 1);
    EXPECT_EQ(engine.timeStretcher().channelCount(), 1);
    EXPECT_EQ(engine.setOutputBlockBytes(1024), 512);
    engine.setSampleRate(22050);
    EXPECT_EQ(engine.timeStretcher().segment(), 1808u);
    EXPECT_EQ(engine.timeStretcher().overlap(), 256u);
}

TEST(PitchEngine, ScratchSizesGrowAndNeverShrink)
{
    const struct { int semitones; std::uint32_t scratch; } steps[] = {{6, 394}, {-6, 756}, {6, 756}, {-12, 1056}};
    PitchEngine engine;
    configureLikeTheProgram(engine, 0);
    std::vector<std::int16_t> out(512);
    const auto in = randomSamples(512, 1);
    for (const auto& step : steps) {
        engine.setPitchSemitones(step.semitones);
        engine.process(out.data(), in.data(), 512);
        EXPECT_EQ(engine.scratchSize(), step.scratch) << step.semitones;
        EXPECT_EQ(engine.rateConverter().outputCapacity(), step.scratch) << "announced as bytes, one channel";
    }
}

TEST(PitchEngine, UnitPitchBypassesTheConverterOnceItIsEmpty)
{
    PitchEngine engine;
    configureLikeTheProgram(engine, 1);
    TimeStretcher reference;
    reference.setChannels(1);
    reference.setOutputBlockBytes(1024);
    reference.setTempo(9438);
    std::vector<std::int16_t> out(512), expected(512);

    const auto first = randomSamples(512, 2);
    engine.process(out.data(), first.data(), 512);
    EXPECT_EQ(engine.rateConverter().held(), 32u);

    // Back at 0 semitones the held frames drain first: 32 + 512 go on to the stretcher.
    engine.setPitchSemitones(0);
    EXPECT_EQ(engine.rate(), 10000u);
    engine.process(out.data(), randomSamples(512, 3).data(), 512);
    EXPECT_TRUE(engine.rateConverter().isEmpty());
    EXPECT_EQ(engine.scratchSize(), 544u);

    // From now on the converter is skipped and the scratch is not touched.
    for (int call = 0; call < 5; ++call)
        engine.process(out.data(), randomSamples(512, 10 + call).data(), 512);
    EXPECT_TRUE(engine.rateConverter().isEmpty());
    EXPECT_EQ(engine.scratchSize(), 544u);
}

TEST(PitchEngine, StartsSilentThenKeepsTheDuration)
{
    for (int semitones : {0, 6, -6, 12, -12, 48, -48}) {
        PitchEngine engine;
        configureLikeTheProgram(engine, semitones);
        std::vector<std::int16_t> out(512);
        const auto in = randomSamples(512, 4);
        EXPECT_EQ(engine.process(out.data(), in.data(), 512), 0) << semitones;
        // Once filled, every 512 frames in give 512 frames out, give or take the
        // reserve the stretcher keeps between two measurements.
        const auto run = [&](int calls) {
            std::int64_t total = 0;
            for (int call = 0; call < calls; ++call) {
                const int n = engine.process(out.data(), in.data(), 512);
                EXPECT_GE(n, 0);
                EXPECT_LE(n, 512);
                total += n;
            }
            return total;
        };
        run(400);
        EXPECT_NEAR(double(run(1500)), 1500.0 * 512, 5000) << semitones;
    }
}

TEST(PitchEngine, ShiftsASineByTheRatio)
{
    const struct { int semitones; double ratio; } cases[] = {
        {12, 2.0}, {-12, 0.5}, {6, std::sqrt(2.0)}, {-6, 1 / std::sqrt(2.0)}, {0, 1.0}, {1, std::pow(2.0, 1 / 12.0)}};
    for (const auto& c : cases) {
        PitchEngine engine;
        configureLikeTheProgram(engine, c.semitones);
        const auto in = sineWave(512 * 400, 300.0, 44100, 12000);
        std::vector<std::int16_t> output, block(512);
        for (std::size_t at = 0; at < in.size(); at += 512) {
            const int n = engine.process(block.data(), in.data() + at, 512);
            output.insert(output.end(), block.begin(), block.begin() + n);
        }
        const double measured = estimateFrequency(output, 44100, 8000);
        EXPECT_NEAR(measured / 300.0, c.ratio, c.ratio * 0.01) << c.semitones;
    }
}

TEST(PitchEngine, PitchChangesMidStreamNeedNoFlush)
{
    PitchEngine engine;
    configureLikeTheProgram(engine, 6);
    const auto in = sineWave(512 * 200, 250.0, 44100, 10000);
    std::vector<std::int16_t> block(512);
    std::int64_t total = 0;
    for (int call = 0; call < 200; ++call) {
        if (call % 20 == 0)
            engine.setPitchSemitones(6 - call / 10);
        const int n = engine.process(block.data(), in.data() + 512 * call, 512);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 512);
        total += n;
    }
    EXPECT_NEAR(double(total), 200.0 * 512, 12000);
}

TEST(PitchEngine, StereoKeepsChannelsApart)
{
    PitchEngine engine;
    engine.setChannels(2);
    engine.setSampleRate(44100);
    EXPECT_EQ(engine.setOutputBlockBytes(2048), 512);
    engine.setPitchSemitones(12);
    // Left carries a sine, right silence.
    auto in = sineWave(512 * 300, 200.0, 44100, 9000, 2);
    for (std::size_t i = 1; i < in.size(); i += 2)
        in[i] = 0;
    std::vector<std::int16_t> left, block(1024);
    for (int call = 0; call < 300; ++call) {
        const int n = engine.process(block.data(), in.data() + 1024 * call, 512);
        for (int i = 0; i < n; ++i) {
            left.push_back(block[2 * i]);
            ASSERT_EQ(block[2 * i + 1], 0);
        }
    }
    EXPECT_NEAR(estimateFrequency(left, 44100, 8000) / 200.0, 2.0, 0.02);
}

} // namespace

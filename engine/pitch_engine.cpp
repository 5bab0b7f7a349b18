#include "pitch_engine.h"

#include <cmath>
#include <cstdint>

#include "cpu_probe.h"
#include "time_stretcher_mmx.h"

namespace {

constexpr float ONE_TWELFTH = 0.083333336f;
constexpr float LN_2 = 0.6931472f;

// Truncates toward zero through a 64-bit integer and keeps the low 32 bits.
ScaledRatio truncatedRatio(double value)
{
    if (!(value > -9.2e18 && value < 9.2e18))
        return 0;
    return static_cast<ScaledRatio>(static_cast<std::int64_t>(value));
}

} // namespace

PitchEngine::PitchEngine()
{
    mmx = cpuHasMmx() != 0;
    converter = std::make_unique<RateConverter>(mmx ? 1 : 0);
    if (mmx)
        stretcher = std::make_unique<TimeStretcherMmx>();
    else
        stretcher = std::make_unique<TimeStretcher>();
    effectiveRate = 0;
    effectiveTempo = 0;
    baseRate = baseTempo = pitchFactor = 1.0f;
    recomputeRatios();
    setChannels(2);
}

PitchEngine::~PitchEngine()
{
    converter.reset();
    stretcher.reset();
    scratch.reset();
}

void PitchEngine::setChannels(int channelCount)
{
    channels = channelCount;
    converter->setChannels(channelCount);
    stretcher->setChannels(channelCount);
}

void PitchEngine::setSampleRate(int framesPerSecond)
{
    stretcher->setParameters(static_cast<std::uint32_t>(framesPerSecond), TimeStretcher::SEGMENT_MS,
                             TimeStretcher::SEARCH_MS, TimeStretcher::OVERLAP_MS);
}

int PitchEngine::setOutputBlockBytes(int bytes)
{
    return static_cast<int>(stretcher->setOutputBlockBytes(static_cast<std::uint32_t>(bytes)));
}

void PitchEngine::setPitchSemitones(int semitones)
{
    const float octaves = static_cast<float>(semitones) * ONE_TWELFTH;
    setPitchOctaves(octaves);
}

void PitchEngine::setPitchOctaves(float octaves)
{
    const float exponent = octaves * LN_2;
    pitchFactor = static_cast<float>(std::exp(static_cast<double>(exponent)));
    recomputeRatios();
}

void PitchEngine::recomputeRatios()
{
    const ScaledRatio oldRate = effectiveRate;
    const ScaledRatio oldTempo = effectiveTempo;
    effectiveTempo = truncatedRatio(static_cast<double>(baseTempo) * 10000.0 / static_cast<double>(pitchFactor));
    effectiveRate = truncatedRatio(static_cast<double>(baseRate) * static_cast<double>(pitchFactor) * 10000.0);
    if (effectiveRate != oldRate)
        converter->setRate(effectiveRate);
    if (effectiveTempo != oldTempo)
        stretcher->setTempo(effectiveTempo);
}

int PitchEngine::process(std::int16_t* out, const std::int16_t* in, int frames)
{
    const auto count = static_cast<std::uint32_t>(frames);
    if (effectiveRate == UNIT_RATIO && converter->isEmpty())
        return static_cast<int>(stretcher->process(out, in, count));
    reserveScratch(count);
    const std::uint32_t converted = converter->process(scratch.get(), in, count);
    return static_cast<int>(stretcher->process(out, scratch.get(), converted));
}

void PitchEngine::reserveScratch(std::uint32_t frames)
{
    const std::uint32_t need =
        frames * static_cast<std::uint32_t>(channels) * UNIT_RATIO / effectiveRate + SCRATCH_SLACK_SAMPLES;
    if (need <= scratchCapacity)
        return;
    scratch.reset();
    scratch = std::make_unique<std::int16_t[]>(need);
    scratchCapacity = need;
    converter->setOutputCapacity(need * 2);
}

#pragma once
#include <cstdint>
#include <memory>

#include "rate_converter.h"
#include "scaled_ratio.h"
#include "time_stretcher.h"

// Shifts the pitch of a stream of 16-bit frames while keeping its duration:
// the converter resamples by the pitch factor, the stretcher then restores the
// duration by the inverse factor.
class PitchEngine {
public:
    static constexpr std::uint32_t SCRATCH_SLACK_SAMPLES = 32;

    PitchEngine();
    ~PitchEngine();
    PitchEngine(const PitchEngine&) = delete;
    PitchEngine& operator=(const PitchEngine&) = delete;

    void setChannels(int channelCount);
    void setSampleRate(int framesPerSecond);
    // Returns the frames that fit in one output block.
    int setOutputBlockBytes(int bytes);
    void setPitchSemitones(int semitones);
    void setPitchOctaves(float octaves);

    // Reads `frames` frames from `in`, writes at most one output block to
    // `out` and returns the frames written.
    int process(std::int16_t* out, const std::int16_t* in, int frames);

    float pitch() const { return pitchFactor; }
    ScaledRatio rate() const { return effectiveRate; }
    ScaledRatio tempo() const { return effectiveTempo; }
    std::uint32_t scratchSize() const { return scratchCapacity; }
    bool accelerated() const { return mmx; }
    const RateConverter& rateConverter() const { return *converter; }
    const TimeStretcher& timeStretcher() const { return *stretcher; }

private:
    void recomputeRatios();
    void reserveScratch(std::uint32_t frames);

    bool mmx = false;
    std::unique_ptr<RateConverter> converter;
    std::unique_ptr<TimeStretcher> stretcher;
    std::unique_ptr<std::int16_t[]> scratch;
    std::uint32_t scratchCapacity = 0;
    int channels = 2;
    float baseRate = 1.0f;
    float baseTempo = 1.0f;
    float pitchFactor = 1.0f;
    ScaledRatio effectiveRate = 0;
    ScaledRatio effectiveTempo = 0;
};

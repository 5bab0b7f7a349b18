#pragma once
#include <cstdint>
#include <memory>

#include "low_pass_fir.h"
#include "scaled_ratio.h"

// Resamples 16-bit frames by a rate: rate / 10000 input frames are consumed
// per output frame, with linear interpolation and a 32-tap low-pass filter
// (before interpolating when the rate is above 10000, after it when below).
// Phase, the last input frame and the filter's history carry across calls.
class RateConverter {
public:
    static constexpr std::uint32_t CONVERTER_FIR_LENGTH = 32;
    static constexpr double CUTOFF_FACTOR_UP = 0.00005;
    static constexpr double CUTOFF_FACTOR_DOWN = 5000.0;

    explicit RateConverter(int accelerated);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    void setRate(ScaledRatio value);
    void setChannels(int count);
    void setOutputCapacity(std::uint32_t bytes);
    bool isEmpty() const { return heldFrames == 0; }

    // `out` and `in` are the same area or disjoint.
    std::uint32_t process(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);

    ScaledRatio currentRate() const { return rate; }
    int channelCount() const { return channels; }
    std::uint32_t held() const { return heldFrames; }
    std::int32_t currentPhase() const { return phase; }
    std::int16_t carried(int channel) const { return channel == 0 ? carriedLeft : carriedRight; }
    std::uint32_t storageSize() const { return storageCapacity; }
    std::uint32_t filterOutputSize() const { return filterOutputCapacity; }
    std::uint32_t outputCapacity() const { return outputCapacityFrames; }
    const std::int16_t* heldSamples() const { return storage.get(); }
    const LowPassFir& lowPassFilter() const { return *lowPass; }

    // The interpolation alone, exposed so that its arithmetic can be checked.
    std::uint32_t interpolateMono(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);
    std::uint32_t interpolateStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);

private:
    std::uint32_t interpolate(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);
    std::uint32_t passThrough(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);
    void ensureStorage(std::uint32_t frames);
    void ensureFilterOutput(std::uint32_t frames);
    void appendFrames(const std::int16_t* in, std::uint32_t frames);
    void takeFrames(std::int16_t* out, std::uint32_t count);
    void dropFrames(std::uint32_t count);

    std::unique_ptr<LowPassFir> lowPass;
    std::unique_ptr<std::int16_t[]> storage;
    std::unique_ptr<std::int16_t[]> filterOutput;
    std::uint32_t storageCapacity = 0;
    std::uint32_t heldFrames = 0;
    std::uint32_t filterOutputCapacity = 0;
    std::int32_t phase = 0;
    std::int16_t carriedLeft = 0;
    std::int16_t carriedRight = 0;
    ScaledRatio rate = UNIT_RATIO;
    int channels = 2;
    std::uint32_t outputCapacityFrames = 0;
    std::uint32_t outputCapacityBytes = 0;
};

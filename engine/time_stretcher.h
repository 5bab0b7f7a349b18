#pragma once
#include <cstdint>
#include <memory>

#include "scaled_ratio.h"

// Changes the duration of a stream of 16-bit frames by a tempo without
// changing its pitch: overlapping segments are placed where they best match
// the tail of the previous one and crossfaded with it.
class TimeStretcher {
public:
    static constexpr std::uint32_t SEGMENT_MS = 82;
    static constexpr std::uint32_t SEARCH_MS = 28;
    static constexpr std::uint32_t OVERLAP_MS = 12;
    static constexpr std::uint32_t STRETCHER_INITIAL_RATE = 44100;
    static constexpr std::uint32_t MIN_HANDOUT_FRAMES = 32;
    static constexpr std::uint32_t TAIL_SAMPLES = 1024;

    TimeStretcher();
    virtual ~TimeStretcher();
    TimeStretcher(const TimeStretcher&) = delete;
    TimeStretcher& operator=(const TimeStretcher&) = delete;

    void setParameters(std::uint32_t sampleRate, std::uint32_t segmentMs, std::uint32_t searchMs,
                       std::uint32_t overlapMs);
    void setTempo(ScaledRatio value);
    void setChannels(int count);
    std::uint32_t setOutputBlockBytes(std::uint32_t bytes);

    // Writes at most max(blockFrames, MIN_HANDOUT_FRAMES) frames to `out`.
    std::uint32_t process(std::int16_t* out, const std::int16_t* in, std::uint32_t frames);

    std::uint32_t heldInput() const { return inputFrames; }
    std::uint32_t heldOutput() const { return outputFrames; }
    std::uint32_t inputSize() const { return inputCapacity; }
    std::uint32_t outputSize() const { return outputCapacity; }
    std::uint32_t required() const { return framesRequired; }
    ScaledRatio currentTempo() const { return tempo; }
    int channelCount() const { return channels; }
    std::uint32_t blockSize() const { return blockFrames; }
    std::uint32_t overlap() const { return overlapLength; }
    std::uint32_t overlapShift() const { return overlapBits; }
    std::uint32_t slope() const { return slopeShift; }
    std::uint32_t search() const { return searchLength; }
    std::uint32_t segment() const { return segmentLength; }
    const std::int16_t* tail() const { return overlapTail.get(); }
    const std::int16_t* weightedReference() const { return weightedRef.get(); }

    // The kernels, exposed so that each variant can be checked against the
    // plain arithmetic. `input` is where the candidate offsets start.
    std::uint32_t findBestOffset(const std::int16_t* input);
    void crossfade(std::int16_t* destination, const std::int16_t* input, std::uint32_t best);
    void setTail(const std::int16_t* samples, std::uint32_t count);

    static std::uint32_t roundedLog2(double x);
    // How many of `available` output frames a call with `frames` input frames hands out.
    static std::uint32_t outputCount(std::uint32_t available, std::uint32_t frames, std::uint32_t block,
                                     ScaledRatio tempo);

protected:
    virtual std::uint32_t searchStereo(const std::int16_t* tailSamples, const std::int16_t* input);
    virtual std::uint32_t searchMono(const std::int16_t* tailSamples, const std::int16_t* input);
    virtual void crossfadeStereo(std::int16_t* destination, const std::int16_t* input, std::uint32_t best);
    virtual void crossfadeMono(std::int16_t* destination, const std::int16_t* input, std::uint32_t best);

    void weighTail(const std::int16_t* tailSamples, int channelCount);
    std::uint32_t strideFrames() const;

    std::unique_ptr<std::int16_t[]> outputQueue;
    std::uint32_t inputFrames = 0;
    std::uint32_t inputCapacity = 0;
    std::uint32_t outputFrames = 0;
    std::uint32_t outputReadPos = 0;
    std::uint32_t outputCapacity = 0;
    int channels = 2;
    std::uint32_t framesRequired = 0;
    ScaledRatio tempo = 0;
    std::uint32_t blockFrames = 0;
    std::uint32_t blockBytes = 0;
    std::unique_ptr<std::int16_t[]> overlapTail;
    std::unique_ptr<std::int16_t[]> weightedRef;
    std::unique_ptr<std::int16_t[]> inputQueue;
    std::uint32_t overlapLength = 0;
    std::uint32_t overlapBits = 0;
    std::uint32_t slopeShift = 0;
    std::uint32_t searchLength = 0;
    std::uint32_t segmentLength = 0;

private:
    void processSegment();
    void appendInput(const std::int16_t* source, std::uint32_t frames);
    void dropInput(std::uint32_t frames);
    void reserveOutput(std::uint32_t frames);
    void appendOutput(const std::int16_t* source, std::uint32_t frames);
    void takeOutput(std::int16_t* destination, std::uint32_t frames);
};

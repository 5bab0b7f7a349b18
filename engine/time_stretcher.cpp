#include "time_stretcher.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "queue_growth.h"
#include "vector_kernels.h"

TimeStretcher::TimeStretcher()
{
    setParameters(STRETCHER_INITIAL_RATE, SEGMENT_MS, SEARCH_MS, OVERLAP_MS);
    overlapTail = std::make_unique<std::int16_t[]>(TAIL_SAMPLES);
    weightedRef = std::make_unique<std::int16_t[]>(TAIL_SAMPLES);
    setTempo(UNIT_RATIO);
}

TimeStretcher::~TimeStretcher() = default;

std::uint32_t TimeStretcher::roundedLog2(double x)
{
    const double value = std::log(x) / std::log(2.0) + 0.5;
    // Out-of-range values (x of 0 gives minus infinity) count as negative.
    if (!(value > INT_MIN && value < INT_MAX))
        return static_cast<std::uint32_t>(-1);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

void TimeStretcher::setParameters(std::uint32_t sampleRate, std::uint32_t segmentMs, std::uint32_t searchMs,
                                  std::uint32_t overlapMs)
{
    searchLength = sampleRate * searchMs / 1000;
    segmentLength = sampleRate * segmentMs / 1000;
    overlapBits = roundedLog2(static_cast<double>(sampleRate * overlapMs) * 0.001);
    if (overlapBits > 9)
        overlapBits = 9;
    if (overlapBits < 4)
        overlapBits = 4;
    overlapLength = 1u << overlapBits;
    slopeShift = 2 * overlapBits - 3;
    // The lengths changed, so the threshold must follow before the next segment.
    setTempo(tempo);
}

std::uint32_t TimeStretcher::strideFrames() const
{
    return (segmentLength - overlapLength) * tempo / UNIT_RATIO;
}

void TimeStretcher::setTempo(ScaledRatio value)
{
    tempo = value;
    framesRequired = std::max(overlapLength + strideFrames(), segmentLength) + searchLength;
}

void TimeStretcher::setChannels(int count)
{
    if (count == channels)
        return;
    channels = count;
    if (count == 1) {
        inputFrames *= 2;
        outputFrames *= 2;
        outputReadPos *= 2;
        blockFrames = blockBytes / 2;
    } else {
        inputFrames /= 2;
        outputFrames /= 2;
        outputReadPos /= 2;
        blockFrames = blockBytes / 4;
    }
}

std::uint32_t TimeStretcher::setOutputBlockBytes(std::uint32_t bytes)
{
    blockBytes = bytes;
    blockFrames = channels == 1 ? bytes / 2 : bytes / 4;
    return blockFrames;
}

std::uint32_t TimeStretcher::process(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    appendInput(in, frames);
    if (inputFrames >= framesRequired)
        processSegment();
    const std::uint32_t count = outputCount(outputFrames, frames, blockFrames, tempo);
    takeOutput(out, count);
    return count;
}

void TimeStretcher::processSegment()
{
    const std::uint32_t best = findBestOffset(inputQueue.get());
    reserveOutput(outputFrames + segmentLength - overlapLength);
    crossfade(outputQueue.get() + outputFrames * channels, inputQueue.get(), best);
    outputFrames += overlapLength;
    appendOutput(inputQueue.get() + (best + overlapLength) * channels, segmentLength - 2 * overlapLength);
    std::memcpy(overlapTail.get(), inputQueue.get() + (best + segmentLength - overlapLength) * channels,
                sizeof(std::int16_t) * overlapLength * channels);
    dropInput(strideFrames());
}

std::uint32_t TimeStretcher::outputCount(std::uint32_t available, std::uint32_t frames, std::uint32_t block,
                                         ScaledRatio tempo)
{
    std::uint32_t count;
    if (available < frames) {
        count = available >= MIN_HANDOUT_FRAMES ? MIN_HANDOUT_FRAMES : (available & ~1u);
    } else if (available > 3 * block) {
        count = std::min(available - frames, block);
    } else {
        std::uint32_t due = (frames * UNIT_RATIO / tempo) & ~1u;
        due = std::min(due, block);
        const std::int64_t left = static_cast<std::int32_t>(available - due);
        if (left >= static_cast<std::int64_t>(frames))
            count = due;
        else
            count = std::max(available - frames, MIN_HANDOUT_FRAMES) & ~1u;
    }
    // Short calls can ask for more than is held; never hand out more.
    return std::min(count, available);
}

std::uint32_t TimeStretcher::findBestOffset(const std::int16_t* input)
{
    return channels == 2 ? searchStereo(overlapTail.get(), input) : searchMono(overlapTail.get(), input);
}

void TimeStretcher::crossfade(std::int16_t* destination, const std::int16_t* input, std::uint32_t best)
{
    if (channels == 2)
        crossfadeStereo(destination, input, best);
    else
        crossfadeMono(destination, input, best);
}

void TimeStretcher::setTail(const std::int16_t* samples, std::uint32_t count)
{
    std::memcpy(overlapTail.get(), samples, sizeof(std::int16_t) * std::min(count, TAIL_SAMPLES));
}

// The tail weighted by a parabola that is 0 at both ends of the overlap.
void TimeStretcher::weighTail(const std::int16_t* tailSamples, int channelCount)
{
    const std::int32_t length = static_cast<std::int32_t>(overlapLength);
    for (std::int32_t i = 0; i < length; ++i)
        for (int ch = 0; ch < channelCount; ++ch) {
            const std::int32_t sample = tailSamples[channelCount * i + ch];
            weightedRef[channelCount * i + ch] = static_cast<std::int16_t>((sample * (length - i) * i) >> slopeShift);
        }
}

std::uint32_t TimeStretcher::searchMono(const std::int16_t* tailSamples, const std::int16_t* input)
{
    weighTail(tailSamples, 1);
    const CorrelateMonoKernel correlate = activeMonoKernels().correlate;
    std::uint32_t best = 0;
    std::int32_t bestSum = INT32_MIN;
    for (std::uint32_t offset = 0; offset < searchLength; ++offset) {
        const std::int32_t sum = correlate(weightedRef.get(), input + offset, overlapLength, overlapBits);
        if (sum > bestSum) {
            bestSum = sum;
            best = offset;
        }
    }
    return best;
}

std::uint32_t TimeStretcher::searchStereo(const std::int16_t* tailSamples, const std::int16_t* input)
{
    weighTail(tailSamples, 2);
    const std::int16_t* w = weightedRef.get();
    std::uint32_t best = 0;
    std::int32_t bestSum = INT32_MIN;
    for (std::uint32_t offset = 0; offset < searchLength; ++offset) {
        const std::int16_t* x = input + 2 * offset;
        std::uint32_t sum = 0;
        for (std::uint32_t j = 1; j < overlapLength; ++j) {
            // The two products of a frame are added in 32 bits before the shift.
            const std::uint32_t pair = static_cast<std::uint32_t>(w[2 * j] * x[2 * j]) +
                                       static_cast<std::uint32_t>(w[2 * j + 1] * x[2 * j + 1]);
            sum += static_cast<std::uint32_t>(static_cast<std::int32_t>(pair) >> overlapBits);
        }
        if (static_cast<std::int32_t>(sum) > bestSum) {
            bestSum = static_cast<std::int32_t>(sum);
            best = offset;
        }
    }
    return best;
}

void TimeStretcher::crossfadeMono(std::int16_t* destination, const std::int16_t* input, std::uint32_t best)
{
    const std::int32_t length = static_cast<std::int32_t>(overlapLength);
    const std::int16_t* x = input + best;
    for (std::int32_t i = 0; i < length; ++i)
        destination[i] = static_cast<std::int16_t>((overlapTail[i] * (length - i) + x[i] * i) >> overlapBits);
}

void TimeStretcher::crossfadeStereo(std::int16_t* destination, const std::int16_t* input, std::uint32_t best)
{
    const std::int32_t length = static_cast<std::int32_t>(overlapLength);
    const std::int16_t* x = input + 2 * best;
    for (std::int32_t i = 0; i < length; ++i)
        for (int ch = 0; ch < 2; ++ch)
            destination[2 * i + ch] = static_cast<std::int16_t>(
                (overlapTail[2 * i + ch] * (length - i) + x[2 * i + ch] * i) >> overlapBits);
}

void TimeStretcher::appendInput(const std::int16_t* source, std::uint32_t frames)
{
    const std::uint32_t needed = (inputFrames + frames) * channels;
    if (needed > inputCapacity) {
        const std::uint32_t capacity = grownCapacity(needed);
        auto grown = std::make_unique<std::int16_t[]>(capacity);
        if (inputFrames > 0)
            std::memcpy(grown.get(), inputQueue.get(), sizeof(std::int16_t) * inputFrames * channels);
        inputQueue = std::move(grown);
        inputCapacity = capacity;
    }
    if (frames > 0)
        std::memcpy(inputQueue.get() + inputFrames * channels, source, sizeof(std::int16_t) * frames * channels);
    inputFrames += frames;
}

void TimeStretcher::dropInput(std::uint32_t frames)
{
    // A stride beyond the held input (huge tempos) empties the queue.
    frames = std::min(frames, inputFrames);
    inputFrames -= frames;
    if (inputFrames > 0 && frames > 0)
        std::memmove(inputQueue.get(), inputQueue.get() + frames * channels,
                     sizeof(std::int16_t) * inputFrames * channels);
}

void TimeStretcher::reserveOutput(std::uint32_t frames)
{
    if (frames * channels > outputCapacity) {
        const std::uint32_t capacity = grownCapacity(frames * channels);
        auto grown = std::make_unique<std::int16_t[]>(capacity);
        if (outputFrames > 0)
            std::memcpy(grown.get(), outputQueue.get() + outputReadPos * channels,
                        sizeof(std::int16_t) * outputFrames * channels);
        outputQueue = std::move(grown);
        outputCapacity = capacity;
    } else if (outputReadPos != 0 && outputFrames > 0) {
        std::memmove(outputQueue.get(), outputQueue.get() + outputReadPos * channels,
                     sizeof(std::int16_t) * outputFrames * channels);
    }
    outputReadPos = 0;
}

void TimeStretcher::appendOutput(const std::int16_t* source, std::uint32_t frames)
{
    reserveOutput(outputFrames + frames);
    std::memcpy(outputQueue.get() + outputFrames * channels, source, sizeof(std::int16_t) * frames * channels);
    outputFrames += frames;
}

void TimeStretcher::takeOutput(std::int16_t* destination, std::uint32_t frames)
{
    if (frames > 0)
        std::memcpy(destination, outputQueue.get() + outputReadPos * channels,
                    sizeof(std::int16_t) * frames * channels);
    outputReadPos += frames;
    outputFrames -= frames;
}

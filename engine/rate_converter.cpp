#include "rate_converter.h"

#include <algorithm>
#include <cstring>

#include "low_pass_fir_mmx.h"
#include "queue_growth.h"

namespace {
constexpr std::int32_t UNIT = 10000;

inline std::int16_t blend(std::int32_t a, std::int32_t b, std::int32_t weightOfB)
{
    // Truncates toward zero, as integer division does.
    return static_cast<std::int16_t>((a * (UNIT - weightOfB) + weightOfB * b) / UNIT);
}
} // namespace

RateConverter::RateConverter(int accelerated)
{
    if (accelerated)
        lowPass = std::make_unique<LowPassFirMmx>(CONVERTER_FIR_LENGTH);
    else
        lowPass = std::make_unique<LowPassFir>(CONVERTER_FIR_LENGTH);
    setRate(UNIT_RATIO);
}

RateConverter::~RateConverter() = default;

void RateConverter::setRate(ScaledRatio value)
{
    rate = value;
    const double cutoff = value <= UNIT_RATIO ? value * CUTOFF_FACTOR_UP : CUTOFF_FACTOR_DOWN / value;
    lowPass->setCutoff(cutoff);
}

void RateConverter::setChannels(int count)
{
    if (count == channels)
        return;
    channels = count;
    if (count == 1) {
        heldFrames *= 2;
        outputCapacityFrames = outputCapacityBytes / 2;
    } else {
        heldFrames /= 2;
        outputCapacityFrames = outputCapacityBytes / 4;
    }
    phase = 0;
    carriedLeft = 0;
    carriedRight = 0;
}

void RateConverter::setOutputCapacity(std::uint32_t bytes)
{
    outputCapacityBytes = bytes;
    outputCapacityFrames = channels == 1 ? bytes / 2 : bytes / 4;
}

std::uint32_t RateConverter::process(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    if (rate == UNIT_RATIO)
        return passThrough(out, in, frames);

    if (rate < UNIT_RATIO) {
        ensureStorage(frames * UNIT_RATIO / rate + heldFrames + 1);
        heldFrames += interpolate(storage.get() + heldFrames * channels, in, frames);
        const std::uint32_t filtered = lowPass->filter(out, storage.get(), heldFrames, channels);
        dropFrames(filtered);
        return filtered;
    }

    appendFrames(in, frames);
    ensureFilterOutput(heldFrames);
    const std::uint32_t filtered = lowPass->filter(filterOutput.get(), storage.get(), heldFrames, channels);
    dropFrames(filtered);
    return interpolate(out, filterOutput.get(), filtered);
}

std::uint32_t RateConverter::interpolate(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    return channels == 1 ? interpolateMono(out, in, frames) : interpolateStereo(out, in, frames);
}

// Output frames lie at positions phase, phase + rate, ... measured in 1/10000
// frame from the carried frame (position 0); input frame k is at (k + 1) * 10000.
std::uint32_t RateConverter::interpolateMono(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    if (frames == 0)
        return 0;
    const std::int32_t step = static_cast<std::int32_t>(rate);
    std::int32_t f = phase;
    std::uint32_t emitted = 0;
    if (f <= UNIT) {
        do {
            out[emitted++] = blend(carriedLeft, in[0], f);
            f += step;
        } while (f <= UNIT);
    }
    f -= UNIT;
    if (frames == 1) {
        // Nothing lies beyond the single input frame.
        carriedLeft = in[0];
        phase = f;
        return emitted;
    }
    std::uint32_t j = 0;
    for (;;) {
        while (f > UNIT) {
            f -= UNIT;
            ++j;
            if (j >= frames - 1) {
                carriedLeft = in[frames - 1];
                phase = f;
                return emitted;
            }
        }
        out[emitted++] = blend(in[j], in[j + 1], f);
        f += step;
    }
}

std::uint32_t RateConverter::interpolateStereo(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    if (frames == 0)
        return 0;
    const std::int32_t step = static_cast<std::int32_t>(rate);
    std::int32_t f = phase;
    std::uint32_t emitted = 0;
    if (f <= UNIT) {
        do {
            out[2 * emitted] = blend(carriedLeft, in[0], f);
            out[2 * emitted + 1] = blend(carriedRight, in[1], f);
            ++emitted;
            f += step;
        } while (f <= UNIT);
    }
    f -= UNIT;
    if (frames == 1) {
        carriedLeft = in[0];
        carriedRight = in[1];
        phase = f;
        return emitted;
    }
    std::uint32_t j = 0;
    for (;;) {
        while (f > UNIT) {
            f -= UNIT;
            ++j;
            if (j >= frames - 1) {
                carriedLeft = in[2 * (frames - 1)];
                carriedRight = in[2 * (frames - 1) + 1];
                phase = f;
                return emitted;
            }
        }
        out[2 * emitted] = blend(in[2 * j], in[2 * j + 2], f);
        out[2 * emitted + 1] = blend(in[2 * j + 1], in[2 * j + 3], f);
        ++emitted;
        f += step;
    }
}

std::uint32_t RateConverter::passThrough(std::int16_t* out, const std::int16_t* in, std::uint32_t frames)
{
    if (heldFrames == 0) {
        if (out != in)
            std::memcpy(out, in, sizeof(std::int16_t) * frames * channels);
        return frames;
    }
    if (out == in) {
        appendFrames(in, frames);
        const std::uint32_t taken = std::min(heldFrames, outputCapacityFrames);
        takeFrames(out, taken);
        return taken;
    }
    const std::uint32_t taken = std::min(heldFrames, outputCapacityFrames);
    takeFrames(out, taken);
    const std::uint32_t direct = std::min(outputCapacityFrames - taken, frames);
    std::memcpy(out + taken * channels, in, sizeof(std::int16_t) * direct * channels);
    appendFrames(in + direct * channels, frames - direct);
    return taken + direct;
}

void RateConverter::ensureStorage(std::uint32_t frames)
{
    const std::uint32_t needed = frames * channels;
    if (needed <= storageCapacity)
        return;
    const std::uint32_t capacity = grownCapacity(needed);
    auto grown = std::make_unique<std::int16_t[]>(capacity);
    if (heldFrames > 0)
        std::memcpy(grown.get(), storage.get(), sizeof(std::int16_t) * heldFrames * channels);
    storage = std::move(grown);
    storageCapacity = capacity;
}

void RateConverter::ensureFilterOutput(std::uint32_t frames)
{
    const std::uint32_t needed = frames * channels;
    if (needed <= filterOutputCapacity)
        return;
    filterOutput.reset();
    const std::uint32_t capacity = grownCapacity(needed);
    filterOutput = std::make_unique<std::int16_t[]>(capacity);
    filterOutputCapacity = capacity;
}

void RateConverter::appendFrames(const std::int16_t* in, std::uint32_t frames)
{
    ensureStorage(heldFrames + frames);
    if (frames > 0)
        std::memcpy(storage.get() + heldFrames * channels, in, sizeof(std::int16_t) * frames * channels);
    heldFrames += frames;
}

void RateConverter::takeFrames(std::int16_t* out, std::uint32_t count)
{
    if (count > 0)
        std::memcpy(out, storage.get(), sizeof(std::int16_t) * count * channels);
    dropFrames(count);
}

void RateConverter::dropFrames(std::uint32_t count)
{
    heldFrames -= count;
    if (heldFrames > 0 && count > 0)
        std::memmove(storage.get(), storage.get() + count * channels, sizeof(std::int16_t) * heldFrames * channels);
}

#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int FEED_BLOCK_FRAMES = 512;
constexpr int MIN_SEMITONES = -48;
constexpr int MAX_SEMITONES = 48;
constexpr int DEFAULT_SEMITONES = 6;

// Processes one block: reads `frames` frames from `in`, writes to `out` and
// returns the frames written (PitchEngine::process has this shape).
using BlockProcessor = std::function<int(std::int16_t* out, const std::int16_t* in, int frames)>;

// Told the frames produced so far and the frames wanted in all.
using ShiftProgress = std::function<void(std::size_t framesDone, std::size_t framesTotal)>;

// Interleaved samples or, when `error` is not empty, why there are none.
struct ShiftResult {
    std::vector<std::int16_t> samples;
    std::string error;

    bool ok() const { return error.empty(); }
};

// Feeds `input` (interleaved, `channels` per frame) to `process` in blocks of
// FEED_BLOCK_FRAMES, the last one padded with zero frames, then zero blocks
// until `process` has returned at least as many frames as the input holds.
// Returns the first (input frames) frames it returned, in order.
// `outputBlockFrames` is the most frames one call may write.
ShiftResult feedBlocks(const std::vector<std::int16_t>& input, int channels, int outputBlockFrames,
                       const BlockProcessor& process, const ShiftProgress& progress = {});

// Shifts `input` by `semitones` through a PitchEngine configured as the live
// program configures it, with the given channel count and rate.
ShiftResult shiftFrames(const std::vector<std::int16_t>& input, int channels, int sampleRate, int semitones,
                        const ShiftProgress& progress = {});

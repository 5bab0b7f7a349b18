#include "shift_file.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "engine/pitch_engine.h"

namespace {

// The engine writes at most this many frames per call whatever its block size.
constexpr int ENGINE_MIN_OUTPUT_FRAMES = 32;

// Zero blocks allowed beyond the input's own block count before the
// processor is taken to have stalled. The engine's latency at the most
// extreme settings is a few hundred blocks.
constexpr std::size_t STALL_BLOCKS = 4096;

ShiftResult failure(std::string message)
{
    ShiftResult result;
    result.error = std::move(message);
    return result;
}

}  // namespace

ShiftResult feedBlocks(const std::vector<std::int16_t>& input, int channels, int outputBlockFrames,
                       const BlockProcessor& process, const ShiftProgress& progress)
{
    if (channels < 1 || input.size() % static_cast<std::size_t>(channels) != 0)
        return failure("the input does not hold whole frames");
    if (outputBlockFrames < 1)
        return failure("the output block holds no frames");
    const std::size_t width = static_cast<std::size_t>(channels);
    const std::size_t totalFrames = input.size() / width;
    const std::size_t inputBlocks = (totalFrames + FEED_BLOCK_FRAMES - 1) / FEED_BLOCK_FRAMES;
    const std::size_t blockLimit = 2 * inputBlocks + STALL_BLOCKS;

    ShiftResult result;
    try {
        result.samples.reserve(input.size());
        std::vector<std::int16_t> inBlock(FEED_BLOCK_FRAMES * width);
        std::vector<std::int16_t> outBlock(static_cast<std::size_t>(outputBlockFrames) * width);
        std::size_t fedFrames = 0;
        std::size_t producedFrames = 0;
        for (std::size_t block = 0; producedFrames < totalFrames; ++block) {
            if (block == blockLimit)
                return failure("the pitch engine stopped producing output after " + std::to_string(producedFrames) +
                               " of " + std::to_string(totalFrames) + " frames");
            // The live program hands the engine a copy of each captured block;
            // past the input, and in the padding of the last block, silence.
            const std::size_t take = std::min<std::size_t>(FEED_BLOCK_FRAMES, totalFrames - fedFrames);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(fedFrames * width), take * width, inBlock.begin());
            std::fill(inBlock.begin() + static_cast<std::ptrdiff_t>(take * width), inBlock.end(), 0);
            fedFrames += take;

            const int written = process(outBlock.data(), inBlock.data(), FEED_BLOCK_FRAMES);
            if (written < 0 || written > outputBlockFrames)
                return failure("the pitch engine returned " + std::to_string(written) +
                               " frames for a block of " + std::to_string(outputBlockFrames));
            const std::size_t keep = std::min<std::size_t>(static_cast<std::size_t>(written), totalFrames - producedFrames);
            result.samples.insert(result.samples.end(), outBlock.begin(),
                                  outBlock.begin() + static_cast<std::ptrdiff_t>(keep * width));
            producedFrames += keep;
            if (progress && written > 0)
                progress(producedFrames, totalFrames);
        }
    } catch (const std::exception&) {
        return failure("not enough memory for " + std::to_string(totalFrames) + " frames");
    }
    return result;
}

ShiftResult shiftFrames(const std::vector<std::int16_t>& input, int channels, int sampleRate, int semitones,
                        const ShiftProgress& progress)
{
    std::unique_ptr<PitchEngine> engine;
    int blockFrames = 0;
    try {
        engine = std::make_unique<PitchEngine>();
        // The same calls, in the same order, as the program's main window.
        engine->setChannels(channels);
        engine->setSampleRate(sampleRate);
        blockFrames = engine->setOutputBlockBytes(1024 * channels);
        engine->setPitchSemitones(semitones);
    } catch (const std::exception&) {
        return failure("not enough memory for the pitch engine");
    }
    const int outputFrames = std::max(blockFrames, ENGINE_MIN_OUTPUT_FRAMES);
    PitchEngine& shifter = *engine;
    return feedBlocks(
        input, channels, outputFrames,
        [&shifter](std::int16_t* out, const std::int16_t* in, int frames) { return shifter.process(out, in, frames); },
        progress);
}

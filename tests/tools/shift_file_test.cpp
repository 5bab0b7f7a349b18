#include "shift_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>

#include "engine/pitch_engine.h"

namespace {

std::vector<std::int16_t> ramp(std::size_t frames, int channels)
{
    std::vector<std::int16_t> s(frames * channels);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(1 + i % 30000);  // never 0, so padding is visible
    return s;
}

std::vector<std::int16_t> tone(std::size_t frames, int channels, int rate, double hz)
{
    std::vector<std::int16_t> s(frames * channels);
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            s[f * channels + c] = static_cast<std::int16_t>(8000.0 * std::sin(2 * M_PI * hz * f / rate + c));
    return s;
}

// An identity with latency: hands back what it was given, `latency` frames
// late, in per-call amounts taken in turn from `pattern`. Records every
// block it receives.
class DelayLine {
public:
    DelayLine(int channels, int latency, std::vector<int> pattern)
        : channels(channels), pattern(std::move(pattern)), queue(static_cast<std::size_t>(latency) * channels, 0)
    {
    }

    int operator()(std::int16_t* out, const std::int16_t* in, int frames)
    {
        blockSizes.push_back(frames);
        received.insert(received.end(), in, in + frames * channels);
        queue.insert(queue.end(), in, in + frames * channels);
        const int want = pattern[calls++ % pattern.size()];
        const int give = std::min<int>(want, static_cast<int>(queue.size() / channels));
        std::copy_n(queue.begin(), give * channels, out);
        queue.erase(queue.begin(), queue.begin() + give * channels);
        return give;
    }

    int channels;
    std::vector<int> pattern;
    std::deque<std::int16_t> queue;
    std::size_t calls = 0;
    std::vector<int> blockSizes;
    std::vector<std::int16_t> received;
};

struct FeedCase {
    std::size_t frames;
    int channels;
    int latency;
    std::vector<int> pattern;
};

TEST(FeedBlocks, ReturnsTheFirstInputLengthOfOutputFromPaddedBlocks)
{
    const std::vector<FeedCase> cases = {
        {0, 1, 0, {512}},      {1, 1, 0, {512}},        {511, 2, 0, {512}},    {512, 1, 0, {512}},
        {513, 2, 0, {512}},    {2000, 1, 700, {512}},   {2000, 2, 4850, {512}}, {1500, 1, 300, {0, 0, 100, 512, 37}},
        {5000, 2, 0, {300}},   {1024, 1, 1, {512}},
    };
    for (const FeedCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.channels << " ch, latency " << c.latency);
        const std::vector<std::int16_t> input = ramp(c.frames, c.channels);
        DelayLine line(c.channels, c.latency, c.pattern);
        const ShiftResult r = feedBlocks(input, c.channels, 512, std::ref(line));
        ASSERT_TRUE(r.ok()) << r.error;

        // Output: exactly the processor's output, cut to the input's length.
        EXPECT_EQ(r.samples.size(), input.size());
        std::vector<std::int16_t> expected(static_cast<std::size_t>(c.latency) * c.channels, 0);
        expected.insert(expected.end(), input.begin(), input.end());
        expected.resize(input.size());
        EXPECT_EQ(r.samples, expected);

        // Every block is 512 frames: the input, then zeros to the end.
        for (int size : line.blockSizes)
            EXPECT_EQ(size, FEED_BLOCK_FRAMES);
        ASSERT_GE(line.received.size(), input.size());
        EXPECT_TRUE(std::equal(input.begin(), input.end(), line.received.begin()));
        EXPECT_TRUE(std::all_of(line.received.begin() + static_cast<std::ptrdiff_t>(input.size()),
                                line.received.end(), [](std::int16_t s) { return s == 0; }));

        // And no more blocks than needed: the last one completed the output.
        std::size_t returned = 0;
        DelayLine replay(c.channels, c.latency, c.pattern);
        std::vector<std::int16_t> out(512 * c.channels), in(512 * c.channels, 0);
        std::size_t neededCalls = 0;
        while (returned < c.frames) {
            returned += static_cast<std::size_t>(replay(out.data(), in.data(), 512));
            ++neededCalls;
        }
        EXPECT_EQ(line.blockSizes.size(), neededCalls);
    }
}

TEST(FeedBlocks, StopsWhenTheProcessorNeverAnswers)
{
    std::size_t calls = 0;
    const ShiftResult r = feedBlocks(ramp(1000, 1), 1, 512, [&calls](std::int16_t*, const std::int16_t*, int) {
        ++calls;
        return 0;
    });
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("stopped producing output"), std::string::npos) << r.error;
    EXPECT_GT(calls, 2u);
    EXPECT_TRUE(r.samples.empty());
}

TEST(FeedBlocks, RefusesAProcessorThatOverrunsItsBlock)
{
    const ShiftResult r = feedBlocks(ramp(1000, 1), 1, 100, [](std::int16_t*, const std::int16_t*, int) { return 101; });
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(feedBlocks(ramp(10, 1), 1, 512, [](std::int16_t*, const std::int16_t*, int) { return -1; }).ok());
}

TEST(FeedBlocks, RefusesPartialFrames)
{
    const ShiftResult r = feedBlocks({1, 2, 3}, 2, 512, [](std::int16_t*, const std::int16_t*, int n) { return n; });
    EXPECT_FALSE(r.ok());
}

TEST(FeedBlocks, ReportsProgressUpToTheTotal)
{
    std::vector<std::size_t> done;
    DelayLine line(1, 900, {512});
    const ShiftResult r = feedBlocks(ramp(3000, 1), 1, 512, std::ref(line), [&done](std::size_t d, std::size_t total) {
        EXPECT_EQ(total, 3000u);
        done.push_back(d);
    });
    ASSERT_TRUE(r.ok());
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), 3000u);
}

// The engine fed by hand as the live program feeds it.
std::vector<std::int16_t> engineByHand(const std::vector<std::int16_t>& input, int channels, int rate, int semitones)
{
    PitchEngine engine;
    engine.setChannels(channels);
    engine.setSampleRate(rate);
    engine.setOutputBlockBytes(1024 * channels);
    engine.setPitchSemitones(semitones);
    const std::size_t frames = input.size() / channels;
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> in(512 * channels), out(512 * channels);
    for (std::size_t fed = 0; all.size() < input.size(); fed += 512) {
        std::fill(in.begin(), in.end(), 0);
        if (fed < frames)
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(fed * channels),
                        std::min<std::size_t>(512, frames - fed) * channels, in.begin());
        const int got = engine.process(out.data(), in.data(), 512);
        all.insert(all.end(), out.begin(), out.begin() + got * channels);
    }
    all.resize(input.size());
    return all;
}

struct EngineCase {
    int channels;
    int rate;
    int semitones;
    std::size_t frames;
};

TEST(ShiftFrames, EqualsTheEnginesOwnOutputAtTheInputsLength)
{
    const std::vector<EngineCase> cases = {
        {1, 44100, 6, 44100 + 123}, {2, 44100, -6, 30000}, {1, 22050, 0, 20000},
        {2, 8000, 12, 9999},        {1, 96000, -48, 5000}, {2, 96000, 48, 7000},
    };
    for (const EngineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch, " << c.rate << " Hz, " << c.semitones << " st");
        const std::vector<std::int16_t> input = tone(c.frames, c.channels, c.rate, 330);
        const ShiftResult r = shiftFrames(input, c.channels, c.rate, c.semitones);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.samples.size(), input.size());
        EXPECT_EQ(r.samples, engineByHand(input, c.channels, c.rate, c.semitones));
    }
}

TEST(ShiftFrames, ZeroFramesGiveZeroFrames)
{
    const ShiftResult r = shiftFrames({}, 2, 44100, 6);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.samples.empty());
}

// Frequency of channel 0 from its upward zero crossings between two frames.
double frequency(const std::vector<std::int16_t>& s, int channels, int rate, std::size_t from, std::size_t to)
{
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t f = from + 1; f < to; ++f) {
        if (s[(f - 1) * channels] < 0 && s[f * channels] >= 0) {
            if (crossings == 0)
                first = f;
            last = f;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * static_cast<double>(rate) / (last - first);
}

TEST(ShiftFrames, ShiftsAToneByTheSemitonesAsked)
{
    struct Case {
        int channels, rate, semitones;
        double expectedHz;
    };
    for (const Case& c : {Case{1, 44100, 12, 880.0}, Case{2, 22050, -12, 220.0}, Case{1, 48000, 7, 440.0 * 1.4983}}) {
        SCOPED_TRACE(c.semitones);
        const std::size_t frames = 3 * static_cast<std::size_t>(c.rate);
        const ShiftResult r = shiftFrames(tone(frames, c.channels, c.rate, 440), c.channels, c.rate, c.semitones);
        ASSERT_TRUE(r.ok()) << r.error;
        const double hz = frequency(r.samples, c.channels, c.rate, frames / 2, frames - 1);
        EXPECT_NEAR(hz, c.expectedHz, c.expectedHz * 0.03);
    }
}

}  // namespace

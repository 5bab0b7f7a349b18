#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "engine/pitch_engine.h"
#include "test_signals.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

void configure(PitchEngine& engine, int semitones)
{
    engine.setChannels(1);
    engine.setSampleRate(44100);
    engine.setOutputBlockBytes(1024);
    engine.setPitchSemitones(semitones);
}

long allocationsDuring(PitchEngine& engine, const std::vector<std::int16_t>& in, int calls)
{
    std::vector<std::int16_t> out(512);
    const long before = allocations.load();
    for (int call = 0; call < calls; ++call)
        engine.process(out.data(), in.data() + 512 * (call % 64), 512);
    return allocations.load() - before;
}

// Where the stretcher's stride is exact, the queues stop growing.
TEST(PitchEngineAllocations, NoneOnceTheBuffersHaveGrown)
{
    const auto in = randomSamples(512 * 64, 7);
    for (int semitones : {0, 12, -12, 24, -24}) {
        PitchEngine engine;
        configure(engine, semitones);
        allocationsDuring(engine, in, 500);
        EXPECT_EQ(allocationsDuring(engine, in, 5000), 0) << semitones;
    }
}

// Elsewhere the stride (segment minus overlap, times the tempo) is truncated,
// so each segment emits a little more than its share: at +6 and -6 semitones
// the stretcher's output reserve creeps up by about 0.2 frames per block, and
// its queue grows in steps of at least 96 samples, rarely.
TEST(PitchEngineAllocations, TruncatedStridesGrowTheOutputReserveSlowly)
{
    const auto in = randomSamples(512 * 64, 7);
    for (int semitones : {6, -6}) {
        PitchEngine engine;
        configure(engine, semitones);
        allocationsDuring(engine, in, 500);
        const auto heldBefore = engine.timeStretcher().heldOutput();
        const long grown = allocationsDuring(engine, in, 10000);
        const auto heldAfter = engine.timeStretcher().heldOutput();
        EXPECT_LE(grown, 10000 / 300) << semitones;
        EXPECT_LT(heldAfter, heldBefore + 10000 / 3) << semitones;
    }
}

TEST(PitchEngineAllocations, TheCounterSeesEngineGrowth)
{
    // The first calls do allocate: this proves the counter is wired in.
    PitchEngine engine;
    engine.setChannels(1);
    engine.setOutputBlockBytes(1024);
    engine.setPitchSemitones(6);
    const long before = allocations.load();
    std::vector<std::int16_t> in(512, 0), out(512);
    engine.process(out.data(), in.data(), 512);
    EXPECT_GT(allocations.load() - before, 0);
}

} // namespace

// PitchEngine::process on the live program's 512-frame blocks, measured once
// the stretcher is filled and every buffer has reached its working size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/pitch_engine.h"

namespace {

constexpr int RATE = 44100;
constexpr int BLOCK_FRAMES = 512;
constexpr int SIGNAL_SECONDS = 10;
constexpr int WARM_UP_BLOCKS = 200;

// Voiced sound with a gliding pitch, a few formant-weighted harmonics,
// syllable-rate loudness and a little noise: close enough to speech for the
// stretcher's search to do real work.
std::vector<std::int16_t> speechLike(int channels)
{
    const int frames = SIGNAL_SECONDS * RATE;
    std::vector<std::int16_t> s(static_cast<std::size_t>(frames) * channels);
    double phase = 0;
    std::uint32_t noise = 12345;
    for (int f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / RATE;
        const double pitch = 140 + 50 * std::sin(2 * M_PI * 0.7 * t);
        phase += 2 * M_PI * pitch / RATE;
        double v = 0;
        for (int h = 1; h <= 12; ++h) {
            const double hz = h * pitch;
            const double formants = std::exp(-std::pow((hz - 700) / 300, 2)) + 0.6 * std::exp(-std::pow((hz - 1200) / 400, 2));
            v += (0.15 + formants) / h * std::sin(h * phase);
        }
        const double syllable = 0.55 + 0.45 * std::sin(2 * M_PI * 4 * t);
        noise = noise * 1664525u + 1013904223u;
        const double hiss = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.05;
        const double sample = 9000 * syllable * (v + hiss);
        for (int c = 0; c < channels; ++c)
            s[static_cast<std::size_t>(f) * channels + c] = static_cast<std::int16_t>(c == 0 ? sample : 0.8 * sample);
    }
    return s;
}

void processBlocks(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const int semitones = static_cast<int>(state.range(1));
    const std::vector<std::int16_t> signal = speechLike(channels);
    const std::size_t blocks = signal.size() / (static_cast<std::size_t>(BLOCK_FRAMES) * channels);

    PitchEngine engine;
    engine.setChannels(channels);
    engine.setSampleRate(RATE);
    engine.setOutputBlockBytes(1024 * channels);
    engine.setPitchSemitones(semitones);
    std::vector<std::int16_t> out(static_cast<std::size_t>(BLOCK_FRAMES) * channels);

    std::size_t block = 0;
    auto nextBlock = [&]() {
        const std::int16_t* in = signal.data() + block * BLOCK_FRAMES * channels;
        block = (block + 1) % blocks;
        return in;
    };
    for (int i = 0; i < WARM_UP_BLOCKS; ++i)
        engine.process(out.data(), nextBlock(), BLOCK_FRAMES);

    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.process(out.data(), nextBlock(), BLOCK_FRAMES));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * BLOCK_FRAMES);
    // Seconds of sound per second of work: how many times faster than real time.
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BLOCK_FRAMES / RATE, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(processBlocks)->ArgsProduct({{1, 2}, {0, 6, -6, 12}})->ArgNames({"channels", "semitones"});

BENCHMARK_MAIN();

#include "wave_files.h"

#include "scripted_clicks.h"
#include "wave.h"
#include "wav_file.h"
#include "window_system.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace zplat {
namespace {

// Silence played after the inputs end, so that what the program still holds
// (its own buffering) comes out before the close: about half a second.
constexpr int TAIL_TICKS = 48;
constexpr double TICK_SECONDS = 512.0 / 44100.0;  // one block of the program's format

struct InputFile {
    std::mutex mutex;
    std::string samples;
    size_t position = 0;
    bool used = false;

    size_t read(char* data, size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex);
        used = true;
        size_t count = std::min(bytes, samples.size() - position);
        std::memcpy(data, samples.data() + position, count);
        position += count;
        return count;
    }
    bool finished() {
        std::lock_guard<std::mutex> lock(mutex);
        return position >= samples.size();
    }
    bool wasUsed() {
        std::lock_guard<std::mutex> lock(mutex);
        return used;
    }
};

// Reads a WAV file with the project's reader; the WAVE_FORMAT_ bit it offers:
// 4M16 for 16-bit mono 44100 Hz, nothing otherwise.
DWORD loadWave(const std::string& hostPath, std::string* samples) {
    const WavReadResult read = readWavFile(hostPath);
    if (!read.ok()) {
        std::fprintf(stderr, "zimbalo: %s: %s\n", hostPath.c_str(), read.error.c_str());
        return 0;
    }
    if (read.audio.channels != 1 || read.audio.sampleRate != 44100) {
        std::fprintf(stderr, "zimbalo: %s is not 16-bit mono 44100 Hz\n", hostPath.c_str());
        return 0;
    }
    const std::vector<std::int16_t>& pcm = read.audio.samples;
    samples->resize(pcm.size() * sizeof(std::int16_t));
    for (size_t i = 0; i < pcm.size(); ++i) {
        const auto value = static_cast<std::uint16_t>(pcm[i]);
        (*samples)[2 * i] = static_cast<char>(value & 0xFF);
        (*samples)[2 * i + 1] = static_cast<char>(value >> 8);
    }
    return WAVE_FORMAT_4M16;
}

// An output device's file: a canonical WAV header, sizes kept right after each block.
struct OutputFile {
    std::mutex mutex;
    std::string hostPath;
    std::FILE* file = nullptr;
    DWORD dataBytes = 0;

    static void put(std::FILE* f, DWORD value, int count) {
        for (int i = 0; i < count; ++i) std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), f);
    }
    void open(const WAVEFORMATEX& format) {
        std::lock_guard<std::mutex> lock(mutex);
        if (file) std::fclose(file);
        file = std::fopen(hostPath.c_str(), "wb");
        dataBytes = 0;
        if (!file) {
            std::fprintf(stderr, "zimbalo: cannot write %s\n", hostPath.c_str());
            return;
        }
        std::fwrite("RIFF", 1, 4, file);
        put(file, 36, 4);
        std::fwrite("WAVEfmt ", 1, 8, file);
        put(file, 16, 4);
        put(file, format.wFormatTag, 2);
        put(file, format.nChannels, 2);
        put(file, format.nSamplesPerSec, 4);
        put(file, format.nAvgBytesPerSec, 4);
        put(file, format.nBlockAlign, 2);
        put(file, format.wBitsPerSample, 2);
        std::fwrite("data", 1, 4, file);
        put(file, 0, 4);
        std::fflush(file);
    }
    void append(const char* data, size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!file) return;
        std::fseek(file, 0, SEEK_END);
        std::fwrite(data, 1, bytes, file);
        dataBytes += static_cast<DWORD>(bytes);
        std::fseek(file, 4, SEEK_SET);
        put(file, 36 + dataBytes, 4);
        std::fseek(file, 40, SEEK_SET);
        put(file, dataBytes, 4);
        std::fflush(file);
    }
};

struct Clock {
    std::mutex mutex;
    bool fast = false;
    std::vector<std::shared_ptr<InputFile>> inputs;
    size_t outputs = 0;
    int tailLeft = -1;
    bool closePosted = false;
    bool running = false;
};

Clock& clock() {
    static Clock* instance = new Clock;
    return *instance;
}

std::vector<std::string> fileList(const char* variable) {
    std::vector<std::string> files;
    const char* value = std::getenv(variable);
    if (!value) return files;
    std::string text = value;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(':', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) files.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return files;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One tick: every input delivers one block, then every output finishes one.
bool tick() {
    size_t inputs = 0, outputs = 0;
    {
        std::lock_guard<std::mutex> lock(clock().mutex);
        inputs = clock().inputs.size();
        outputs = clock().outputs;
    }
    advanceWaveClock();
    bool worked = false;
    for (size_t i = 0; i < inputs; ++i) worked = tickDevice(true, static_cast<int>(i)) || worked;
    for (size_t o = 0; o < outputs; ++o) worked = tickDevice(false, static_cast<int>(o)) || worked;
    return worked;
}

void closeWhenPlayedOut() {
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (c.closePosted || c.inputs.empty()) return;
    bool anyUsed = false;
    for (auto& input : c.inputs) {
        if (!input->wasUsed()) continue;
        anyUsed = true;
        if (!input->finished()) return;
    }
    if (!anyUsed) return;
    if (c.tailLeft < 0) c.tailLeft = waveActivity().queuedOutputBlocks + TAIL_TICKS;
    if (c.tailLeft-- > 0) return;
    std::vector<HWND> windows = topLevelWindowHandles();
    if (windows.empty()) return;
    PostMessageA(windows.front(), WM_CLOSE, 0, 0);
    c.closePosted = true;
}

void runClock() {
    long ticks = 0;
    auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(TICK_SECONDS));
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        bool fast;
        {
            std::lock_guard<std::mutex> lock(clock().mutex);
            fast = clock().fast;
        }
        if (fast) {
            if (!waitUntilWindowThreadsIdle(50)) continue;
        } else {
            next += period;
            auto now = std::chrono::steady_clock::now();
            if (next < now - std::chrono::seconds(1)) next = now;  // fell far behind: catch up no more
            std::this_thread::sleep_until(next);
        }
        bool worked = tick();
        performScriptedClicks(++ticks);
        closeWhenPlayedOut();
        if (fast && !worked) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

void stopWaveFilesForTests() {
    std::lock_guard<std::mutex> lock(clock().mutex);
    clock().inputs.clear();
    clock().outputs = 0;
    clock().tailLeft = -1;
}

void useWaveFilesFromEnvironment() {
    std::vector<std::string> inputFiles = fileList("ZIMBALO_WAVE_IN");
    std::vector<std::string> outputFiles = fileList("ZIMBALO_WAVE_OUT");
    if (inputFiles.empty() && outputFiles.empty()) return;
    const char* clockSetting = std::getenv("ZIMBALO_WAVE_CLOCK");

    std::vector<platformtest::WaveDevice> inputs, outputs;
    std::vector<std::shared_ptr<InputFile>> sources;
    for (const std::string& path : inputFiles) {
        auto source = std::make_shared<InputFile>();
        platformtest::WaveDevice device;
        device.name = baseName(path);
        device.formats = loadWave(path, &source->samples);
        inputs.push_back(device);
        sources.push_back(source);
    }
    std::vector<std::shared_ptr<OutputFile>> sinks;
    for (const std::string& path : outputFiles) {
        auto sink = std::make_shared<OutputFile>();
        sink->hostPath = path;
        platformtest::WaveDevice device;
        device.name = baseName(path);
        device.formats = 0xFFFu;  // any standard PCM format
        outputs.push_back(device);
        sinks.push_back(sink);
    }
    setWaveDevices(true, inputs);
    setWaveDevices(false, outputs);
    for (size_t i = 0; i < sources.size(); ++i) {
        auto source = sources[i];
        WaveBackend backend;
        backend.source = [source](char* data, size_t bytes) { return source->read(data, bytes); };
        setWaveBackend(true, static_cast<int>(i), backend);
    }
    for (size_t o = 0; o < sinks.size(); ++o) {
        auto sink = sinks[o];
        WaveBackend backend;
        backend.opened = [sink](const WAVEFORMATEX& format) { sink->open(format); };
        backend.sink = [sink](const char* data, size_t bytes) { sink->append(data, bytes); };
        setWaveBackend(false, static_cast<int>(o), backend);
    }

    loadScriptedClicksFromEnvironment();
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.fast = clockSetting && std::string(clockSetting) == "fast";
    c.inputs = sources;
    c.outputs = sinks.size();
    c.tailLeft = -1;
    c.closePosted = false;
    if (!c.running) {
        c.running = true;
        std::thread(runClock).detach();
    }
}

}  // namespace zplat

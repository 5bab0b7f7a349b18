#include "wave.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

using platformtest::WaveCall;

namespace zplat {
namespace {

struct DeviceEntry {
    platformtest::WaveDevice config;
    std::map<WaveCall, int> callCounts;
    std::map<std::pair<WaveCall, int>, MMRESULT> failures;  // (call, number) -> error
    std::vector<BYTE> played;
    WaveBackend backend;
};

struct OpenDevice {
    bool input = false;
    int device = 0;
    HWND window = nullptr;  // null: no notifications
    bool started = false;
    std::deque<WAVEHDR*> queue;
    std::deque<uint64_t> queuedAtTick;  // the clock tick at which each block was queued
};

struct Posting {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct WaveSystem {
    std::mutex mutex;
    std::vector<DeviceEntry> inputs, outputs;
    std::map<uintptr_t, OpenDevice> open;  // by handle: opening order
    std::vector<platformtest::WaveCallRecord> log;
    uintptr_t next = 0x80000;
    uint64_t tick = 0;
};

// An output device holds this many ticks of sound before a block counts as
// played, as a real device buffers ahead of what it has finished.
constexpr uint64_t OUTPUT_LATENCY_TICKS = 3;

WaveSystem& waves() {
    static WaveSystem* instance = new WaveSystem;
    return *instance;
}

std::vector<DeviceEntry>& entries(bool input) { return input ? waves().inputs : waves().outputs; }

// Counts the call, applies an injected failure and logs the result. Under the lock.
MMRESULT account(bool input, int device, WaveCall call, MMRESULT result) {
    auto& list = entries(input);
    if (device >= 0 && static_cast<size_t>(device) < list.size()) {
        DeviceEntry& entry = list[static_cast<size_t>(device)];
        int number = ++entry.callCounts[call];
        auto failure = entry.failures.find({call, number});
        if (result == MMSYSERR_NOERROR && failure != entry.failures.end()) result = failure->second;
    }
    waves().log.push_back({input, device, call, result});
    return result;
}

void post(const std::vector<Posting>& postings) {
    for (const Posting& p : postings) PostMessageA(p.window, p.message, p.wParam, p.lParam);
}

UINT notification(bool input, bool done) {
    return input ? (done ? MM_WIM_DATA : MM_WIM_OPEN) : (done ? MM_WOM_DONE : MM_WOM_OPEN);
}

DWORD formatBit(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM) return 0;
    if (format.nChannels < 1 || format.nChannels > 2) return 0;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return 0;
    DWORD align = format.nChannels * format.wBitsPerSample / 8u;
    if (format.nBlockAlign != align || format.nAvgBytesPerSec != format.nSamplesPerSec * align) return 0;
    int rate = format.nSamplesPerSec == 11025 ? 0 : format.nSamplesPerSec == 22050 ? 1
             : format.nSamplesPerSec == 44100 ? 2 : -1;
    if (rate < 0) return 0;
    int index = (format.nChannels == 2 ? 1 : 0) + (format.wBitsPerSample == 16 ? 2 : 0);
    return 1u << (rate * 4 + index);
}

MMRESULT openDevice(bool input, HANDLE* handle, UINT deviceId, LPCWAVEFORMATEX format,
                    DWORD_PTR callback, DWORD flags) {
    std::vector<Posting> postings;
    MMRESULT result = MMSYSERR_NOERROR;
    std::function<void(const WAVEFORMATEX&)> notifyOpened;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        auto& list = entries(input);
        if (deviceId == WAVE_MAPPER) deviceId = 0;
        int device = static_cast<int>(deviceId);
        bool query = (flags & WAVE_FORMAT_QUERY) != 0;
        DWORD callbackType = flags & CALLBACK_TYPEMASK;
        HWND window = reinterpret_cast<HWND>(callback);
        if (deviceId >= list.size()) {
            result = MMSYSERR_BADDEVICEID;
        } else if (!format) {
            result = MMSYSERR_INVALPARAM;
        } else if (!(formatBit(*format) & list[deviceId].config.formats) ||
                   (query && list[deviceId].config.queryFails)) {
            result = WAVERR_BADFORMAT;
        } else if (query) {
            result = MMSYSERR_NOERROR;
        } else if (!handle || (callbackType != CALLBACK_NULL && callbackType != CALLBACK_WINDOW)) {
            result = callbackType != CALLBACK_NULL && callbackType != CALLBACK_WINDOW
                         ? MMSYSERR_NOTSUPPORTED : MMSYSERR_INVALPARAM;
        } else if (callbackType == CALLBACK_WINDOW && !IsWindow(window)) {
            result = MMSYSERR_INVALPARAM;
        } else if (list[deviceId].config.openFails) {
            result = MMSYSERR_ALLOCATED;
        }
        if (query) return result;
        result = account(input, device, WaveCall::Open, result);
        if (result == MMSYSERR_NOERROR) {
            uintptr_t value = waves().next;
            waves().next += 0x10;
            OpenDevice opened;
            opened.input = input;
            opened.device = device;
            opened.window = callbackType == CALLBACK_WINDOW ? window : nullptr;
            waves().open[value] = opened;
            *handle = reinterpret_cast<HANDLE>(value);
            notifyOpened = list[deviceId].backend.opened;
            if (opened.window)
                postings.push_back({opened.window, notification(input, false),
                                    static_cast<WPARAM>(value), 0});
        } else if (handle) {
            *handle = nullptr;
        }
    }
    if (notifyOpened) notifyOpened(*format);
    post(postings);
    return result;
}

OpenDevice* openLocked(bool input, HANDLE handle) {
    auto found = waves().open.find(reinterpret_cast<uintptr_t>(handle));
    if (found == waves().open.end() || found->second.input != input) return nullptr;
    return &found->second;
}

MMRESULT prepare(bool input, HANDLE handle, LPWAVEHDR header, UINT size) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    OpenDevice* device = openLocked(input, handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    MMRESULT result = MMSYSERR_NOERROR;
    if (!header || size < sizeof(WAVEHDR) || !header->lpData || header->dwBufferLength == 0)
        result = MMSYSERR_INVALPARAM;
    else if (header->dwFlags & WHDR_INQUEUE)
        result = WAVERR_STILLPLAYING;
    result = account(input, device->device, WaveCall::Prepare, result);
    if (result == MMSYSERR_NOERROR) header->dwFlags |= WHDR_PREPARED;
    return result;
}

MMRESULT unprepare(bool input, HANDLE handle, LPWAVEHDR header, UINT size) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    OpenDevice* device = openLocked(input, handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    MMRESULT result = MMSYSERR_NOERROR;
    if (!header || size < sizeof(WAVEHDR))
        result = MMSYSERR_INVALPARAM;
    else if (header->dwFlags & WHDR_INQUEUE)
        result = WAVERR_STILLPLAYING;
    result = account(input, device->device, WaveCall::Unprepare, result);
    if (result == MMSYSERR_NOERROR) header->dwFlags &= ~WHDR_PREPARED;
    return result;
}

MMRESULT enqueue(bool input, HANDLE handle, LPWAVEHDR header, UINT size) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    OpenDevice* device = openLocked(input, handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    MMRESULT result = MMSYSERR_NOERROR;
    if (!header || size < sizeof(WAVEHDR))
        result = MMSYSERR_INVALPARAM;
    else if (!(header->dwFlags & WHDR_PREPARED))
        result = WAVERR_UNPREPARED;
    else if (header->dwFlags & WHDR_INQUEUE)
        result = WAVERR_STILLPLAYING;
    result = account(input, device->device, input ? WaveCall::Add : WaveCall::Write, result);
    if (result == MMSYSERR_NOERROR) {
        header->dwFlags = (header->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        if (input) header->dwBytesRecorded = 0;
        device->queue.push_back(header);
        device->queuedAtTick.push_back(waves().tick);
    }
    return result;
}

// Under the lock: hands the oldest queued block back.
void handBack(OpenDevice& device, uintptr_t handle, std::vector<Posting>& postings) {
    WAVEHDR* header = device.queue.front();
    device.queue.pop_front();
    device.queuedAtTick.pop_front();
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    if (device.window)
        postings.push_back({device.window, notification(device.input, true),
                            static_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(header)});
}

MMRESULT resetDevice(bool input, HANDLE handle) {
    std::vector<Posting> postings;
    MMRESULT result;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        OpenDevice* device = openLocked(input, handle);
        if (!device) return MMSYSERR_INVALHANDLE;
        result = account(input, device->device, WaveCall::Reset, MMSYSERR_NOERROR);
        if (result == MMSYSERR_NOERROR) {
            uintptr_t value = reinterpret_cast<uintptr_t>(handle);
            while (!device->queue.empty()) handBack(*device, value, postings);
            device->started = false;
        }
    }
    post(postings);
    return result;
}

MMRESULT closeDevice(bool input, HANDLE handle) {
    std::vector<Posting> postings;
    MMRESULT result;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        OpenDevice* device = openLocked(input, handle);
        if (!device) return MMSYSERR_INVALHANDLE;
        result = account(input, device->device, WaveCall::Close,
                         device->queue.empty() ? MMSYSERR_NOERROR : WAVERR_STILLPLAYING);
        if (result == MMSYSERR_NOERROR) {
            if (device->window)
                postings.push_back({device->window, input ? UINT(MM_WIM_CLOSE) : UINT(MM_WOM_CLOSE),
                                    reinterpret_cast<WPARAM>(handle), 0});
            waves().open.erase(reinterpret_cast<uintptr_t>(handle));
        }
    }
    post(postings);
    return result;
}

MMRESULT capabilities(bool input, UINT_PTR deviceId, char* name, DWORD* formats, WORD* channels) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    auto& list = entries(input);
    if (deviceId == WAVE_MAPPER) deviceId = 0;
    if (deviceId >= list.size()) return MMSYSERR_BADDEVICEID;
    const platformtest::WaveDevice& config = list[deviceId].config;
    if (config.capsFails) return MMSYSERR_NODRIVER;
    std::strncpy(name, config.name.c_str(), MAXPNAMELEN - 1);
    name[MAXPNAMELEN - 1] = '\0';
    *formats = config.formats;
    *channels = (config.formats & 0xAAAu) ? 2 : 1;
    return MMSYSERR_NOERROR;
}

// Under the lock: the open device of that number with the oldest queued block.
std::pair<uintptr_t, OpenDevice*> busiest(bool input, int device, bool mustBeStarted) {
    for (auto& entry : waves().open) {
        OpenDevice& open = entry.second;
        if (open.input == input && open.device == device && !open.queue.empty() &&
            (!mustBeStarted || open.started))
            return {entry.first, &open};
    }
    return {0, nullptr};
}

}  // namespace

void setWaveDevices(bool input, std::vector<platformtest::WaveDevice> devices) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    auto& list = entries(input);
    list.clear();
    for (auto& config : devices) {
        DeviceEntry entry;
        entry.config = std::move(config);
        list.push_back(std::move(entry));
    }
}

void resetWaveForTests() {
    std::lock_guard<std::mutex> lock(waves().mutex);
    waves().inputs.clear();
    waves().outputs.clear();
    waves().open.clear();
    waves().log.clear();
}

bool deliverInput(int device, const char* data, size_t bytes) {
    std::vector<Posting> postings;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        auto [handle, open] = busiest(true, device, true);
        if (!open) return false;
        WAVEHDR* header = open->queue.front();
        size_t count = std::min<size_t>(bytes, header->dwBufferLength);
        if (count) std::memcpy(header->lpData, data, count);
        header->dwBytesRecorded = static_cast<DWORD>(count);
        handBack(*open, handle, postings);
    }
    post(postings);
    return true;
}

bool finishOutput(int device) {
    std::vector<Posting> postings;
    std::function<void(const char*, size_t)> sink;
    std::vector<char> bytes;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        auto [handle, open] = busiest(false, device, false);
        if (!open) return false;
        WAVEHDR* header = open->queue.front();
        auto& entry = waves().outputs[static_cast<size_t>(device)];
        entry.played.insert(entry.played.end(), header->lpData, header->lpData + header->dwBufferLength);
        sink = entry.backend.sink;
        if (sink) bytes.assign(header->lpData, header->lpData + header->dwBufferLength);
        handBack(*open, handle, postings);
    }
    if (sink) sink(bytes.data(), bytes.size());
    post(postings);
    return true;
}

std::vector<BYTE> playedBytes(int device) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    if (device < 0 || static_cast<size_t>(device) >= waves().outputs.size()) return {};
    return waves().outputs[static_cast<size_t>(device)].played;
}

std::vector<platformtest::WaveCallRecord> waveCallLog() {
    std::lock_guard<std::mutex> lock(waves().mutex);
    return waves().log;
}

void failWave(bool input, int device, WaveCall call, int callNumber, MMRESULT error) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    auto& list = entries(input);
    if (device < 0 || static_cast<size_t>(device) >= list.size()) return;
    list[static_cast<size_t>(device)].failures[{call, callNumber}] = error;
}

void setWaveBackend(bool input, int device, WaveBackend backend) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    auto& list = entries(input);
    if (device >= 0 && static_cast<size_t>(device) < list.size())
        list[static_cast<size_t>(device)].backend = std::move(backend);
}

WaveActivity waveActivity() {
    std::lock_guard<std::mutex> lock(waves().mutex);
    WaveActivity activity;
    for (auto& entry : waves().open) {
        if (entry.second.input && entry.second.started) ++activity.startedInputs;
        if (!entry.second.input) activity.queuedOutputBlocks += static_cast<int>(entry.second.queue.size());
    }
    return activity;
}

size_t waveDeviceCount(bool input) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    return entries(input).size();
}

void advanceWaveClock() {
    std::lock_guard<std::mutex> lock(waves().mutex);
    ++waves().tick;
}

bool tickDevice(bool input, int device) {
    if (!input) {
        {
            std::lock_guard<std::mutex> lock(waves().mutex);
            auto [handle, open] = busiest(false, device, false);
            (void)handle;
            if (!open || open->queuedAtTick.front() + OUTPUT_LATENCY_TICKS > waves().tick) return false;
        }
        return finishOutput(device);
    }
    std::function<size_t(char*, size_t)> source;
    size_t bytes = 0;
    {
        std::lock_guard<std::mutex> lock(waves().mutex);
        auto [handle, open] = busiest(true, device, true);
        if (!open) return false;
        source = waves().inputs[static_cast<size_t>(device)].backend.source;
        bytes = open->queue.front()->dwBufferLength;
    }
    std::vector<char> data(bytes, 0);
    size_t filled = source ? source(data.data(), bytes) : 0;
    (void)filled;  // past the file's end a device delivers silence: the whole block
    return deliverInput(device, data.data(), bytes);
}

}  // namespace zplat

using namespace zplat;

UINT WINAPI waveInGetNumDevs(void) { return static_cast<UINT>(waveDeviceCount(true)); }
UINT WINAPI waveOutGetNumDevs(void) { return static_cast<UINT>(waveDeviceCount(false)); }

MMRESULT WINAPI waveInGetDevCapsA(UINT_PTR deviceId, LPWAVEINCAPSA caps, UINT capsSize) {
    if (!caps || capsSize < sizeof(WAVEINCAPSA)) return MMSYSERR_INVALPARAM;
    *caps = WAVEINCAPSA{};
    return capabilities(true, deviceId, caps->szPname, &caps->dwFormats, &caps->wChannels);
}

MMRESULT WINAPI waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT capsSize) {
    if (!caps || capsSize < sizeof(WAVEOUTCAPSA)) return MMSYSERR_INVALPARAM;
    *caps = WAVEOUTCAPSA{};
    return capabilities(false, deviceId, caps->szPname, &caps->dwFormats, &caps->wChannels);
}

MMRESULT WINAPI waveInOpen(LPHWAVEIN device, UINT deviceId, LPCWAVEFORMATEX format,
                           DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    HANDLE handle = nullptr;
    MMRESULT result = openDevice(true, device ? &handle : nullptr, deviceId, format, callback, flags);
    if (device && !(flags & WAVE_FORMAT_QUERY)) *device = static_cast<HWAVEIN>(handle);
    return result;
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format,
                            DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    HANDLE handle = nullptr;
    MMRESULT result = openDevice(false, device ? &handle : nullptr, deviceId, format, callback, flags);
    if (device && !(flags & WAVE_FORMAT_QUERY)) *device = static_cast<HWAVEOUT>(handle);
    return result;
}

MMRESULT WINAPI waveInPrepareHeader(HWAVEIN d, LPWAVEHDR h, UINT s) { return prepare(true, d, h, s); }
MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT d, LPWAVEHDR h, UINT s) { return prepare(false, d, h, s); }
MMRESULT WINAPI waveInUnprepareHeader(HWAVEIN d, LPWAVEHDR h, UINT s) { return unprepare(true, d, h, s); }
MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT d, LPWAVEHDR h, UINT s) { return unprepare(false, d, h, s); }
MMRESULT WINAPI waveInAddBuffer(HWAVEIN d, LPWAVEHDR h, UINT s) { return enqueue(true, d, h, s); }
MMRESULT WINAPI waveOutWrite(HWAVEOUT d, LPWAVEHDR h, UINT s) { return enqueue(false, d, h, s); }
MMRESULT WINAPI waveInReset(HWAVEIN d) { return resetDevice(true, d); }
MMRESULT WINAPI waveOutReset(HWAVEOUT d) { return resetDevice(false, d); }
MMRESULT WINAPI waveInClose(HWAVEIN d) { return closeDevice(true, d); }
MMRESULT WINAPI waveOutClose(HWAVEOUT d) { return closeDevice(false, d); }

MMRESULT WINAPI waveInStart(HWAVEIN handle) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    OpenDevice* device = openLocked(true, handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    MMRESULT result = account(true, device->device, WaveCall::Start, MMSYSERR_NOERROR);
    if (result == MMSYSERR_NOERROR) device->started = true;
    return result;
}

MMRESULT WINAPI waveInStop(HWAVEIN handle) {
    std::lock_guard<std::mutex> lock(waves().mutex);
    OpenDevice* device = openLocked(true, handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    device->started = false;
    return MMSYSERR_NOERROR;
}

// Wave input and output devices: each open device keeps its queue of blocks
// and hands each one back with one notification (MM_WIM_DATA / MM_WOM_DONE,
// lParam = the WAVEHDR*) posted to the window given at open, in queue order,
// also for the blocks that a reset hands back.
#pragma once

#include "platform/testing/platform_testing.h"

#include <functional>
#include <string>
#include <vector>

namespace zplat {

void setWaveDevices(bool input, std::vector<platformtest::WaveDevice> devices);
void resetWaveForTests();

bool deliverInput(int device, const char* data, size_t bytes);  // into the oldest queued block
bool finishOutput(int device);                                   // the oldest written block
std::vector<BYTE> playedBytes(int device);
std::vector<platformtest::WaveCallRecord> waveCallLog();
void failWave(bool input, int device, platformtest::WaveCall call, int callNumber, MMRESULT error);

// What a file-backed device does: an input source fills a block (returns the
// bytes written), an output sink takes the bytes played.
struct WaveBackend {
    std::function<size_t(char*, size_t)> source;
    std::function<void(const char*, size_t)> sink;
    std::function<void(const WAVEFORMATEX&)> opened;  // the device was opened with this format
};
void setWaveBackend(bool input, int device, WaveBackend backend);

struct WaveActivity {
    int startedInputs = 0;      // open and started input devices
    int queuedOutputBlocks = 0;
};
WaveActivity waveActivity();
void advanceWaveClock();  // a new tick begins
// One clock tick for a device: an input device delivers one block from its
// source, an output device finishes one block. False when it had nothing to do.
bool tickDevice(bool input, int device);
size_t waveDeviceCount(bool input);

}  // namespace zplat

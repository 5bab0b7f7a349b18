#include "audio/duplex_stream.h"

#include <cstdint>
#include <cstring>

#include "app/level_meter.h"
#include "app/main_window.h"
#include "app/program_objects.h"
#include "audio/monitor_mute.h"
#include "audio/wav_recorder.h"
#include "desktop/desktop_folder.h"

namespace DuplexStream {

WAVEFORMATEX streamFormat;
HWAVEIN inputDevice;
HWAVEOUT outputDevice;
WAVEHDR inputRing[RING_BLOCKS];
WAVEHDR outputRing[RING_BLOCKS];
int inputOutstanding;
int outputOutstanding;
int nextOutput;
bool stopRequested;
bool drained;

namespace {

// Fixed storage for the whole run; zero at start, so an unused block is silence.
char inputStorage[RING_BLOCKS][BLOCK_BYTES];
char outputStorage[RING_BLOCKS][BLOCK_BYTES];
char scratchBlock[BLOCK_BYTES];

// The window that receives the device notifications and owns the message boxes.
HWND owner;

void report(const char* text)
{
    MessageBoxA(owner, text, "error", MB_OK);
}

void fillStreamFormat()
{
    streamFormat = {};
    streamFormat.wFormatTag = WAVE_FORMAT_PCM;
    streamFormat.nChannels = STREAM_CHANNELS;
    streamFormat.nSamplesPerSec = STREAM_SAMPLE_RATE;
    streamFormat.nAvgBytesPerSec = STREAM_SAMPLE_RATE * STREAM_CHANNELS * 2;
    streamFormat.nBlockAlign = STREAM_CHANNELS * 2;
    streamFormat.wBitsPerSample = 16;
    streamFormat.cbSize = 0;
}

// The item data of the chooser's selection, or device 0 when it lists nothing.
UINT chosenDevice(HWND chooser)
{
    if (SendMessageA(chooser, CB_GETCOUNT, 0, 0) <= 0) {
        return 0;
    }
    const LRESULT selection = SendMessageA(chooser, CB_GETCURSEL, 0, 0);
    return static_cast<UINT>(SendMessageA(chooser, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0));
}

void initHeader(WAVEHDR& header, char* storage)
{
    std::memset(&header, 0, sizeof header);
    header.lpData = storage;
    header.dwBufferLength = BLOCK_BYTES;
}

void closeInput()
{
    for (WAVEHDR& header : inputRing) {
        if (waveInUnprepareHeader(inputDevice, &header, sizeof header) != MMSYSERR_NOERROR) {
            report("In UnPrepare error");
        }
    }
    waveInClose(inputDevice);
    inputDevice = nullptr;
}

void closeOutput()
{
    for (WAVEHDR& header : outputRing) {
        if (waveOutUnprepareHeader(outputDevice, &header, sizeof header) != MMSYSERR_NOERROR) {
            report("Out UnPrepare error");
        }
    }
    waveOutClose(outputDevice);
    outputDevice = nullptr;
}

// Once nothing is outstanding on either side, the devices still open are
// closed and the window is asked to close again, exactly once.
void finishIfDrained()
{
    if (inputOutstanding != 0 || outputOutstanding != 0 || drained) {
        return;
    }
    if (inputDevice != nullptr) {
        closeInput();
    }
    if (outputDevice != nullptr) {
        closeOutput();
    }
    drained = true;
    PostMessageA(owner, WM_CLOSE, 0, 0);
}

// Runs the engine from the copied input block into output block i. Frames the
// engine did not write are silence, never what the block held before.
void fillOutputBlock(int i, const WAVEHDR* input)
{
    std::memcpy(scratchBlock, input->lpData, BLOCK_BYTES);
    auto* out = reinterpret_cast<std::int16_t*>(outputRing[i].lpData);
    int frames = pitchEngine.process(out, reinterpret_cast<const std::int16_t*>(scratchBlock), BLOCK_FRAMES);
    if (frames < 0) {
        frames = 0;
    }
    if (frames < BLOCK_FRAMES) {
        std::memset(out + frames, 0, sizeof(std::int16_t) * (BLOCK_FRAMES - frames));
    }
}

}  // namespace

bool inputOpen()
{
    return inputDevice != nullptr;
}

bool outputOpen()
{
    return outputDevice != nullptr;
}

int start(HWND window)
{
    owner = window;
    fillStreamFormat();
    const UINT inputId = chosenDevice(MainWindow::inputChooser);
    const UINT outputId = chosenDevice(MainWindow::outputChooser);

    if (waveInOpen(nullptr, inputId, &streamFormat, 0, 0, WAVE_FORMAT_QUERY) != MMSYSERR_NOERROR) {
        return INPUT_FAILED;
    }
    if (waveOutOpen(nullptr, outputId, &streamFormat, 0, 0, WAVE_FORMAT_QUERY) != MMSYSERR_NOERROR) {
        return OUTPUT_FAILED;
    }
    HWAVEOUT openedOutput = nullptr;
    if (waveOutOpen(&openedOutput, outputId, &streamFormat, reinterpret_cast<DWORD_PTR>(window), 0,
                    CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        return OUTPUT_FAILED;
    }
    outputDevice = openedOutput;
    HWAVEIN openedInput = nullptr;
    if (waveInOpen(&openedInput, inputId, &streamFormat, reinterpret_cast<DWORD_PTR>(window), 0,
                   CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        return INPUT_FAILED;
    }
    inputDevice = openedInput;

    MonitorMute::apply();

    for (int i = 0; i < RING_BLOCKS; ++i) {
        initHeader(inputRing[i], inputStorage[i]);
        if (waveInPrepareHeader(inputDevice, &inputRing[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            report("In Prepare error");
        }
    }
    for (int i = 0; i < RING_BLOCKS; ++i) {
        initHeader(outputRing[i], outputStorage[i]);
        if (waveOutPrepareHeader(outputDevice, &outputRing[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            report("Out Prepare error");
        }
    }
    // A block the device refused will never come back, so it is not counted.
    inputOutstanding = 0;
    for (WAVEHDR& header : inputRing) {
        if (waveInAddBuffer(inputDevice, &header, sizeof header) == MMSYSERR_NOERROR) {
            ++inputOutstanding;
        } else {
            report("Add buffer error");
        }
    }
    outputOutstanding = 0;
    if (waveInStart(inputDevice) != MMSYSERR_NOERROR) {
        report("Start error");
    }

    WavRecorder::format = streamFormat;
    stopRequested = false;
    drained = false;
    WavRecorder::setPath(desktopPath());
    return STARTED;
}

void requestStop()
{
    stopRequested = true;
    if (outputDevice != nullptr) {
        waveOutReset(outputDevice);
    }
    if (inputDevice != nullptr) {
        waveInReset(inputDevice);
    }
    // With nothing outstanding no block will come back to finish the drain.
    if (inputDevice != nullptr && outputDevice != nullptr) {
        finishIfDrained();
    }
}

void onInputBlock(WAVEHDR* header)
{
    if (inputDevice == nullptr) {
        return;
    }
    --inputOutstanding;
    if (!stopRequested) {
        const int i = nextOutput;
        if (outputOutstanding < RING_BLOCKS) {
            nextOutput = (i + 1) % RING_BLOCKS;
            if (outputDevice == nullptr) {
                return;
            }
            fillOutputBlock(i, header);
            LevelMeter::update(&outputRing[i]);
            WavRecorder::append(&outputRing[i]);
            if (waveOutWrite(outputDevice, &outputRing[i], sizeof(WAVEHDR)) == MMSYSERR_NOERROR) {
                ++outputOutstanding;
            } else {
                report("Wave out error");
            }
        }
        if (waveInAddBuffer(inputDevice, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR) {
            ++inputOutstanding;
        } else {
            report("Add buffer error");
        }
    }
    if (inputOutstanding == 0) {
        closeInput();
        finishIfDrained();
    }
}

void onOutputDone(WAVEHDR*)
{
    if (outputDevice == nullptr) {
        return;
    }
    --outputOutstanding;
    // An empty output queue while streaming is an underrun, not the end: the
    // device stays open and the next block resumes playback.
    if (outputOutstanding == 0 && stopRequested) {
        closeOutput();
    }
    finishIfDrained();
}

void reset()
{
    streamFormat = {};
    inputDevice = nullptr;
    outputDevice = nullptr;
    std::memset(inputRing, 0, sizeof inputRing);
    std::memset(outputRing, 0, sizeof outputRing);
    std::memset(inputStorage, 0, sizeof inputStorage);
    std::memset(outputStorage, 0, sizeof outputStorage);
    std::memset(scratchBlock, 0, sizeof scratchBlock);
    inputOutstanding = 0;
    outputOutstanding = 0;
    nextOutput = 0;
    stopRequested = false;
    drained = false;
    owner = nullptr;
}

}  // namespace DuplexStream

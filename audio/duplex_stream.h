#pragma once
#include <windows.h>
#include <mmsystem.h>

#include "audio/audio_format.h"

// The live sound path: the chosen input and output devices, a ring of input
// blocks and a ring of output blocks in flight, the engine between them, and
// the stop handshake with the main window. Everything runs on the message
// thread; the devices report each finished block with a posted message.
namespace DuplexStream {

// Results of start().
constexpr int STARTED = 1;
constexpr int INPUT_FAILED = -1;
constexpr int OUTPUT_FAILED = -2;

extern WAVEFORMATEX streamFormat;
extern HWAVEIN inputDevice;
extern HWAVEOUT outputDevice;
extern WAVEHDR inputRing[RING_BLOCKS];
extern WAVEHDR outputRing[RING_BLOCKS];
extern int inputOutstanding;
extern int outputOutstanding;
extern int nextOutput;
extern bool stopRequested;
extern bool drained;

// Opens the devices selected in the choosers with notification to `window`,
// mutes the microphone line, queues the input blocks and starts capture.
int start(HWND window);
// Resets the open devices so that every queued block comes back.
void requestStop();
// MM_WIM_DATA: a filled input block came back.
void onInputBlock(WAVEHDR* header);
// MM_WOM_DONE: a played output block came back.
void onOutputDone(WAVEHDR* header);

bool inputOpen();
bool outputOpen();

// Back to the state at program start, block storage included (tests only).
void reset();

}  // namespace DuplexStream

#pragma once

// Every block moved between the devices, the engine, the meter and the
// recorder: 1024 bytes, 512 one-channel 16-bit frames.
constexpr int BLOCK_BYTES = 1024;
constexpr int BLOCK_FRAMES = BLOCK_BYTES / 2;
constexpr int RING_BLOCKS = 10;

constexpr int STREAM_CHANNELS = 1;
constexpr int STREAM_SAMPLE_RATE = 44100;

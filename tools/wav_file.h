#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 16-bit PCM audio held in memory, channels interleaved.
struct WavAudio {
    int channels = 1;
    int sampleRate = 44100;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Either audio or, when `error` is not empty, the reason it could not be read.
struct WavReadResult {
    WavAudio audio;
    std::string error;

    bool ok() const { return error.empty(); }
};

constexpr int WAV_MIN_RATE = 8000;
constexpr int WAV_MAX_RATE = 96000;

// Reads 16-bit PCM with 1 or 2 channels at WAV_MIN_RATE..WAV_MAX_RATE, plain
// or WAVE_FORMAT_EXTENSIBLE with a PCM sub-format, skipping unknown chunks.
// A data chunk that runs past the end of the input is refused as truncated;
// a trailing partial frame in the data chunk is dropped.
WavReadResult parseWav(const std::uint8_t* bytes, std::size_t size);
WavReadResult readWavFile(const std::string& path);

// Empty when `audio` fits a canonical WAV header, otherwise why not.
std::string wavWriteError(const WavAudio& audio);
// The 44 bytes before the samples of a canonical PCM WAV: RIFF header,
// 16-byte format chunk and data chunk header. Requires wavWriteError empty.
std::vector<std::uint8_t> encodeWavHeader(const WavAudio& audio);

// Writes `audio` to `path`, replacing it. Returns an empty string on success,
// otherwise a message naming the problem; the file may then be incomplete.
std::string writeWavFile(const std::string& path, const WavAudio& audio);

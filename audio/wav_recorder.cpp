#include "audio/wav_recorder.h"

#include <cstring>

namespace WavRecorder {

const char RECORD_FILE_NAME[] = "\\Zimbalo Record.wav";

char path[PATH_BYTES];
WAVEFORMATEX format;
bool recording;

namespace {
HMMIO openFile;
MMCKINFO riffChunk;
// Used first for the format chunk, then for the data chunk.
MMCKINFO subChunk;

// The whole WAVEFORMATEX, extra-size field included: 18 bytes.
constexpr LONG FORMAT_CHUNK_BYTES = 18;
}  // namespace

void setPath(const char* folder)
{
    if (std::strlen(folder) + std::strlen(RECORD_FILE_NAME) >= PATH_BYTES) {
        path[0] = '\0';
        return;
    }
    std::strcpy(path, folder);
    std::strcat(path, RECORD_FILE_NAME);
}

int open(const char* filePath, const WAVEFORMATEX& fileFormat)
{
    close();
    // An empty path names no file; mmioOpenA would be handed nothing to create.
    if (filePath == nullptr || filePath[0] == '\0') {
        return 1;
    }
    char name[PATH_BYTES];
    if (std::strlen(filePath) >= sizeof name) {
        return 1;
    }
    std::strcpy(name, filePath);
    openFile = mmioOpenA(name, nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE | MMIO_ALLOCBUF);
    if (openFile == nullptr) {
        return 1;
    }
    const LONG formatBytes = FORMAT_CHUNK_BYTES + fileFormat.cbSize;

    riffChunk = MMCKINFO{};
    riffChunk.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    mmioCreateChunk(openFile, &riffChunk, MMIO_CREATERIFF);

    subChunk = MMCKINFO{};
    subChunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    subChunk.cksize = static_cast<DWORD>(formatBytes);
    mmioCreateChunk(openFile, &subChunk, 0);
    // No more than the structure itself holds: the stream's format has no
    // extra bytes, and reading past it would take whatever lies behind.
    mmioWrite(openFile, reinterpret_cast<const char*>(&fileFormat),
              formatBytes < FORMAT_CHUNK_BYTES ? formatBytes : FORMAT_CHUNK_BYTES);
    mmioAscend(openFile, &subChunk, 0);

    // The data chunk keeps the size 18 as its placeholder until the close.
    subChunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    mmioCreateChunk(openFile, &subChunk, 0);
    return 0;
}

int append(const WAVEHDR* block)
{
    if (block != nullptr && openFile != nullptr && block->lpData != nullptr) {
        mmioWrite(openFile, block->lpData, static_cast<LONG>(block->dwBufferLength));
    }
    return 0;
}

int close()
{
    if (openFile != nullptr) {
        mmioAscend(openFile, &subChunk, 0);
        mmioAscend(openFile, &riffChunk, 0);
        mmioClose(openFile, 0);
        openFile = nullptr;
    }
    return 0;
}

bool isFileOpen()
{
    return openFile != nullptr;
}

}  // namespace WavRecorder

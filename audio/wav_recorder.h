#pragma once
#include <windows.h>
#include <mmsystem.h>

// Writes the output blocks, as played, to a RIFF/WAVE file. At most one
// recording file is open at a time.
namespace WavRecorder {

constexpr int PATH_BYTES = 260;
extern const char RECORD_FILE_NAME[];

// The file to create and the format written into it, set when the stream starts.
extern char path[PATH_BYTES];
extern WAVEFORMATEX format;
// Set while a recording started by the record button is open.
extern bool recording;

// path = folder followed by RECORD_FILE_NAME. A path that does not fit is
// not cut short: path is left empty, so that the next open fails.
void setPath(const char* folder);

// Creates the file and writes the header chunks: 0, or 1 when the file
// cannot be created. A recording still open is finished first.
int open(const char* filePath, const WAVEFORMATEX& fileFormat);
// Writes the block's bytes when a file is open. Returns 0.
int append(const WAVEHDR* block);
// Finishes the size fields and closes the file, if one is open. Returns 0.
int close();
bool isFileOpen();

}  // namespace WavRecorder

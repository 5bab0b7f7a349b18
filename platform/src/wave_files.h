// Wave devices backed by WAV files, for running the program without sound
// hardware: ZIMBALO_WAVE_IN lists input files (':'-separated), each one input
// device named after its file that plays the file and then silence;
// ZIMBALO_WAVE_OUT lists output files, each one output device that writes what
// it plays as a WAV file. Blocks move in real time, or with
// ZIMBALO_WAVE_CLOCK=fast as fast as the program keeps up. When the program
// has played every input file it started to its end, and the output has
// played what was queued then and a short tail, WM_CLOSE goes to the main window.
#pragma once

#include <string>

namespace zplat {

// Reads the environment, replaces the device lists and starts the clock.
// Does nothing when neither variable is set. Called once for the program.
void useWaveFilesFromEnvironment();
// Tests: the clock stops moving devices.
void stopWaveFilesForTests();

}  // namespace zplat

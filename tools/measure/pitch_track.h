#pragma once
#include <vector>

#include "mono_signal.h"

struct PitchTrackSettings {
    double frameSeconds = 0.040;
    double hopSeconds = 0.010;
    // Below the usual 50 Hz: a low male voice (the demo clip sits near
    // 100 Hz) an octave down has half its frames under 50 Hz.
    double minHz = 40;
    double maxHz = 1000;
    // A frame is voiced when its cumulative-mean-normalised difference dips
    // below this (YIN's absolute threshold; lower is stricter).
    double dipThreshold = 0.2;
    // Frames quieter than this, relative to the loudest frame, are not
    // examined: quiet tails and noise give unreliable periods.
    double energyGateDb = -30;
    // Frames below this RMS (full scale 1) are never examined, so that a
    // file of near silence has no voiced frames at all.
    double silenceRms = 1e-4;
};

struct PitchFrame {
    double seconds = 0;  // centre of the analysed window
    double hz = 0;       // 0 when unvoiced
    double clarity = 0;  // 1 minus the depth of the chosen dip, 0..1

    bool voiced() const { return hz > 0; }
};

// Frame-wise fundamental frequency by the YIN difference function with
// parabolic refinement of the chosen lag. Frames start every hop; a signal
// shorter than one analysis window gives no frames.
std::vector<PitchFrame> trackPitch(const MonoSignal& signal, const PitchTrackSettings& settings = {});

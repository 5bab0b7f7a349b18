#pragma once
#include <string>
#include <vector>

#include "mono_signal.h"

struct DelaySettings {
    double envelopeSeconds = 0.005;  // RMS window of the envelope
    double stepSeconds = 0.001;      // envelope sampling step, the lag grid
    double maxDelaySeconds = 3.0;
    // Output may also lead: the file tool drops the engine's start-up
    // silence and can leave its output a few tens of ms ahead at raised pitch.
    double maxLeadSeconds = 0.5;
    // The input and the lagged output must overlap at least this fraction of
    // the input and at least this long (or all of it when shorter), so that
    // a lag that leaves only a sliver of overlap cannot win by chance.
    double minOverlapFraction = 0.5;
    double minOverlapSeconds = 1.0;
};

// The lag of OUTPUT behind INPUT or, when `error` is not empty, why none.
struct DelayResult {
    double seconds = 0;
    double correlation = 0;  // of the envelopes at the chosen lag, -1..1
    std::string error;

    bool ok() const { return error.empty(); }
};

// RMS envelope: one value per step, each over a window centred on it.
std::vector<double> rmsEnvelope(const MonoSignal& signal, double windowSeconds, double stepSeconds);

// Finds the lag -maxLeadSeconds..maxDelaySeconds at which the output's envelope best
// matches the input's (Pearson correlation, so levels and steady noise do not
// matter), refined between grid steps by a parabola. The envelope survives
// a pitch shift, which the waveform does not.
DelayResult measureDelay(const MonoSignal& input, const MonoSignal& output, const DelaySettings& settings = {});

#pragma once

// The pitch shift in semitones, kept within these bounds: far outside them
// the engine's scaled rate or tempo would truncate to 0.
constexpr int DEFAULT_PITCH_SEMITONES = 6;
constexpr int MIN_PITCH_SEMITONES = -48;
constexpr int MAX_PITCH_SEMITONES = 48;

extern int pitchSemitones;

// Brings a pitch into the bounds.
int boundedPitch(long long semitones);

// One pitch button press; at a bound the pitch and the readout stay as they are.
void stepPitch(int step);

// Shows the pitch in pitchReadout and hands it to the engine.
void updatePitchReadout();

#pragma once
#include "engine/pitch_engine.h"

// The program's single pitch engine, built before WinMain runs.
extern PitchEngine pitchEngine;

// The program-wide objects that are built before WinMain. They live in this
// one file because their order matters: the engine first, then the meter's
// fill brush, then its background brush.
#include "app/program_objects.h"

#include "app/level_meter.h"

PitchEngine pitchEngine;

HBRUSH LevelMeter::fillBrush = CreateSolidBrush(RGB(0, 200, 0));
HBRUSH LevelMeter::backgroundBrush = CreateSolidBrush(RGB(255, 255, 255));

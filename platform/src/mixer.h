// Mixer device 0 with one microphone source line and its mute control. The
// program has no hardware mixer on Linux: there is none unless a test sets one.
#pragma once

#include "platform/testing/platform_testing.h"

namespace zplat {

void setMixerState(const platformtest::Mixer& mixer);
platformtest::Mixer mixerState();
void setMixerValue(LONG value);
std::vector<LONG> mixerWriteLog();
void resetMixerForTests();

}  // namespace zplat

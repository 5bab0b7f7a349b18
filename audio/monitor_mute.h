#pragma once
#include <windows.h>

// The mute control of the first microphone source line of mixer device 0.
// Every operation opens the mixer and closes it again.
namespace MonitorMute {

// The value read before the stream muted the line, and the value it wrote.
extern LONG savedValue;
extern LONG appliedValue;

// The control's value and bounds; all 0 when the mixer, the line or the
// control cannot be found.
void read(LONG& current, LONG& minimum, LONG& maximum);
// Sets the control; does nothing when it cannot be found.
void write(LONG value);
// Mutes the line for the stream: keeps the present value as savedValue and
// writes the control's upper bound, kept as appliedValue.
void apply();
// Writes savedValue back when the control still holds appliedValue.
void restore();

}  // namespace MonitorMute

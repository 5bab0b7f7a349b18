#include "app/pitch_control.h"

#include <cstdio>
#include <windows.h>

#include "app/main_window.h"
#include "app/program_objects.h"

int pitchSemitones = DEFAULT_PITCH_SEMITONES;

int boundedPitch(long long semitones)
{
    if (semitones < MIN_PITCH_SEMITONES) {
        return MIN_PITCH_SEMITONES;
    }
    if (semitones > MAX_PITCH_SEMITONES) {
        return MAX_PITCH_SEMITONES;
    }
    return static_cast<int>(semitones);
}

void stepPitch(int step)
{
    const long long next = static_cast<long long>(pitchSemitones) + step;
    if (next != boundedPitch(next)) {
        return;
    }
    pitchSemitones = static_cast<int>(next);
    updatePitchReadout();
}

void updatePitchReadout()
{
    char text[32];
    std::snprintf(text, sizeof text, "Pitch: %d", pitchSemitones);
    SetWindowTextA(MainWindow::pitchReadout, text);
    pitchEngine.setPitchSemitones(pitchSemitones);
}

#include "app/command_line.h"

#include "app/pitch_control.h"

namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int pitchFromCommandLine(const char* commandLine, int current)
{
    if (commandLine == nullptr) {
        return current;
    }
    const char* p = commandLine;
    while (isWhiteSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!isDigit(*p)) {
        return current;
    }
    // Digits beyond the bounds only matter as "too large": stop counting there.
    long long magnitude = 0;
    for (; isDigit(*p); ++p) {
        if (magnitude <= MAX_PITCH_SEMITONES - MIN_PITCH_SEMITONES) {
            magnitude = magnitude * 10 + (*p - '0');
        }
    }
    return boundedPitch(negative ? -magnitude : magnitude);
}

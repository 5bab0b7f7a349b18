#pragma once

// The starting pitch from the command line: leading white space, an optional
// sign and decimal digits; anything after them is ignored. Without an integer
// the result is `current`; a value beyond the pitch bounds is brought to the
// nearest bound (also one too large for an int, which "%d" would not survive).
int pitchFromCommandLine(const char* commandLine, int current);

#!/usr/bin/env python3
"""Finds where a short capture lies inside a long one.

  align.py LONG.wav SHORT.wav  -> "offset S score C": SHORT matches LONG best
                                  from S seconds on; C is the correlation

Both files: 16-bit PCM mono WAV at the same rate. The comparison is of
10 ms RMS envelopes, which a pitch change by resampling and time-stretching
keeps in place, so SHORT may be a pitch-shifted copy of a stretch of LONG.
"""
import array
import math
import sys
import wave

STEP_SECONDS = 0.01


def envelope(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getnchannels() != 1:
            raise SystemExit("align.py: %s is not 16-bit mono" % path)
        rate = w.getframerate()
        samples = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    step = int(rate * STEP_SECONDS)
    return [math.sqrt(sum(s * s for s in samples[i:i + step]) / step)
            for i in range(0, len(samples) - step + 1, step)]


def correlation(a, b):
    n = len(a)
    ma = sum(a) / n
    mb = sum(b) / n
    sab = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    saa = sum((x - ma) ** 2 for x in a)
    sbb = sum((y - mb) ** 2 for y in b)
    return sab / math.sqrt(saa * sbb) if saa > 0 and sbb > 0 else 0.0


def main(args):
    if len(args) != 2:
        sys.exit(__doc__)
    long_env = envelope(args[0])
    short_env = envelope(args[1])
    if len(short_env) > len(long_env) or not short_env:
        raise SystemExit("align.py: the short capture is longer than the long one")
    best = max(range(len(long_env) - len(short_env) + 1),
               key=lambda lag: correlation(long_env[lag:lag + len(short_env)], short_env))
    score = correlation(long_env[best:best + len(short_env)], short_env)
    print("offset %.3f score %.3f" % (best * STEP_SECONDS, score))


if __name__ == "__main__":
    main(sys.argv[1:])

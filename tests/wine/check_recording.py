#!/usr/bin/env python3
"""Checks the layout of the program's recording file.

  check_recording.py FILE

Prints one line per field that is wrong and exits 1, or prints a short
description ("data N bytes, S seconds") and exits 0. The program writes an
18-byte format chunk (the whole WAVEFORMATEX with its extra-size field), so
the data chunk starts at byte 38 and the samples at byte 46.
"""
import struct
import sys


def problems_of(data):
    found = []
    if len(data) < 46:
        return ["file is %d bytes, shorter than the 46-byte header" % len(data)]

    def expect(what, got, wanted):
        if got != wanted:
            found.append("%s is %r, expected %r" % (what, got, wanted))

    riff, riff_size, wave = struct.unpack_from("<4sI4s", data, 0)
    fmt, fmt_size = struct.unpack_from("<4sI", data, 12)
    tag, channels, rate, byte_rate, align, bits, extra = struct.unpack_from("<HHIIHHH", data, 20)
    data_id, data_size = struct.unpack_from("<4sI", data, 38)
    expect("RIFF identifier", riff, b"RIFF")
    expect("RIFF size", riff_size, len(data) - 8)
    expect("form type", wave, b"WAVE")
    expect("format chunk identifier", fmt, b"fmt ")
    expect("format chunk size", fmt_size, 18)
    expect("format tag", tag, 1)
    expect("channels", channels, 1)
    expect("sample rate", rate, 44100)
    expect("bytes per second", byte_rate, 88200)
    expect("block align", align, 2)
    expect("bits per sample", bits, 16)
    expect("extra format bytes", extra, 0)
    expect("data chunk identifier", data_id, b"data")
    expect("data size", data_size, len(data) - 46)
    if data_size % 1024 != 0:
        found.append("data size %d is not a whole number of 1024-byte blocks" % data_size)
    if data_size == 0:
        found.append("no sound was recorded")
    return found


def main(args):
    if len(args) != 1:
        sys.exit(__doc__)
    with open(args[0], "rb") as f:
        data = f.read()
    found = problems_of(data)
    for line in found:
        print(line)
    if found:
        sys.exit(1)
    size = len(data) - 46
    print("data %d bytes, %.2f seconds" % (size, size / 88200.0))


if __name__ == "__main__":
    main(sys.argv[1:])

#!/usr/bin/env bash
# Regenerates res/voice.wav, the bundled demo clip: one spoken English
# sentence, 16-bit mono 44100 Hz. Needs espeak-ng and sox.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/voice.wav}"
sentence="Hello, this is Zimbalo. Listen to how my voice goes higher or lower, while I keep on talking at exactly the same speed."

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

espeak-ng -v en-us -s 170 -w "$work/speech.wav" "$sentence"
# No dither, so that the same tools give the same bytes; 3 dB of headroom
# for the shifted versions.
sox -D "$work/speech.wav" -r 44100 -b 16 -c 1 -e signed-integer "$work/voice.wav" gain -n -3
mv "$work/voice.wav" "$out"
echo "wrote $out ($(soxi -D "$out") s)"

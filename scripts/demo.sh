#!/usr/bin/env bash
# Shifts the bundled voice clip with zimbalo-shift, building it first if
# needed, and says where the result is.
#
#   scripts/demo.sh [SEMITONES]     (default 6)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
semitones="${1:-6}"
tool="build/native/bin/zimbalo-shift"

scripts/install-deps.sh
if [[ ! -f build/native/CMakeCache.txt ]]; then
    cmake --preset native
fi
# A no-op when everything is up to date.
cmake --build --preset native -j2

mkdir -p out
"$tool" --semitones "$semitones" res/voice.wav out/voice-shifted.wav
echo "Shifted res/voice.wav by $semitones semitones: $root/out/voice-shifted.wav"

#!/usr/bin/env bash
# The main job on a built-in default: the native program with the bundled
# voice clip as its microphone and a WAV file as its speaker. With one device
# of each kind it starts streaming by itself, and once the clip has played
# through it closes by itself. Then the played sound is measured against the
# clip and both spectrograms are drawn into one picture.
#
#   scripts/demo.sh [SEMITONES]     (default 6)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
semitones="${1:-6}"
bin="build/native/bin"
out="out/demo"

scripts/install-deps.sh
if [[ ! -f build/native/CMakeCache.txt ]]; then
    cmake --preset native
fi
cmake --build --preset native -j2 --target zimbalo zimbalo-measure

mkdir -p "$out"
rm -f "$out/played.wav"
# The fast clock moves the sound devices as fast as the program keeps up.
ZIMBALO_WAVE_IN="$root/res/voice.wav" ZIMBALO_WAVE_OUT="$root/$out/played.wav" ZIMBALO_WAVE_CLOCK=fast \
    "$bin/zimbalo" "$semitones"

ratio="$("$bin/zimbalo-measure" pitch res/voice.wav "$out/played.wav" | awk '{print $2}')"
expected="$(awk -v n="$semitones" 'BEGIN { printf "%.4f", 2 ^ (n / 12) }')"

# The clip on the left channel, the played sound on the right: sox draws
# the two spectrograms one above the other.
sox -M res/voice.wav "$out/played.wav" "$out/both.wav"
sox "$out/both.wav" -n spectrogram -x 1000 -Y 600 -z 90 \
    -t "Zimbalo, $semitones semitones: the clip (top) and what the program played (bottom)" \
    -o "$out/spectrograms.png"
rm -f "$out/both.wav"

echo "Played sound:  $root/$out/played.wav"
echo "Pitch ratio:   $ratio measured, 2^($semitones/12) = $expected expected"
echo "Spectrograms:  $root/$out/spectrograms.png"

#!/usr/bin/env bash
# Times zimbalo-shift against sox's pitch effect on the same long speech-like
# file: whole processes, alternating runs, median of each, and the ratio.
#
#   bench/compare_with_sox.sh [TOOL] [ROUNDS] [SEMITONES]
#
# TOOL defaults to build/native/bin/zimbalo-shift; nothing is built here.
# Needs espeak-ng and sox.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tool="${1:-$root/build/native/bin/zimbalo-shift}"
rounds="${2:-5}"
semitones="${3:-6}"
cents=$((semitones * 100))

if [[ ! -x "$tool" ]]; then
    echo "compare_with_sox: no tool at $tool (build it first: cmake --preset native && cmake --build --preset native -j2)" >&2
    exit 1
fi
for need in sox espeak-ng; do
    command -v "$need" >/dev/null || { echo "compare_with_sox: $need is not installed" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# About 70 s of speech: several spoken paragraphs, repeated, at 44.1 kHz mono.
text="The quick brown fox jumps over the lazy dog. A live voice pitch changer \
shifts the sound of speech up or down while the speaker goes on talking. \
Every block of sound is resampled and then stretched back to its own length, \
so that the words keep their pace while the voice gets higher or deeper. \
Numbers such as forty two, one thousand and seven, or ninety nine point five \
give the engine a good mix of vowels, consonants and short pauses to chew on."
espeak-ng -v en-us -s 165 -w "$work/part.wav" "$text"
sox -D "$work/part.wav" -r 44100 -b 16 -c 1 "$work/part44.wav"
part_seconds="$(soxi -D "$work/part44.wav")"
copies="$(awk -v p="$part_seconds" 'BEGIN { n = int(70 / p) + 1; print n }')"
parts=()
for ((i = 0; i < copies; i++)); do parts+=("$work/part44.wav"); done
sox -D "${parts[@]}" "$work/long.wav"
seconds="$(soxi -D "$work/long.wav")"

now() { echo "${EPOCHREALTIME/,/.}"; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tool_times=()
sox_times=()
for ((round = 1; round <= rounds; round++)); do
    start="$(now)"
    "$tool" --semitones "$semitones" "$work/long.wav" "$work/tool.wav"
    end="$(now)"
    tool_times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")

    start="$(now)"
    sox "$work/long.wav" "$work/sox.wav" pitch "$cents"
    end="$(now)"
    sox_times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
    echo "round $round: zimbalo-shift ${tool_times[-1]} s, sox ${sox_times[-1]} s"
done

tool_median="$(printf '%s\n' "${tool_times[@]}" | median)"
sox_median="$(printf '%s\n' "${sox_times[@]}" | median)"
printf 'file: %.1f s of mono 44100 Hz speech, %+d semitones, %d rounds each\n' "$seconds" "$semitones" "$rounds"
printf 'median zimbalo-shift: %.4f s\n' "$tool_median"
printf 'median sox pitch %d: %.4f s\n' "$cents" "$sox_median"
awk -v t="$tool_median" -v s="$sox_median" 'BEGIN { printf "ratio (sox / zimbalo-shift): %.2f\n", s / t }'

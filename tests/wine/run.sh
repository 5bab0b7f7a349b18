#!/usr/bin/env bash
# End-to-end test of the real zimbalo.exe under Wine, acting as a user.
#
#   tests/wine/run.sh [--exe PATH] [--tools DIR] [--out DIR] [--docs DIR]
#
#   --exe    the Windows program (default build/windows/bin/zimbalo.exe)
#   --tools  folder with the native zimbalo-measure (default build/native/bin);
#            nothing is built here, the native build makes it
#   --out    folder for screenshots, logs, sound captures and summary.txt
#            (default out/wine-e2e); emptied first
#   --docs   also copy the two screenshots of the +6 run there, as
#            setup-view.png and streaming-view.png (for the README)
#
# Sound devices are real ones as far as Wine can tell: a private PulseAudio
# whose sinks are clocked like a sound card. One stereo null sink, "tap",
# carries both ends of the sound path on one timeline: the voice clip is
# played into its left channel (the sink "microphone"), the default source
# is that left channel, and the default sink "speaker", where the program
# plays, is its right channel. Recording the tap's monitor gives what the
# program heard and what it played, sample-aligned, so the delay between
# them is exact. (Two separate null sinks would not do: each starts its
# monitor's recordings at its own block boundaries, up to seconds apart.)
# The program runs on a private Xvfb in a fresh Wine prefix and is driven
# with xdotool through the positions of its controls.
#
# Everything started here is stopped on exit, also when a step fails. Each
# check prints PASS or FAIL; the exit status is non-zero if any failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/tests/wine"
exe="$root/build/windows/bin/zimbalo.exe"
tools="$root/build/native/bin"
out="$root/out/wine-e2e"
docs=""

while [ $# -gt 0 ]; do
  case "$1" in
    --exe) exe=$(realpath "$2"); shift 2 ;;
    --tools) tools=$(realpath "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --docs) docs=$(realpath -m "$2"); shift 2 ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh" --wine || { echo "run.sh: installing the packages failed" >&2; exit 2; }

measure="$tools/zimbalo-measure"
clip="$root/res/voice.wav"
title='Zimbalo - made by Zimbalo Sound Works'

# Only a folder of an earlier run (or an empty one) is emptied.
if [ -d "$out" ] && [ -n "$(ls -A "$out")" ] && [ ! -f "$out/summary.txt" ]; then
  echo "run.sh: $out holds other files; not emptying it" >&2
  exit 2
fi
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/zimbalo-wine.XXXXXX)
# Wine keeps its server socket in a temporary folder: inside ours, it goes
# with the rest.
mkdir -p "$work/tmp"
export TMPDIR="$work/tmp"

passed=0
failed=0
pass() { echo "PASS $*"; echo "PASS $*" >> "$out/summary.txt"; passed=$((passed + 1)); }
fail() { echo "FAIL $*"; echo "FAIL $*" >> "$out/summary.txt"; failed=$((failed + 1)); }
check() { # check NAME COMMAND...: PASS when the command succeeds
  local name=$1; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
note() { echo "     $*"; echo "     $*" >> "$out/summary.txt"; }

# --- teardown -------------------------------------------------------------
background_pids=()
xvfb_pid=""
pulse_pid=""
cleanup() {
  local status=$?
  for pid in "${background_pids[@]}"; do kill "$pid" 2>/dev/null; done
  if [ -d "$work/prefix" ]; then WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; fi
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  # Give everything 5 s to go, then force what is left.
  for _ in $(seq 50); do [ -z "$(jobs -pr)" ] && break; sleep 0.1; done
  for pid in $(jobs -pr); do kill -KILL "$pid" 2>/dev/null; done
  wait 2>/dev/null
  cp "$work"/*.log "$out/" 2>/dev/null
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

die() { fail "$*"; echo "$passed passed, $failed failed"; exit 1; }

[ -f "$exe" ] || die "the program exists at $exe"
[ -x "$measure" ] || die "the measuring tool exists at $measure (build the native preset)"

# --- X server on a free display ------------------------------------------
exec 9> "$work/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || die "Xvfb starts"
export DISPLAY=":$(head -n1 "$work/display")"

# --- sound server with a microphone and a speaker ------------------------
mkdir -p "$work/run/pulse" "$work/home"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse" HOME="$work/home"
cat > "$work/pa.pa" <<'EOF'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=tap channels=2 channel_map=front-left,front-right rate=44100
load-module module-remap-sink sink_name=microphone master=tap channels=1 channel_map=mono master_channel_map=front-left remix=no
load-module module-remap-sink sink_name=speaker master=tap channels=1 channel_map=mono master_channel_map=front-right remix=no
load-module module-remap-source source_name=heard master=tap.monitor channels=1 channel_map=mono master_channel_map=front-left remix=no
set-default-source heard
set-default-sink speaker
EOF
pulseaudio -n -F "$work/pa.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
  --log-target=file:"$work/pulseaudio.log" &
pulse_pid=$!
export PULSE_SERVER="unix:$work/run/pulse/native"
for _ in $(seq 50); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
pactl info > /dev/null 2>&1 || die "PulseAudio starts"

# The microphone hears speech for the whole of a run: the clip, then the
# clip backwards, then the clip faster, with pauses of different lengths.
# No stretch of the feed repeats, so a short capture can be placed in it.
sox "$clip" "$work/feed-1.wav" pad 1 0
sox "$clip" "$work/feed-2.wav" reverse pad 0.7 0
sox "$clip" "$work/feed-3.wav" tempo 1.2 pad 1.3 0
sox "$work/feed-1.wav" "$work/feed-2.wav" "$work/feed-3.wav" "$work/feed.wav"

# --- Wine prefix ------------------------------------------------------------
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
started=$(date +%s)
wineboot -i > "$work/wineboot.log" 2>&1
wineserver -w
# This Wine does not look in its own font folder: without Marlett the caption
# buttons would show letters. Installing the fonts into the prefix's Fonts
# folder, as a user would, makes them found.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
# No window manager: Wine draws the frame, caption and close box itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >> "$work/wineboot.log" 2>&1
# Wine's relay trace of a few calls shows what no screenshot can: the
# message boxes' texts, when the program handled each block, and in which
# order the devices were closed and the window went.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
  /d 'user32.MessageBoxA;user32.PostQuitMessage;winmm.waveInStart;winmm.waveInAddBuffer;winmm.waveOutWrite;winmm.waveInClose;winmm.waveOutClose' /f >> "$work/wineboot.log" 2>&1
wineserver -w
note "fresh Wine prefix in $(( $(date +%s) - started )) s"
desktop=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public | head -n1)/Desktop
[ -d "$desktop" ] || die "the Wine user's desktop folder exists"
recording="$desktop/Zimbalo Record.wav"

# A mail system for the Simple MAPI run: Wine's own MAPI32 hands the message
# on as a mailto: address to the desktop's mail program, which this one
# stands in for.
mkdir -p "$work/bin"
cat > "$work/bin/xdg-email" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >> "$work/mailto.txt"
EOF
chmod +x "$work/bin/xdg-email"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Mailers /d "$work/bin/xdg-email" /f >> "$work/wineboot.log" 2>&1
wineserver -w

# --- driving the window ----------------------------------------------------
window=""
bx=0
cy=0
window_shot() { import -window "$window" "$1" 2>/dev/null; }
click() { # click X Y: client coordinates
  xdotool mousemove --window "$window" $(( bx + $1 )) $(( cy + $2 )) click 1
}
click_centre() { click $(( $1 + $3 / 2 )) $(( $2 + $4 / 2 )); }
busy() { python3 "$here/pixels.py" busy "$@"; }
differ() { python3 "$here/pixels.py" differ "$@"; }
error_box() { xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -n1; }
alive() { kill -0 "$app_pid" 2>/dev/null; }
box_texts() { sed -n 's/.*Call user32.MessageBoxA([0-9a-f]*,[0-9a-f]* "\([^"]*\)",[0-9a-f]* "\([^"]*\)".*/\2: \1/p' "$1"; }

# Control table positions (client coordinates: x y w h).
START=(460 54 55 40)
RECORD=(370 190 250 20)
MAIL=(370 160 250 20)
PITCH_DOWN=(200 60 30 20)
PITCH_UP=(315 60 20 20)
READOUT=(235 62 70 20)

# run_program N PRESS_PITCH MAPI: one user session with starting pitch N.
# MAPI is "missing" (MAPI32.DLL disabled) or "wine" (Wine's own, with the
# stand-in mail program).
run_program() {
  local n=$1 press_pitch=$2 mapi=$3
  local tag="pitch$n" log="$work/app-pitch$n.log"
  echo "--- run with starting pitch $n, mail system: $mapi"
  rm -f "$recording" "$work/mailto.txt"

  parecord --device=tap.monitor --rate=44100 --channels=2 --format=s16le \
    --file-format=wav --latency-msec=20 "$work/tap-$tag.wav" &
  local tap_pid=$!
  paplay --device=microphone --latency-msec=20 "$work/feed.wav" &
  local feed_pid=$!
  background_pids+=("$tap_pid" "$feed_pid")

  local overrides=""
  [ "$mapi" = missing ] && overrides="mapi32=d"
  WINEDLLOVERRIDES="$overrides" WINEDEBUG=-all,+relay,+timestamp,err+all \
    wine "$exe" "$n" > "$log" 2>&1 &
  app_pid=$!
  background_pids+=("$app_pid")

  window=""
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    alive || break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "[$n] the window \"$title\" appears"
    return
  fi
  pass "[$n] the window \"$title\" appears"
  sleep 1
  local geometry
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
  check "[$n] the window is 630x273 (got $geometry)" test "$geometry" = 630x273

  window_shot "$out/setup-$tag.png"
  local offset
  offset=$(python3 "$here/pixels.py" offset "$out/setup-$tag.png") || offset=""
  if [ -z "$offset" ]; then
    fail "[$n] the client area is found in the screenshot"
    return
  fi
  read -r bx cy <<< "$offset"
  note "client area at ($bx, $cy) inside the outer window"

  # More than one device of a kind (Wine lists "PulseAudio" and then each
  # sink or source) means no start by itself: the set-up view waits for Start!.
  if [ "$(busy "$out/setup-$tag.png" 185 55 5 10)" -gt 0 ]; then
    note "set-up view shown: clicking Start!"
    click_centre "${START[@]}"
  else
    note "the stream started by itself"
  fi
  sleep 1.5
  window_shot "$out/streaming-$tag.png"
  # Where the sound waits: the sound server's view of Wine's two streams.
  { echo "--- pitch $n, streaming"; pactl list sink-inputs; pactl list source-outputs; } \
    >> "$out/pulse-streams.txt" 2>&1
  # The choosers are gone in the streaming view, and the two icons, drawn
  # only when the stream runs, stand where the chooser and its label were.
  local streaming=no
  [ "$(busy "$out/streaming-$tag.png" 185 55 5 10)" -eq 0 ] && streaming=yes
  check "[$n] the streaming view replaces the set-up view" test $streaming = yes
  check "[$n] the streaming view shows both icons" \
    test $streaming = yes -a "$(busy "$out/streaming-$tag.png" 120 60 32 32)" -gt 0 \
      -a "$(busy "$out/streaming-$tag.png" 380 60 32 32)" -gt 0
  check "[$n] the start shows no error box" test -z "$(error_box)"
  check "[$n] the program runs after the start (devices and mixer opened)" alive

  # Let the stretcher fill before recording, then record about 4 s.
  sleep 1.5
  click_centre "${RECORD[@]}"
  sleep 1
  window_shot "$work/recording.png"
  sleep 3
  click_centre "${RECORD[@]}"
  sleep 0.5
  window_shot "$work/recorded.png"
  check "[$n] the record button's caption changes while recording and back after it" \
    test "$(differ "$out/streaming-$tag.png" "$work/recording.png" "${RECORD[@]}")" -gt 0 \
      -a "$(differ "$work/recording.png" "$work/recorded.png" "${RECORD[@]}")" -gt 0
  check "[$n] the recording file is on the Wine user's desktop" test -f "$recording"
  [ -f "$recording" ] && cp "$recording" "$out/record-$tag.wav"

  if [ "$press_pitch" = yes ] && [ $streaming = no ]; then
    fail "[$n] the pitch buttons can be pressed (they are hidden without the streaming view)"
  elif [ "$press_pitch" = yes ]; then
    window_shot "$work/readout-before.png"
    click_centre "${PITCH_UP[@]}"
    sleep 0.5
    window_shot "$out/readout-up-$tag.png"
    click_centre "${PITCH_DOWN[@]}"
    sleep 0.5
    window_shot "$work/readout-back.png"
    check "[$n] \">\" changes the pitch readout" \
      test "$(differ "$work/readout-before.png" "$out/readout-up-$tag.png" "${READOUT[@]}")" -gt 0
    check "[$n] \"<\" puts the readout back" \
      test "$(differ "$work/readout-before.png" "$work/readout-back.png" "${READOUT[@]}")" -eq 0
    check "[$n] the program runs after the pitch buttons" alive
  fi

  { echo "--- pitch $n, before the mail"; pactl list sink-inputs; pactl list source-outputs; } \
    >> "$out/pulse-streams.txt" 2>&1
  click_centre "${MAIL[@]}"
  local box=""
  for _ in $(seq 25); do box=$(error_box); [ -n "$box" ] && break; sleep 0.2; done
  if [ -n "$box" ]; then
    window="$box" window_shot "$out/mail-box-$tag.png"
    xdotool mousemove --window "$box" 10 10 click 1
    xdotool key Return
    sleep 0.5
  fi
  local texts
  texts=$(box_texts "$log")
  [ -n "$texts" ] && note "message boxes: $(echo "$texts" | paste -sd ';')"
  if [ "$mapi" = missing ]; then
    check "[$n] without Simple MAPI the mail button shows \"Cannot load MAPI.DLL\"" \
      test "$texts" = "Error: Cannot load MAPI.DLL"
  else
    check "[$n] the mail program is asked for a mail with subject \"Zimbalo\"" \
      grep -q 'subject=Zimbalo&' "$work/mailto.txt"
    check "[$n] the mail carries the recommendation text" \
      grep -q 'body=This%20recommendation%20was%20generated' "$work/mailto.txt"
    check "[$n] any message box of the mail is one of the mail reports" \
      test -z "$(echo "$texts" | grep -v -x -e 'Error: Cannot load MAPI.DLL' \
        -e 'Error: Cannot find MAPISendMail' -e 'Error: Cannot send message' | grep .)"
  fi
  check "[$n] the message box is gone after Return" test -z "$(error_box)"
  check "[$n] the program runs after the mail action" alive

  # The close box sits at the right end of the caption.
  local requested finished
  requested=$(date +%s%N)
  xdotool mousemove --window "$window" $(( 630 - bx - 9 )) $(( cy / 2 + 1 )) click 1
  for _ in $(seq 200); do alive || break; sleep 0.05; done
  finished=$(date +%s%N)
  local close_ms=$(( (finished - requested) / 1000000 ))
  if alive; then
    fail "[$n] the program ends by itself after the close box (still running after ${close_ms} ms)"
    kill "$app_pid" 2>/dev/null
  else
    check "[$n] the program ends by itself within 5 s of the close box (${close_ms} ms)" \
      test "$close_ms" -le 5000
    wait "$app_pid"
    local status=$?
    check "[$n] the program's exit code is 0 (got $status)" test "$status" -eq 0
  fi
  echo "close_to_exit_ms[$n] $close_ms" >> "$work/figures"
  # The drain handshake: both devices are closed before the window goes
  # (its teardown posts the quit message).
  local order
  order=$(grep -o -E 'Call (winmm\.waveInClose|winmm\.waveOutClose|user32\.PostQuitMessage)' "$log" |
    sed 's/Call //; s/.*\.//' | paste -sd ' ')
  check "[$n] both devices are closed before the window is destroyed (${order:-no calls seen})" \
    grep -q -x -E 'waveInClose waveOutClose PostQuitMessage|waveOutClose waveInClose PostQuitMessage' <<< "$order"
  # The longest pause in the program's handling of input blocks while it
  # streamed: sound that arrives meanwhile waits in Wine and adds delay.
  local pause
  pause=$(grep -E 'Call winmm\.(waveInStart|waveInAddBuffer)' "$log" | awk -F: '
    /waveInStart/ { started = 1; last = $1; next }
    started { if ($1 - last > longest) longest = $1 - last; last = $1 }
    END { if (started) printf "%.0f ms", longest * 1000 }')
  note "longest pause between input blocks handled: ${pause:-unknown}"
  check "[$n] no crash is reported by Wine" \
    test -z "$(grep -E -i 'unhandled (exception|page fault)|wine: .*(crash|assert)|backtrace' "$log")"

  sleep 0.5
  kill -INT "$tap_pid" "$feed_pid" 2>/dev/null
  wait "$tap_pid" "$feed_pid" 2>/dev/null
  sox "$work/tap-$tag.wav" "$out/microphone-$tag.wav" remix 1
  sox "$work/tap-$tag.wav" "$out/speaker-$tag.wav" remix 2

  # --- the sound ---
  local ideal ratio low high
  ideal=$(awk -v n="$n" 'BEGIN { printf "%.4f", 2 ^ (n / 12) }')
  low=$(awk -v r="$ideal" 'BEGIN { printf "%.4f", r * 0.99 }')
  high=$(awk -v r="$ideal" 'BEGIN { printf "%.4f", r * 1.01 }')
  within() { awk -v x="$1" -v lo="$low" -v hi="$high" 'BEGIN { exit !(x >= lo && x <= hi) }'; }

  "$measure" stats "$out/speaker-$tag.wav" > "$work/speaker-stats" 2>&1
  note "speaker capture: $(paste -sd ' ' "$work/speaker-stats")"
  ratio=$("$measure" pitch "$out/microphone-$tag.wav" "$out/speaker-$tag.wav" 2>&1 | sed -n 's/^ratio //p')
  check "[$n] the speaker's pitch is the microphone's x $ideal within 1% (got ${ratio:-none})" \
    within "${ratio:-0}"
  echo "speaker_ratio[$n] ${ratio:-none} (ideal $ideal)" >> "$work/figures"

  local delay
  delay=$("$measure" delay "$out/microphone-$tag.wav" "$out/speaker-$tag.wav" 2>&1 | sed -n 's/^delay_ms //p')
  # Live means well under a second; the program's own share is about 0.3 s
  # at most (one input block, the stretcher's fill, ten output blocks).
  check "[$n] the sound comes out of the speaker within 1 s of the microphone (${delay:-no sound} ms)" \
    awk -v d="${delay:-none}" 'BEGIN { exit !(d != "none" && d + 0 < 1000) }'
  echo "delay_ms[$n] ${delay:-none}" >> "$work/figures"

  if [ -f "$out/record-$tag.wav" ]; then
    local layout
    if layout=$(python3 "$here/check_recording.py" "$out/record-$tag.wav"); then
      pass "[$n] the recording has the 18-byte format chunk and consistent sizes ($layout)"
    else
      fail "[$n] the recording's layout: $(echo "$layout" | paste -sd ';')"
    fi
    # The recording holds about 4 s of the run: its pitch is compared with
    # what the microphone heard during that stretch, found by matching the
    # sound envelopes (a pitch change keeps them in place).
    local seconds place offset score
    seconds=$(soxi -D "$out/record-$tag.wav")
    place=$(python3 "$here/align.py" "$out/speaker-$tag.wav" "$out/record-$tag.wav")
    read -r _ offset _ score <<< "$place"
    check "[$n] the recording is the sound that was played (found in the speaker capture at ${offset:-?} s, correlation ${score:-none})" \
      awk -v c="${score:-0}" 'BEGIN { exit !(c >= 0.8) }'
    place=$(python3 "$here/align.py" "$out/microphone-$tag.wav" "$out/record-$tag.wav")
    read -r _ offset _ score <<< "$place"
    ratio=""
    if [ -n "$offset" ]; then
      sox "$out/microphone-$tag.wav" "$out/heard-while-recording-$tag.wav" trim "$offset" "$seconds"
      ratio=$("$measure" pitch "$out/heard-while-recording-$tag.wav" "$out/record-$tag.wav" 2>&1 | sed -n 's/^ratio //p')
    fi
    check "[$n] the recording's pitch is the microphone's x $ideal within 1% (got ${ratio:-none})" \
      within "${ratio:-0}"
    echo "recording_ratio[$n] ${ratio:-none} (ideal $ideal)" >> "$work/figures"
  fi
}

run_program 6 no missing
run_program -6 yes wine

if [ -n "$docs" ]; then
  mkdir -p "$docs"
  cp "$out/setup-pitch6.png" "$docs/setup-view.png" 2>/dev/null
  cp "$out/streaming-pitch6.png" "$docs/streaming-view.png" 2>/dev/null
fi

echo "--- figures"
{ echo "figures:"; cat "$work/figures" 2>/dev/null; } >> "$out/summary.txt"
cat "$work/figures" 2>/dev/null
echo "$passed passed, $failed failed" | tee -a "$out/summary.txt"
echo "results in $out"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The real program in a real X server (Xvfb): Space pressed twice, each held for
# a moment so that it is read once, brings part three on screen; a screenshot of
# the window taken then is 256 x 256, not black and shows no black background; Escape then ends the program
# with status 1. Exits 77 (skipped) when the X tools are not installed.
set -u
bin=${1:?usage: e2e_xvfb.sh PATH/TO/velm4023}
for tool in Xvfb xdotool import identify convert; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2> /dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
  wait 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }

# Xvfb picks a free display number and writes it to descriptor 3.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
export SDL_VIDEODRIVER=x11
unset SDL_AUDIODRIVER SDL12COMPAT_WINDOW_SCALING
# Leaks inside the X and SDL libraries are not this program's; the unit tests
# check its own memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

"$bin" > "$work/stdout.log" 2> "$work/stderr.log" &
app=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --name '^VELM4023$' 2> /dev/null | head -n 1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no window captioned VELM4023 appeared"
xdotool windowfocus --sync "$wid" 2> /dev/null || xdotool windowfocus "$wid"
sleep 0.5

hold() { xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"; sleep 0.3; }
hold space
hold space
sleep 1

import -window "$wid" "$work/shot.png" 2> "$work/import.log" || fail "import could not grab the window"
size=$(identify -format '%wx%h' "$work/shot.png")
[ "$size" = "256x256" ] || fail "window is $size, not 256x256"
max=$(identify -format '%[max]' "$work/shot.png")
[ "${max%.*}" -gt 0 ] 2> /dev/null || fail "the screenshot of part three is black (max $max)"
# Part three's plasma covers the whole window, while parts one and two show a
# quarter or more black background: almost no black pixel means part three.
black=$(convert "$work/shot.png" -fill white +opaque black -format '%[fx:round(1000*(1-mean))]' info:)
[ "$black" -lt 10 ] 2> /dev/null || fail "not part three: $black per mille of the window is black"
if [ -n "${VELM_E2E_KEEP:-}" ]; then cp "$work/shot.png" "$VELM_E2E_KEEP"; fi

hold Escape
for _ in $(seq 100); do kill -0 "$app" 2> /dev/null || break; sleep 0.1; done
kill -0 "$app" 2> /dev/null && fail "Escape did not end the program"
wait "$app"
status=$?
app=""
[ "$status" = 1 ] || fail "exit status $status after quitting, not 1"
echo "e2e: part three on screen (black: $black per mille), quit with status 1"

#!/usr/bin/env bash
# The show on Windows, end to end: velm4023.exe under Wine on a private Xvfb
# (1024 x 768) with a window manager and a PulseAudio null sink for its
# sound, started from a folder of its own as a double-click would:
#   - the window titled VELM4023 appears, enlarged by the whole number that
#     fits two thirds of the screen's height (2: 512 x 512), with an icon;
#   - F12 writes a PNG into Wine's Pictures folder and its path into
#     stdout.txt beside the exe;
#   - Space leads to part two (its starfield leaves most of the picture black);
#   - F11 turns the window into a borderless one over the whole screen without
#     changing the screen's mode, and back;
#   - about 500 frames pass in 10 s (the screenshots' frame numbers);
#   - Escape ends it with status 1, and no empty stdout.txt or stderr.txt is
#     left behind.
#   show.sh VELM4023.EXE
set -uo pipefail
EXE=$1
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../e2e/xvfb.sh"
require_tools wine Xvfb xdotool openbox xprop xdpyinfo pulseaudio convert identify bc
RUN="$HERE/../../cmake/wine-run.sh"
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$EXE")/.." && pwd)/wine}"
PICTURES="$WINEPREFIX-home"   # where the prefix's Pictures folder leads (cmake/wine-run.sh)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

xvfb_start 1024x768x24
wm_start
APP="$XVFB_DIR/app"
mkdir -p "$APP"
cp "$EXE" "$APP/velm4023.exe"

# PulseAudio with one null sink on a private socket (as root: the system
# instance, which runs as the pulse user and so must own the folder).
PULSE_DIR=$(mktemp -d /tmp/velm-pulse-XXXXXX)
[ "$(id -u)" = 0 ] && id -u pulse >/dev/null 2>&1 && chown pulse "$PULSE_DIR"
HOME="$PULSE_DIR" pulseaudio $([ "$(id -u)" = 0 ] && echo --system) --daemonize=no --use-pid-file=no \
    --exit-idle-time=-1 --disallow-exit --disable-shm -n --load="module-null-sink sink_name=velm" \
    --load="module-native-protocol-unix socket=$PULSE_DIR/native auth-anonymous=1" >"$XVFB_DIR/pulse.log" 2>&1 &
PULSE_PID=$!
for _ in $(seq 100); do [ -S "$PULSE_DIR/native" ] && break; sleep 0.1; done
[ -S "$PULSE_DIR/native" ] || { echo "FAIL: PulseAudio did not start"; cat "$XVFB_DIR/pulse.log"; exit 1; }
export PULSE_SERVER="unix:$PULSE_DIR/native"
stop_pulse() {
    kill "$PULSE_PID" 2>/dev/null && reap PulseAudio "$PULSE_PID"
    rm -rf "$PULSE_DIR"
}
# At exit the script's own status goes on to xvfb_exit, which ends with it.
trap 'status=$?; stop_pulse; (exit $status); xvfb_exit' EXIT

# Started as Explorer would: no standard streams of the caller's.
unset SDL_AUDIODRIVER
rm -f "$PICTURES"/velm4023-*.png
(cd "$APP" && exec "$RUN" "$APP/velm4023.exe" </dev/null >/dev/null 2>&1) &
SHOW_PID=$!
WINDOW=
for _ in $(seq 300); do
    WINDOW=$(xdotool search --name '^VELM4023$' 2>/dev/null | head -n1)
    [ -n "$WINDOW" ] && break
    kill -0 "$SHOW_PID" 2>/dev/null || break
    sleep 0.1
done
[ -n "$WINDOW" ] || { echo "FAIL: no window titled VELM4023 appeared"; exit 1; }
sleep 1
geometry=$(xdotool getwindowgeometry "$WINDOW" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 512x512 ] || fail "the window is $geometry, not 512x512 (twice 256 on 768 lines)"
xdotool windowactivate --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
# The emblem from the exe's icon resource on the window.
# (grep reads xprop's whole answer: with pipefail, a grep -q that stops
# early would fail the pipe.)
has_icon() { xprop -id "$WINDOW" _NET_WM_ICON 2>/dev/null | grep -c 'Icon (' >/dev/null; }
for _ in $(seq 30); do has_icon && break; sleep 0.1; done
has_icon || fail "the window carries no icon"

# F12: the newest screenshot into LAST_SHOT, its frame number into FRAME
# (0 when none came within 5 s).
LAST_SHOT=
FRAME=0
shot() {
    local before name
    before=$(ls "$PICTURES"/velm4023-*.png 2>/dev/null | wc -l)
    press F12
    for _ in $(seq 50); do
        [ "$(ls "$PICTURES"/velm4023-*.png 2>/dev/null | wc -l)" -gt "$before" ] && break
        sleep 0.1
    done
    LAST_SHOT=$(ls -t "$PICTURES"/velm4023-*.png 2>/dev/null | head -n1)
    FRAME=0
    if [ -z "$LAST_SHOT" ] || [ "$(ls "$PICTURES"/velm4023-*.png | wc -l)" -le "$before" ]; then
        fail "F12 wrote no new PNG into $PICTURES"
        LAST_SHOT=
        return
    fi
    name=${LAST_SHOT##*-}
    FRAME=$((10#${name%.png}))
}
# The share of black pixels in a picture, in percent (0 without one).
black() { [ -n "$1" ] && convert "$1" -fx 'r+g+b==0' -format '%[fx:int(100*mean)]' info: || echo 0; }

shot
first=$FRAME
[ -n "$LAST_SHOT" ] && { [ "$(black "$LAST_SHOT")" -lt 42 ] || fail "the first screenshot does not look like part one"; }
# F11: a borderless window over the whole screen (no mode change), and back.
press F11
sleep 1
geometry=$(xdotool getwindowgeometry "$WINDOW" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 1024x768 ] || fail "F11 gave a window of $geometry, not the whole 1024x768 screen"
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9x]*\).*/\1/p')
[ "$screen" = 1024x768 ] || fail "F11 changed the screen's mode to $screen"
press F11
sleep 1
geometry=$(xdotool getwindowgeometry "$WINDOW" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 512x512 ] || fail "after F11 again the window is $geometry, not 512x512"
press space
sleep 1
shot
second=$FRAME
[ -n "$LAST_SHOT" ] && { [ "$(black "$LAST_SHOT")" -ge 42 ] ||
    fail "after Space the screenshot does not look like part two ($(black "$LAST_SHOT") % black)"; }
[ -n "$LAST_SHOT" ] && [ "$(identify -format %wx%h "$LAST_SHOT")" = 256x256 ] ||
    fail "the screenshot of the enlarged window is not the 256 x 256 frame"
start=$(date +%s.%N)
sleep 10
shot
third=$FRAME
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
rate=$(echo "($third - $second) / $elapsed" | bc)
echo "frames $first, $second, $third: $((third - second)) frames in ${elapsed%???????} s, $rate a second"
[ "$rate" -ge 40 ] && [ "$rate" -le 60 ] || fail "$rate frames a second, not about 50"

if [ -n "$LAST_SHOT" ]; then
    grep -q "$(basename "$LAST_SHOT")" "$APP/stdout.txt" 2>/dev/null ||
        fail "stdout.txt beside the exe does not name $(basename "$LAST_SHOT")"
fi

press Escape
if show_wait_end 20; then
    [ "$SHOW_STATUS" = 1 ] || fail "Escape ended the show with status $SHOW_STATUS, not 1"
else
    fail "the show did not end within 20 s of Escape"
fi
for file in stdout.txt stderr.txt; do
    [ -f "$APP/$file" ] && ! [ -s "$APP/$file" ] && fail "an empty $file was left beside the exe"
done
[ -s "$APP/stderr.txt" ] && { echo "stderr.txt:"; cat "$APP/stderr.txt"; }
[ -s "$APP/stdout.txt" ] && { echo "stdout.txt:"; cat "$APP/stdout.txt"; }
rm -f "$PICTURES"/velm4023-*.png
[ $failures = 0 ] && echo "PASS: the show on Windows"
exit $((failures > 0))

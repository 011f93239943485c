#!/bin/bash
# The real program in a virtual X server: its window's title and size, what
# it shows, Space (twice brings part three) and Escape, the close request
# ignored, SIGINT and SIGTERM ending it, many starts on a busy machine each
# opening the window, closed standard streams, an impossible window scaling,
# only the show's own lines on standard error, the end when the X server goes
# away, and the clear refusal to run without any display.
# Usage: window.sh PATH-TO-velm4023 [PATH-TO-close-request-helper]
# VELM_STARTS sets how many starts the busy-machine check makes (default 30).
set -u
SHOW=$1
CLOSER=${2:-}
STARTS=${VELM_STARTS:-30}
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool xwininfo import compare convert
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

xvfb_start
# The window at the frame's own size; the enlargement is viewer.sh's to test.
export SDL12COMPAT_WINDOW_SCALING=1

# Window, size, keys.
show_start
size=$(xwininfo -id "$WINDOW" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = 256x256 ] && pass "window is 256 x 256" || fail "window is $size, not 256x256"
[ -s "$XVFB_DIR/show.err" ] && fail "unexpected standard error: $(cat "$XVFB_DIR/show.err")"
# What the window really shows: a picture, not black, and moving.
sleep 1
import -window "$WINDOW" "$XVFB_DIR/a.png"
sleep 0.5
import -window "$WINDOW" "$XVFB_DIR/b.png"
mean=$(convert "$XVFB_DIR/a.png" -colorspace gray -format "%[fx:mean]" info:)
changed=$(compare -metric AE "$XVFB_DIR/a.png" "$XVFB_DIR/b.png" null: 2>&1)
awk -v m="$mean" 'BEGIN {exit !(m > 0.02)}' && pass "window shows a picture (mean grey $mean)" \
    || fail "window is black (mean grey $mean)"
[ "${changed%% *}" != 0 ] && pass "picture moves ($changed pixels changed in 0.5 s)" \
    || fail "picture is frozen"
xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
press space
sleep 1
kill -0 "$SHOW_PID" 2>/dev/null && pass "Space does not quit" || fail "the show ended after Space"
# A second Space brings part three, whose plasma fills the window: parts one
# and two leave a quarter or more of it black.
press space
sleep 1
import -window "$WINDOW" "$XVFB_DIR/three.png"
black=$(convert "$XVFB_DIR/three.png" -fill white +opaque black -format '%[fx:round(1000*(1-mean))]' info:)
[ "$black" -lt 10 ] 2>/dev/null && pass "two Spaces bring part three ($black per mille black)" \
    || fail "not part three after two Spaces: $black per mille of the window is black"
press Escape
if show_wait_end 5; then
    [ "$SHOW_STATUS" = 1 ] && pass "Escape quits with status 1" || fail "Escape: exit status $SHOW_STATUS, not 1"
else
    fail "still running 5 s after Escape"
fi

# The close request changes nothing; SIGTERM then ends the show at once.
show_start
if [ -n "$CLOSER" ] && [ -x "$CLOSER" ]; then
    "$CLOSER" "$WINDOW" || fail "could not send the close request"
    sleep 1.5
    kill -0 "$SHOW_PID" 2>/dev/null && pass "close request ignored" || fail "the show ended on a close request"
else
    echo "skipped: close request (no Xlib helper built)"
fi
kill -TERM "$SHOW_PID"
if show_wait_end 1; then
    [ "$SHOW_STATUS" = 143 ] && pass "SIGTERM ends the show" || fail "SIGTERM: exit status $SHOW_STATUS, not 143"
else
    fail "still running 1 s after SIGTERM"
fi

# Ctrl+C.
show_start
sleep 0.5
kill -INT "$SHOW_PID"
if show_wait_end 1; then
    [ "$SHOW_STATUS" = 130 ] && pass "SIGINT ends the show" || fail "SIGINT: exit status $SHOW_STATUS, not 130"
else
    fail "still running 1 s after SIGINT"
fi

# Many starts with both cores kept busy: every one opens its window (none
# falls back to SDL's invisible driver). Each start is over once its window
# is there or the process has ended.
busy=()
for _ in 1 2; do
    timeout 900 sh -c 'while :; do :; done' &
    busy+=($!)
done
missed=0
for i in $(seq "$STARTS"); do
    "$SHOW" >/dev/null 2>"$XVFB_DIR/start.err" &
    pid=$!
    for _ in $(seq 300); do
        xdotool search --all --pid "$pid" --name '^VELM4023$' >/dev/null 2>&1 && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        reap "start $i of the show" "$pid"
    else
        reap "start $i of the show" "$pid"
        status=$?
        missed=$((missed + 1))
        echo "start $i: no window, status $status: $(cat "$XVFB_DIR/start.err")"
    fi
done
kill "${busy[@]}" 2>/dev/null
for pid in "${busy[@]}"; do reap "a busy loop" "$pid"; done
[ "$missed" = 0 ] && pass "$STARTS starts on a busy machine: every one opened its window" \
    || fail "$missed of $STARTS starts on a busy machine opened no window"

# Closed standard streams: the show draws and Escape ends it, also after F12
# printed into a closed standard output and "no sound" into a closed standard
# error.
mkdir -p "$XVFB_DIR/pics"
still_drawing() {
    import -window "$WINDOW" "$XVFB_DIR/c1.png" && sleep 0.4 && import -window "$WINDOW" "$XVFB_DIR/c2.png" || return 1
    changed=$(compare -metric AE "$XVFB_DIR/c1.png" "$XVFB_DIR/c2.png" null: 2>&1)
    [ "${changed%% *}" != 0 ]
}
for closed in stdout stderr; do
    SHOW_CLOSE=$closed XDG_PICTURES_DIR=$XVFB_DIR/pics SDL_AUDIODRIVER=alsa ALSA_CARD=velm-none show_start
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
    [ "$closed" = stdout ] && press F12
    sleep 0.5
    still_drawing && drawn=yes || drawn=
    press Escape
    if show_wait_end 5 && [ "$SHOW_STATUS" = 1 ] && [ -n "$drawn" ]; then
        pass "closed $closed: the show draws and Escape ends it with status 1"
    else
        fail "closed $closed: drawing: ${drawn:-no}, status ${SHOW_STATUS:-still running}"
    fi
done
[ -n "$(ls "$XVFB_DIR/pics")" ] && pass "closed stdout: F12 still wrote its picture" || fail "closed stdout: no screenshot"

# A window scaling SDL cannot make: the automatic size instead, said in one
# line.
SDL12COMPAT_WINDOW_SCALING=99999 show_start
lines=$(grep -c . "$XVFB_DIR/show.err")
if grep -q "^velm4023: SDL12COMPAT_WINDOW_SCALING=99999 cannot be used" "$XVFB_DIR/show.err" && [ "$lines" = 1 ]; then
    pass "SDL12COMPAT_WINDOW_SCALING=99999: a window and one line, \"$(cat "$XVFB_DIR/show.err")\""
else
    fail "SDL12COMPAT_WINDOW_SCALING=99999: standard error: $(cat "$XVFB_DIR/show.err")"
fi
kill -TERM "$SHOW_PID"; show_wait_end 2

# No sound device: the show's own line alone on standard error. ALSA gets a
# configuration that defines no device at all, so that neither a sound card
# nor a sound server of this machine's can stand in.
echo '# no devices' >"$XVFB_DIR/alsa-none.conf"
SDL_AUDIODRIVER=alsa ALSA_CARD=velm-none ALSA_CONFIG_PATH="$XVFB_DIR/alsa-none.conf" show_start
sleep 0.5
if grep -q "^velm4023: no sound: " "$XVFB_DIR/show.err" && [ "$(grep -c . "$XVFB_DIR/show.err")" = 1 ]; then
    pass "no sound device: one line, \"$(cat "$XVFB_DIR/show.err")\""
elif ! grep -q . "$XVFB_DIR/show.err"; then
    if [ "${CI:-}" = true ]; then
        fail "no sound device: ALSA opened one all the same"
    else
        echo "skipped: no sound device (ALSA opened one all the same)"
    fi
else
    fail "no sound device: standard error: $(cat "$XVFB_DIR/show.err")"
fi

kill -TERM "$SHOW_PID"; show_wait_end 2

# The X server goes away under the running show: it ends within 3 s, with
# one line and status 3, instead of spinning on the dead connection.
show_start
sleep 0.5
kill -KILL "$XVFB_PID"
reap Xvfb "$XVFB_PID"
XVFB_PID=
if show_wait_end 3; then
    if [ "$SHOW_STATUS" = 3 ] && [ "$(cat "$XVFB_DIR/show.err")" = "velm4023: lost the display" ]; then
        pass "X server gone: status 3, \"velm4023: lost the display\""
    else
        fail "X server gone: status $SHOW_STATUS, standard error: $(cat "$XVFB_DIR/show.err")"
    fi
else
    fail "still running 3 s after the X server went away"
fi

# No display at all: one clear line on standard error, nothing else, and
# status 2, not an invisible show running for ever.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$SHOW" \
    >"$XVFB_DIR/nodisplay.out" 2>"$XVFB_DIR/nodisplay.err"
status=$?
if [ "$status" = 2 ] && grep -q "^velm4023: no window can be shown: " "$XVFB_DIR/nodisplay.err" &&
    [ "$(grep -c . "$XVFB_DIR/nodisplay.err")" = 1 ]; then
    pass "without a display: status 2, \"$(cat "$XVFB_DIR/nodisplay.err")\""
else
    fail "without a display: status $status, standard error: $(cat "$XVFB_DIR/nodisplay.err")"
fi

[ "$failures" = 0 ] && echo "all end-to-end checks passed"
exit $((failures > 0))

#!/bin/bash
# The real program in a virtual X server: its window's title and size, Space
# and Escape, the close request ignored, SIGINT and SIGTERM ending it, and the
# clear refusal to run without any display.
# Usage: window.sh PATH-TO-velm4023 [PATH-TO-close-request-helper]
set -u
SHOW=$1
CLOSER=${2:-}
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool xwininfo
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
if command -v import >/dev/null && command -v compare >/dev/null; then
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
else
    echo "skipped: window contents (ImageMagick missing)"
fi
xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
press space
sleep 1
kill -0 "$SHOW_PID" 2>/dev/null && pass "Space does not quit" || fail "the show ended after Space"
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

# No display at all: a clear line on standard error and status 2, not an
# invisible show running for ever.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$SHOW" \
    >"$XVFB_DIR/nodisplay.out" 2>"$XVFB_DIR/nodisplay.err"
status=$?
if [ "$status" = 2 ] && grep -q "^velm4023: " "$XVFB_DIR/nodisplay.err"; then
    pass "without a display: status 2, \"$(grep "^velm4023: " "$XVFB_DIR/nodisplay.err")\""
else
    fail "without a display: status $status, standard error: $(cat "$XVFB_DIR/nodisplay.err")"
fi

[ "$failures" = 0 ] && echo "all end-to-end checks passed"
exit $((failures > 0))

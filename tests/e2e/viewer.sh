#!/bin/bash
# The window as a viewer meets it, in a virtual X server with a window manager:
# its enlargement from the screen's height (and the user's own setting
# winning), crisp pixels, its icon, F11 and Alt+Enter fullscreen (the frame
# whole-pixel enlarged, centred on black) and back, F12 screenshots wherever
# the pictures folder is or is not, and the window keys leaving the show's
# state alone (compared frame by frame with the capture tool); the mouse
# pointer (hidden in fullscreen and after a second at rest in the window, read
# back from the X server by the XFixes helper) and the double-click that
# toggles fullscreen.
# Usage: viewer.sh PATH-TO-velm4023 PATH-TO-velm4023-capture [PATH-TO-cursor-helper]
set -u
SHOW=$1
CAPTURE=$2
CURSOR=${3:-}
REAL_SHOW=$SHOW
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool xwininfo xprop openbox import convert compare identify setpriv
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
unset SDL12COMPAT_WINDOW_SCALING SDL12COMPAT_SCALE_METHOD XDG_PICTURES_DIR

window_size() { xwininfo -id "$WINDOW" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

# Wait up to 10 s for the window to reach a size.
wait_size() {
    for _ in $(seq 100); do
        [ "$(window_size)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

focus() { xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"; }

# The first line the show printed into $2 after $1 lines, waiting up to 10 s.
next_line() {
    for _ in $(seq 100); do
        line=$(sed -n "$(($1 + 1))p" "$2")
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.1
    done
    return 1
}

# The screen in fullscreen on 1920 x 1080: the frame at exactly 4 x (every
# 4 x 4 block one colour), 1024 x 1024 at 448, 28, black all around. A grab
# that catches a frame half drawn, or none yet, is taken again.
check_fullscreen() {
    local whole= differ picture around
    for _ in $(seq 10); do
        import -window root "$work/full.png"
        convert "$work/full.png" -crop 1024x1024+448+28 +repage "$work/picture.png"
        convert "$work/picture.png" -sample 25% -sample 400% "$work/blocks.png"
        differ=$(compare -metric AE "$work/picture.png" "$work/blocks.png" null: 2>&1)
        picture=$(convert "$work/picture.png" -colorspace gray -format "%[fx:mean]" info:)
        [ "${differ%% *}" = 0 ] && awk -v m="$picture" 'BEGIN {exit !(m > 0.02)}' && { whole=yes; break; }
        sleep 0.5
    done
    # Black around: no picture pixel outside its square (its edge rows and
    # columns are the frame's own).
    around=$(convert "$work/full.png" -fill black -draw "rectangle 448,28 1471,1051" -format "%[fx:maxima]" info:)
    [ -n "$whole" ] && pass "$1: the frame at exactly 4 x, 1024 x 1024 at 448, 28" \
        || fail "$1: picture not whole-pixel ($differ pixels off its 4 x 4 blocks, mean grey $picture)"
    [ "$around" = 0 ] && pass "$1: black around the picture" || fail "$1: not black around the picture ($around)"
}

# F12 in fullscreen: still the 256 x 256 frame, not the screen around it. $1 is
# the number of lines the show printed before.
check_fullscreen_shot() {
    press F12
    local path size colours
    if path=$(next_line "$1" "$work/show.out"); then
        size=$(identify -format '%wx%h' "$path" 2>/dev/null)
        colours=$(identify -format '%k' "$path" 2>/dev/null)
        [ "$size" = 256x256 ] && [ "${colours:-0}" -gt 16 ] && pass "$2: F12 gives the 256 x 256 frame" \
            || fail "$2: F12 gave \"$path\", $size with $colours colours"
    else
        fail "$2: F12 printed no path"
    fi
}

# ---- A small screen: no enlargement -------------------------------------------
xvfb_start 640x480x24
show_start
size=$(window_size)
[ "$size" = 256x256 ] && pass "640 x 480 screen: window 256 x 256" || fail "640 x 480 screen: window is $size"
show_stop
xvfb_stop

# ---- A 1920 x 1080 desktop -----------------------------------------------------
xvfb_start 1920x1080x24
wm_start
work=$XVFB_DIR
mkdir -p "$work/pics"
export XDG_PICTURES_DIR=$work/pics
show_start
size=$(window_size)
[ "$size" = 512x512 ] && pass "1920 x 1080 screen: window 512 x 512" || fail "1920 x 1080 screen: window is $size"

# Crisp: every 2 x 2 block of the window is one colour, which halving and
# doubling by sampling reproduces exactly. A grab that catches a frame half
# drawn is taken again.
sleep 1
crisp=
for _ in 1 2 3; do
    import -window "$WINDOW" "$work/window.png"
    convert "$work/window.png" -sample 50% -sample 200% "$work/blocks.png"
    differ=$(compare -metric AE "$work/window.png" "$work/blocks.png" null: 2>&1)
    [ "${differ%% *}" = 0 ] && { crisp=yes; break; }
done
mean=$(convert "$work/window.png" -colorspace gray -format "%[fx:mean]" info:)
[ -n "$crisp" ] && awk -v m="$mean" 'BEGIN {exit !(m > 0.02)}' && pass "picture crisp: 2 x 2 blocks of one colour" \
    || fail "picture not crisp ($differ pixels off its blocks, mean grey $mean)"

# The window manager shows the show's own icon.
icon=$(xprop -id "$WINDOW" _NET_WM_ICON 2>/dev/null | head -n2 | tr -d '\n')
case $icon in *"Icon (128 x 128)"*) pass "the window has its 128 x 128 icon" ;; *) fail "no window icon: $icon" ;; esac

# Fullscreen and back, with F11 and with Alt+Enter. On 1920 x 1080 the frame
# is enlarged 4 times (every 4 x 4 block one colour), 1024 x 1024 at 448, 28,
# black all around.
focus
shots=0
for keys in F11 alt+Return; do
    xdotool keydown "$keys"; sleep 0.2; xdotool keyup "$keys"
    wait_size 1920x1080 && pass "$keys: window fills the screen" || fail "$keys: window is $(window_size), not 1920x1080"
    sleep 0.5
    check_fullscreen "$keys"
    check_fullscreen_shot "$shots" "$keys"
    shots=$((shots + 1))
    focus
    xdotool keydown "$keys"; sleep 0.2; xdotool keyup "$keys"
    wait_size 512x512 && pass "$keys again: back to 512 x 512" || fail "$keys again: window is $(window_size)"
    sleep 0.5
    focus
done

# F12: a 256 x 256 picture of the frame, its path on standard output.
press F12
if path=$(next_line "$shots" "$work/show.out"); then
    shot_size=$(identify -format '%wx%h' "$path" 2>/dev/null)
    colours=$(identify -format '%k' "$path" 2>/dev/null)
    case $path in "$XDG_PICTURES_DIR"/velm4023-[0-9]*-[0-9]*-[0-9]*.png) named=yes ;; *) named= ;; esac
    [ -n "$named" ] && [ "$shot_size" = 256x256 ] && [ "${colours:-0}" -gt 16 ] \
        && pass "F12: $path, 256 x 256, $colours colours" \
        || fail "F12: \"$path\" is $shot_size with $colours colours"
else
    fail "F12 printed no path"
fi
[ -s "$work/show.err" ] && fail "unexpected standard error: $(cat "$work/show.err")"
show_stop

# ---- The mouse pointer and the double-click -------------------------------------
# What the X server draws as the pointer: "visible N" (N pixels) or "hidden".
pointer_is() {
    local state
    state=$("$CURSOR" 2>&1)
    case $state in "$1"*) pass "$2 ($state)" ;; *) fail "$2: the pointer is $state" ;; esac
}
if [ -z "$CURSOR" ] || [ ! -x "$CURSOR" ]; then
    [ "${CI:-}" = true ] && fail "no XFixes helper to read the pointer with" \
        || echo "skipped: the pointer (no XFixes helper built)"
else
    show_start
    focus
    xdotool mousemove --window "$WINDOW" 100 100
    sleep 0.3
    pointer_is visible "window: the pointer shows after a motion"
    sleep 1.5
    pointer_is hidden "window: hidden after resting 1.5 s over the picture"
    xdotool mousemove --window "$WINDOW" 256 256
    sleep 0.3
    pointer_is visible "window: back at the next motion"
    # Fullscreen hides it at once, not after a rest, and a motion there does
    # not bring it back. It rests over where the window comes back.
    press F11
    wait_size 1920x1080 || fail "F11: window is $(window_size)"
    pointer_is hidden "fullscreen: hidden at once"
    xdotool mousemove_relative 4 4
    sleep 0.3
    pointer_is hidden "fullscreen: still hidden after a motion"
    xdotool mousemove_relative -- -4 -4
    focus
    press F11
    wait_size 512x512 || fail "F11 again: window is $(window_size)"
    pointer_is visible "leaving fullscreen brings the pointer back"
    sleep 1.5
    pointer_is hidden "window again: hidden after resting 1.5 s"
    # A double-click of the left button toggles fullscreen both ways; a single
    # click, or two clicks too far apart in time, change nothing.
    xdotool mousemove --window "$WINDOW" 256 256 click --repeat 2 --delay 100 1
    wait_size 1920x1080 && pass "double-click: fullscreen" || fail "double-click: window is $(window_size)"
    pointer_is hidden "double-click: the pointer hidden in fullscreen"
    sleep 0.6
    xdotool click --repeat 2 --delay 100 1
    wait_size 512x512 && pass "double-click again: back to the window" \
        || fail "double-click again: window is $(window_size)"
    sleep 0.6
    xdotool mousemove --window "$WINDOW" 256 256 click 1
    sleep 1
    [ "$(window_size)" = 512x512 ] && pass "a single click changes nothing" \
        || fail "a single click: window is $(window_size)"
    xdotool click 1 sleep 0.6 click 1
    sleep 1
    [ "$(window_size)" = 512x512 ] && pass "two clicks 0.6 s apart are no double-click" \
        || fail "two clicks 0.6 s apart: window is $(window_size)"
    kill -0 "$SHOW_PID" 2>/dev/null || fail "the show ended among the clicks"
    [ -s "$work/show.err" ] && fail "unexpected standard error: $(cat "$work/show.err")"
    show_stop
fi

# The user's own setting wins.
SDL12COMPAT_WINDOW_SCALING=1 show_start
size=$(window_size)
[ "$size" = 256x256 ] && pass "user's SDL12COMPAT_WINDOW_SCALING=1: window 256 x 256" \
    || fail "user's SDL12COMPAT_WINDOW_SCALING=1: window is $size"
show_stop

# With the user's linear scaling SDL cannot enlarge crisply; the show then
# enlarges the frame itself, to the same whole-pixel picture.
SDL12COMPAT_SCALE_METHOD=linear show_start
focus
press F11
wait_size 1920x1080 && check_fullscreen "F11 with linear scaling" || fail "linear scaling: window is $(window_size)"
check_fullscreen_shot 0 "linear scaling"
show_stop

# No pictures folder at all: the screenshot lands in the current folder.
mkdir -p "$work/home" "$work/cwd"
unset XDG_PICTURES_DIR
cd "$work/cwd"
HOME=$work/home show_start
focus
press F12
path=$(next_line 0 "$work/show.out")
[ "$path" = "$work/cwd/$(basename "$path")" ] && [ -f "$path" ] && pass "no pictures folder: lands in the current folder" \
    || fail "no pictures folder: printed \"$path\""
show_stop
cd /

# A read-only pictures folder: one line on standard error and the show goes
# on. Root writes anywhere, so it runs without the right to override modes.
mkdir -p "$work/ro"
chmod 555 "$work/ro"
export XDG_PICTURES_DIR=$work/ro
if [ "$(id -u)" = 0 ]; then
    printf '#!/bin/sh\nexec setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search "%s"\n' \
        "$REAL_SHOW" >"$work/unprivileged.sh"
    chmod +x "$work/unprivileged.sh"
    SHOW=$work/unprivileged.sh
fi
show_start
focus
press F12
line=$(next_line 0 "$work/show.err")
sleep 0.5
errors=$(grep -c . "$work/show.err")
if kill -0 "$SHOW_PID" 2>/dev/null && [ "$errors" = 1 ] && [ "${line#velm4023: screenshot not written: $work/ro/}" != "$line" ]; then
    pass "read-only folder: \"$line\", the show goes on"
else
    fail "read-only folder: $errors error lines: $(cat "$work/show.err")"
fi
[ -z "$(ls -A "$work/ro")" ] || fail "read-only folder: a file appeared"
import -window "$WINDOW" "$work/a.png"; sleep 0.3; import -window "$WINDOW" "$work/b.png"
changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)
[ "${changed%% *}" != 0 ] && pass "read-only folder: the picture still moves" || fail "frozen after a failed screenshot"
show_stop
SHOW=$REAL_SHOW
unset XDG_PICTURES_DIR

# ---- The show's state: Left Shift, F11 and F12 change nothing -----------------
# Part two (from frame 1002) shows the scroll speed, which "0" would change; the
# same frames with and without the keys must be identical, and a real "0"
# must not be.
export XDG_PICTURES_DIR=$work/pics
frames() { "$CAPTURE" --frames 1001:1300 "$@" --ppm-stream 2>>"$work/capture.err" | md5sum; }
plain=$(frames)
keyed=$(frames --keys 1010:304,1020:292,1030:293,1040:292,1050:304)
zero=$(frames --keys 1010:48)
[ "$plain" = "$keyed" ] && pass "Left Shift, F11, F12: frames identical to a run without them" \
    || fail "Left Shift, F11 or F12 changed the show"
[ "$plain" != "$zero" ] && pass "the comparison sees a real key (0)" || fail "the digit 0 changed nothing: the check is blind"

[ "$failures" = 0 ] && echo "all viewer checks passed"
exit $((failures > 0))

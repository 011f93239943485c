#!/bin/bash
# The real program's sound through SDL's disk audio driver in a virtual X
# server: it plays from the start, without gaps, exactly the offline render;
# m silences it and m brings it back; Escape fades it out and ends the show.
# Usage: sound.sh PATH-TO-velm4023 PATH-TO-soundcheck
set -u
SHOW=$1
CHECK=$2
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

xvfb_start
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$XVFB_DIR/audio.raw"
show_start
grep -q "no sound" "$XVFB_DIR/show.err" && fail "no sound: $(cat "$XVFB_DIR/show.err")"
# The disk driver writes in real time: wait for three seconds of sound.
for _ in $(seq 300); do
    [ "$(stat -c %s "$XVFB_DIR/audio.raw" 2>/dev/null || echo 0)" -gt $((44100 * 4 * 4)) ] && break
    sleep 0.1
done
"$CHECK" "$XVFB_DIR/audio.raw" 3 && pass "sound plays as rendered" || fail "sound"

# Mute: a stretch of exact zeros appears, and sound returns after it.
xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
before=$(stat -c %s "$XVFB_DIR/audio.raw")
press m
sleep 1
press m
sleep 1
zeros=$(tail -c +"$before" "$XVFB_DIR/audio.raw" | od -An -v -tx4 -w4 |
    awk '$1 == "00000000" {run++; if (run > max) max = run; next} {run = 0} END {print max + 0}')
after=$(tail -c +"$before" "$XVFB_DIR/audio.raw" | tail -c 20000 | od -An -v -tx4 -w4 | grep -cv 00000000)
[ "$zeros" -gt 11025 ] && pass "m mutes ($zeros silent sample frames)" || fail "m did not mute (longest silence $zeros)"
[ "$after" -gt 1000 ] && pass "m again brings the sound back" || fail "still silent after the second m"

press Escape
if show_wait_end 10; then
    [ "$SHOW_STATUS" = 1 ] && pass "Escape quits with status 1" || fail "exit status $SHOW_STATUS, not 1"
else
    fail "still running 10 s after Escape"
fi
tail=$(tail -c 4096 "$XVFB_DIR/audio.raw" | od -An -v -tx4 -w4 | grep -cv 00000000)
[ "$tail" = 0 ] && pass "the music has faded out at the end" || fail "sound in the last 1024 sample frames ($tail non-zero)"
[ "$failures" = 0 ]

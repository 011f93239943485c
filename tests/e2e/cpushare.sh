#!/bin/bash
# Runs the show for N seconds (default 20) in a virtual X server and prints
# the share of one core it used, from its user and system time. With
# "fullscreen" it runs on a 1920 x 1080 desktop with a window manager, in
# fullscreen (F11) from the start.
# Usage: cpushare.sh PATH-TO-velm4023 [SECONDS] [fullscreen]
set -u
SHOW=$1
SECONDS_TO_RUN=${2:-20}
MODE=${3:-window}
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool
if [ "$MODE" = fullscreen ]; then
    require_tools openbox xprop
    xvfb_start 1920x1080x24
    wm_start
else
    xvfb_start
fi
show_start
if [ "$MODE" = fullscreen ]; then
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
    press F11
    sleep 1
fi
start=$(awk '{print $14 + $15}' "/proc/$SHOW_PID/stat")
sleep "$SECONDS_TO_RUN"
ticks=$(($(awk '{print $14 + $15}' "/proc/$SHOW_PID/stat") - start))
hz=$(getconf CLK_TCK)
kill -TERM "$SHOW_PID"
show_wait_end 2
awk -v t="$ticks" -v hz="$hz" -v s="$SECONDS_TO_RUN" -v m="$MODE" \
    'BEGIN {printf "CPU share of one core over %d s (%s): %.1f %%\n", s, m, 100 * t / hz / s}'

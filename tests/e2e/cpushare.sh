#!/bin/bash
# Runs the show for N seconds (default 20) in a virtual X server and prints
# the share of one core it used, from its user and system time.
# Usage: cpushare.sh PATH-TO-velm4023 [SECONDS]
set -u
SHOW=$1
SECONDS_TO_RUN=${2:-20}
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool
xvfb_start
show_start
sleep "$SECONDS_TO_RUN"
ticks=$(awk '{print $14 + $15}' "/proc/$SHOW_PID/stat")
hz=$(getconf CLK_TCK)
kill -TERM "$SHOW_PID"
show_wait_end 2
awk -v t="$ticks" -v hz="$hz" -v s="$SECONDS_TO_RUN" \
    'BEGIN {printf "CPU share of one core over %d s: %.1f %%\n", s, 100 * t / hz / s}'

#!/bin/bash
# The music as mastered: the capture tool's sound of the whole cycle, measured
# per part with ffmpeg's EBU R128 meter, sits at -14 LUFS integrated (+-1), the
# three parts within 1.5 LU of each other, true peaks at most -1 dBTP.
# Usage: loudness.sh PATH-TO-velm4023-capture
set -u
CAPTURE=$1
if ! command -v ffmpeg >/dev/null 2>&1; then
    [ "${CI:-}" = true ] && { echo "FAIL: ffmpeg is not installed"; exit 1; }
    echo "SKIP: ffmpeg is not installed"
    exit 77
fi
dir=$(mktemp -d /tmp/velm-loudness-XXXXXX)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# True when the awk condition holds for the figures given as i and p.
holds() { awk -v i="$1" -v p="$2" "BEGIN { exit !($3) }"; }

"$CAPTURE" --frames 1:4001 --wav "$dir/cycle.wav" >"$dir/capture.log" 2>&1 ||
    { echo "FAIL: capture: $(cat "$dir/capture.log")"; exit 1; }
lowest=0 highest=-99 part=0
for frames in 0:1001 1001:3001 3001:4001; do  # the frames before each part, and to its end
    part=$((part + 1))
    start=$((${frames%:*} * 882)) end=$((${frames#*:} * 882))
    read -r i p < <(ffmpeg -nostats -i "$dir/cycle.wav" \
        -af "atrim=start_sample=$start:end_sample=$end,ebur128=peak=true" -f null - 2>&1 |
        awk '/Summary:/ {s = 1} s && $1 == "I:" {i = $2} s && $1 == "Peak:" {p = $2} END {print i, p}')
    echo "part $part: integrated ${i:-?} LUFS, true peak ${p:-?} dBTP"
    if [ -z "${p:-}" ]; then fail "part $part: ffmpeg gave no figures"; continue; fi
    holds "$i" "$p" 'i >= -15 && i <= -13' || fail "part $part: $i LUFS is not -14 +-1"
    holds "$i" "$p" 'p <= -1' || fail "part $part: true peak $p dBTP is above -1"
    holds "$i" "$lowest" 'i < p' && lowest=$i
    holds "$i" "$highest" 'i > p' && highest=$i
done
holds "$highest" "$lowest" 'i - p <= 1.5' || fail "the parts are $highest and $lowest LUFS, more than 1.5 LU apart"
[ "$failures" = 0 ] && echo "ok: the three parts' loudness and peaks"
[ "$failures" = 0 ]

#!/bin/bash
# F9 as a viewer uses it, in a virtual X server with a window manager: F9,
# some keys, two F12 screenshots, F9. The keys file and the video appear in the
# videos folder; the video has picture and sound and the recorded length; the
# capture tool replaying the keys file gives frames identical to both
# screenshots, which land in the pictures folder named by
# ~/.config/user-dirs.dirs. Then a recording ended by quitting, whose render is
# abandoned with Ctrl+C while the show waits for it: the keys file stays, no
# video and no half file. Last, recordings cut short by SIGINT, SIGTERM, SIGHUP
# and the X server killed: the show still ends at once, by that signal (status
# 3 for the display), and the keys file is there, whole, without a video; one
# line gives the command, and the keys replay to the frames the show presented.
# Usage: record.sh PATH-TO-velm4023 PATH-TO-velm4023-capture
set -u
SHOW=$1
CAPTURE=$2
. "$(dirname "$0")/xvfb.sh"
require_tools Xvfb xdotool openbox ffmpeg ffprobe convert
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
unset XDG_PICTURES_DIR XDG_CONFIG_HOME

# Waits up to $2 seconds for a line matching $1 in the show's standard output
# and prints it.
wait_line() {
    for _ in $(seq $(($2 * 10))); do
        line=$(grep -m1 -e "$1" "$work/show.out")
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.1
    done
    return 1
}

focus() { xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"; }

xvfb_start 1024x768x24
wm_start
work=$XVFB_DIR
export HOME=$work/home
mkdir -p "$HOME/.config" "$HOME/shots" "$work/videos folder"
echo 'XDG_PICTURES_DIR="$HOME/shots"' > "$HOME/.config/user-dirs.dirs"
export XDG_VIDEOS_DIR="$work/videos folder"
# In the build tree the show finds the capture tool in capture/ beside its
# own demo/ folder; the PATH is not needed.
[ "$(cd "$(dirname "$CAPTURE")/.." && pwd)" = "$(cd "$(dirname "$SHOW")/.." && pwd)" ] ||
    export PATH="$(dirname "$CAPTURE"):$PATH"

# ---- F9, keys, two screenshots, F9 ---------------------------------------------
show_start
sleep 1
focus
press F9
start=$(wait_line 'recording from frame' 10) || fail "no line when the recording started"
first=$(echo "$start" | sed -n 's/.*from frame \([0-9]*\).*/\1/p')
press space
sleep 0.3
press 2
sleep 0.3
press F12
press 0
press 0
sleep 0.3
press 1
press F12
sleep 0.3
press F9
ended=$(wait_line 'recorded frames' 10) || fail "no line when the recording ended"
range=$(echo "$ended" | sed -n 's/.*recorded frames \([0-9]*:[0-9]*\) into .*/\1/p')
keys=$(echo "$ended" | sed -n 's/.* into \(.*\)$/\1/p')
last=${range#*:}
shots=$(grep -c "^$HOME/shots/velm4023-.*\.png$" "$work/show.out")
[ "$shots" = 2 ] && pass "F12 follows ~/.config/user-dirs.dirs" \
    || fail "$shots screenshots in $HOME/shots: $(cat "$work/show.out")"
case "$keys" in
"$XDG_VIDEOS_DIR"/velm4023-*.keys) pass "keys file $keys, frames $range" ;;
*) fail "keys file in the wrong place: $ended" ;;
esac
video=$(wait_line '\.mp4$' 300) || fail "no video within 300 s: $(cat "$work/show.err")"
[ "${first:-x}:${last:-y}" = "$range" ] || fail "range $range does not start at frame $first"

# The video: H.264 1024 x 1024 and AAC, as many frames as recorded.
if [ -s "$video" ]; then
    streams=$(ffprobe -v error -count_packets -show_entries stream=codec_name,width,height,nb_read_packets \
        -of csv=p=0 "$video")
    frames=$((last - first + 1))
    echo "$streams" | grep -qx "h264,1024,1024,$frames" && pass "video: h264 1024 x 1024, $frames frames" \
        || fail "video streams: $streams (wanted $frames frames)"
    echo "$streams" | grep -q '^aac' && pass "video has sound" || fail "no sound in the video: $streams"
    volume=$(ffmpeg -nostdin -hide_banner -i "$video" -vn -af volumedetect -f null - 2>&1 |
        sed -n 's/.*max_volume: \(-*[0-9.]*\) dB/\1/p')
    awk -v v="${volume:--99}" 'BEGIN {exit !(v > -40)}' && pass "the sound is not silent ($volume dB)" \
        || fail "silent sound: max volume ${volume:-unknown} dB"
else
    fail "no video file at $video"
fi

# Replaying the keys file gives exactly the screenshots' frames.
for shot in $(grep "^$HOME/shots/" "$work/show.out"); do
    n=$(basename "$shot" .png)
    n=$((10#${n##*-}))
    rm -rf "$work/replay"
    "$CAPTURE" --frames "$n" --keys "@$keys" --png "$work/replay" 2>"$work/replay.err" \
        || fail "replay of frame $n: $(cat "$work/replay.err")"
    convert "$shot" rgb:"$work/a.rgb"
    convert "$work/replay/frame-$(printf %06d "$n").png" rgb:"$work/b.rgb"
    cmp -s "$work/a.rgb" "$work/b.rgb" && pass "frame $n replayed from the keys file equals its screenshot" \
        || fail "frame $n replayed from the keys file differs from its screenshot"
done
grep -q "^# render: .*--keys .*@$keys" "$keys" && pass "the keys file says how to render it" \
    || fail "no render command in $keys: $(head -3 "$keys")"

press Escape
show_wait_end 60 || fail "the show did not end after Escape"
[ "${SHOW_STATUS:-}" = 1 ] || fail "exit status ${SHOW_STATUS:-none} after quitting"

# ---- Quit during a recording; Ctrl+C abandons the render at exit ---------------
rm -f "$work/show.out"
show_start
sleep 1
focus
press F9
wait_line 'recording from frame' 10 >/dev/null || fail "second recording did not start"
press Escape
wait_line 'waiting for the video' 60 >/dev/null || fail "no line saying the show waits for the render"
kill -INT "$SHOW_PID"
show_wait_end 30 || fail "the show did not end after Ctrl+C"
grep -q 'abandoned' "$work/show.err" && pass "Ctrl+C abandons the render with a line" \
    || fail "no line about the abandoned render: $(cat "$work/show.err")"
left=$(ls -A "$XDG_VIDEOS_DIR" | grep -v -x -e "$(basename "$keys")" -e "$(basename "$video")")
case "$left" in
velm4023-*.keys) pass "only the keys file stays: $left" ;;
*) fail "the videos folder holds: $left" ;;
esac
grep -q "frames [0-9]* to [0-9]*" "$XDG_VIDEOS_DIR/$left" 2>/dev/null || fail "keys file $left has no range"

# ---- A recording cut short: signals and the display gone -----------------------
# F9, Space, F12, then the end. The display goes last: it takes the X server.
for how in INT TERM HUP display; do
    before=$(ls -A "$XDG_VIDEOS_DIR")
    show_start
    sleep 1
    focus
    press F9
    wait_line 'recording from frame' 10 >/dev/null || fail "$how: the recording did not start"
    press space
    sleep 0.3
    press F12
    shot=$(wait_line "^$HOME/shots/" 10) || fail "$how: no screenshot"
    start=$(date +%s%N)
    if [ "$how" = display ]; then
        kill -KILL "$XVFB_PID"
        reap Xvfb "$XVFB_PID"
        XVFB_PID=
        expected=3
    else
        kill -"$how" "$SHOW_PID"
        expected=$((128 + $(kill -l "$how")))
    fi
    # It ends at its next frame (about 20 ms); a machine whose cores are all
    # busy may take longer, so only a show that keeps running fails.
    if show_wait_end 10; then
        took=$((($(date +%s%N) - start) / 1000000))
        [ "$SHOW_STATUS" = "$expected" ] &&
            pass "$how during a recording: status $SHOW_STATUS after $took ms" ||
            fail "$how during a recording: status $SHOW_STATUS after $took ms, not $expected"
    else
        fail "$how during a recording: still running 10 s later"
        show_stop
    fi
    sleep 1   # time for a video that should not come
    made=$(comm -13 <(echo "$before") <(ls -A "$XDG_VIDEOS_DIR"))
    cut="$XDG_VIDEOS_DIR/$made"
    case $made in
    velm4023-*.keys) pass "$how: the keys file $made, no video" ;;
    *) fail "$how: the videos folder gained: ${made:-nothing}" ;;
    esac
    range=$(sed -n '1s/^# velm4023 performance: frames \([0-9]*\) to \([0-9]*\) .*/\1 \2/p' "$cut" 2>/dev/null)
    grep -q ':space$' "$cut" 2>/dev/null && grep -q "^# render: .*--keys .*@$cut" "$cut" && [ -n "$range" ] &&
        pass "$how: the keys file holds the range, the render command and the Space" ||
        fail "$how: keys file: $(cat "$cut" 2>/dev/null)"
    said=$(grep -v -x 'velm4023: lost the display' "$work/show.err")
    lines=$(grep -c . "$work/show.err")
    if [ "$how" = display ]; then
        [ "$(head -n1 "$work/show.err")" = "velm4023: lost the display" ] && [ "$lines" = 2 ] ||
            fail "display lost: standard error: $(cat "$work/show.err")"
    else
        [ "$lines" = 1 ] || fail "$how: $lines lines on standard error: $(cat "$work/show.err")"
    fi
    case $said in
    "velm4023: recorded frames "*" into $cut; no video now, render it with: "*"--keys "*"@$cut"*)
        pass "$how: one line gives the command" ;;
    *) fail "$how: standard error: $(cat "$work/show.err")" ;;
    esac
    # The keys replay to the frame the show presented after the Space.
    n=$(basename "$shot" .png)
    n=$((10#${n##*-}))
    rm -rf "$work/replay"
    read -r from to <<<"${range:-0 0}"
    [ "$from" -le "$n" ] && [ "$n" -le "$to" ] || fail "$how: the screenshot's frame $n is not in $from to $to"
    "$CAPTURE" --frames "$n" --keys "@$cut" --png "$work/replay" 2>"$work/replay.err" ||
        fail "$how: replay of frame $n: $(cat "$work/replay.err")"
    convert "$shot" rgb:"$work/a.rgb"
    convert "$work/replay/frame-$(printf %06d "$n").png" rgb:"$work/b.rgb"
    cmp -s "$work/a.rgb" "$work/b.rgb" && pass "$how: frame $n replayed from the keys file equals its screenshot" ||
        fail "$how: frame $n replayed from the keys file differs from its screenshot"
done

[ "$failures" = 0 ] || exit 1

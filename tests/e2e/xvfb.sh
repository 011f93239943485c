# Shared by the end-to-end scripts: a private virtual X server and a way to
# start and stop the show in it. Source, then call xvfb_start; xvfb_stop runs
# at exit. Every wait for a process is bounded (reap).

XVFB_PID=
XVFB_DIR=

# In a sanitizer build the exit status must stay the program's own: SDL's
# video drivers leave allocations behind at exit that a leak check would
# turn into a failure status. The unit tests do the leak checking.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Skip (status 77) unless every named tool exists; in CI (CI=true) a missing
# tool is a failure.
require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            [ "${CI:-}" = true ] && { echo "FAIL: $tool is not installed"; exit 1; }
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
}

WM_PID=
REAP_FAILURES=0

# Waits up to $3 seconds (default 5) for process $2, named $1, to end after it
# was asked to, and collects its status (returned). One still running then is
# killed, and the script says which it was and where it waited; the script
# then fails at exit however its checks went. Nothing here waits unbounded.
reap() {
    local name=$1 pid=$2 limit=${3:-5}
    for _ in $(seq $((limit * 10))); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return; }
        sleep 0.1
    done
    echo "FAIL: $name (pid $pid) still running $limit s after it was told to end," \
        "in ${FUNCNAME[1]:-main} (${BASH_SOURCE[1]:-?} line ${BASH_LINENO[0]}); killed"
    REAP_FAILURES=$((REAP_FAILURES + 1))
    kill -KILL "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return; }
        sleep 0.1
    done
    echo "FAIL: $name (pid $pid) survives SIGKILL; left behind"
    return 1
}

# Start Xvfb on a display number it picks itself (so parallel runs never
# collide) and export DISPLAY. The screen is 1024x768x24 unless given.
# -noreset: by default the server resets whenever its last client leaves, and
# a client connecting during that reset is refused; with the scripts' short
# xprop and xdotool calls coming and going, that refused the window manager's
# or the show's connection now and then on a busy machine.
xvfb_start() {
    XVFB_DIR=$(mktemp -d /tmp/velm-e2e-XXXXXX)
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset 3>"$XVFB_DIR/display" \
        >"$XVFB_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    trap xvfb_exit EXIT
    for _ in $(seq 100); do
        if [ -s "$XVFB_DIR/display" ]; then
            export DISPLAY=":$(head -n1 "$XVFB_DIR/display")"
            unset SDL_VIDEODRIVER WAYLAND_DISPLAY
            # SDL's silent audio driver unless the caller chose one: no sound
            # card is needed, and none prints its complaints into the show's
            # standard error. SDL_AUDIODRIVER=none runs the show without sound.
            export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
            return 0
        fi
        sleep 0.1
    done
    echo "FAIL: Xvfb did not start"; cat "$XVFB_DIR/xvfb.log"
    exit 1
}

# A window manager on the virtual screen, as on a desktop: fullscreen
# requests go through it.
wm_start() {
    openbox >"$XVFB_DIR/wm.log" 2>&1 &
    WM_PID=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "FAIL: the window manager did not start"; cat "$XVFB_DIR/wm.log"
    exit 1
}

xvfb_stop() {
    [ -n "$SHOW_PID" ] && kill -KILL "$SHOW_PID" 2>/dev/null && reap "the show" "$SHOW_PID"
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null && reap "the window manager" "$WM_PID"
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && reap Xvfb "$XVFB_PID"
    [ -n "$XVFB_DIR" ] && rm -rf "$XVFB_DIR"
    SHOW_PID= WM_PID= XVFB_PID= XVFB_DIR=
}

# At exit: everything stopped; a process that had to be killed fails the script.
xvfb_exit() {
    local status=$?
    xvfb_stop
    [ "$REAP_FAILURES" = 0 ] || exit 1
    exit "$status"
}

SHOW_PID=
WINDOW=

# Start the show with SIGINT at its default (a background job of a script
# would otherwise inherit it ignored) and wait for its window. SHOW_CLOSE=stdout
# or stderr starts it with that stream closed. The window must belong to the
# started process, unless SHOW_ANY_PID=1 (a command that starts the show as a
# child of its own, such as make).
show_start() {
    : >"$XVFB_DIR/show.out"
    : >"$XVFB_DIR/show.err"
    case ${SHOW_CLOSE:-} in
        stdout) env --default-signal=INT "$SHOW" >&- 2>"$XVFB_DIR/show.err" & ;;
        stderr) env --default-signal=INT "$SHOW" >"$XVFB_DIR/show.out" 2>&- & ;;
        *) env --default-signal=INT "$SHOW" >"$XVFB_DIR/show.out" 2>"$XVFB_DIR/show.err" & ;;
    esac
    SHOW_PID=$!
    WINDOW=
    # Up to 90 s while the show runs: a sanitizer build, or any build on a
    # machine whose cores are all busy, can take long to open its window;
    # one that never opens it fails, and says what it was doing.
    for _ in $(seq 900); do
        if [ -n "${SHOW_ANY_PID:-}" ]; then
            WINDOW=$(xdotool search --name '^VELM4023$' 2>/dev/null | head -n1)
        else
            WINDOW=$(xdotool search --all --pid "$SHOW_PID" --name '^VELM4023$' 2>/dev/null | head -n1)
        fi
        [ -n "$WINDOW" ] && return 0
        kill -0 "$SHOW_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$SHOW_PID" 2>/dev/null && show_state
    kill -0 "$SHOW_PID" 2>/dev/null && kill -TERM "$SHOW_PID"
    reap "the show" "$SHOW_PID"
    echo "FAIL: no window titled VELM4023 appeared on $DISPLAY (status $?)"; cat "$XVFB_DIR/show.err"
    SHOW_PID=
    exit 1
}

# What a show that has not opened its window is doing: each thread's state
# and where in the kernel it waits, and the windows on the X server.
show_state() {
    local task
    echo "the show (pid $SHOW_PID and its children) after $SECONDS s of the script:"
    for task in /proc/"$SHOW_PID"/task/* $(pgrep -P "$SHOW_PID" | sed 's|^|/proc/|'); do
        [ -r "$task/stat" ] && echo "  ${task#/proc/} $(cut -d' ' -f2,3 "$task/stat") in $(cat "$task/wchan" 2>/dev/null)"
    done
    echo "windows on $DISPLAY:"
    xwininfo -root -tree 2>&1 | grep -E '^ +0x' | head -n 20
}

# Ends the show with SIGTERM, waiting a few seconds at most.
show_stop() {
    kill -TERM "$SHOW_PID" 2>/dev/null
    reap "the show" "$SHOW_PID"
    SHOW_PID=
}

# Wait up to $1 seconds for the show to end; sets SHOW_STATUS, or fails.
show_wait_end() {
    local tenths=$(($1 * 10))
    for _ in $(seq "$tenths"); do
        if ! kill -0 "$SHOW_PID" 2>/dev/null; then
            wait "$SHOW_PID"
            SHOW_STATUS=$?
            SHOW_PID=
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Hold a key long enough to be seen in one frame's drain, then let go.
press() {
    xdotool keydown "$1"
    sleep 0.2
    xdotool keyup "$1"
}

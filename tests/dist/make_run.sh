#!/bin/bash
# `make run` after the build: the show's status 1 (a normal quit) is success,
# every other status is passed on. First with stand-in shows ending with each
# status, then the real show under Xvfb, quit with Escape.
# Usage: make_run.sh BUILD-DIR SOURCE-DIR
set -u
BUILD=$1
SOURCE=$2
. "$SOURCE/tests/e2e/xvfb.sh"
require_tools make Xvfb xdotool
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
work=$(mktemp -d /tmp/velm-run-XXXXXX)
trap 'xvfb_stop; rm -rf "$work"' EXIT
# `-o show`: the recipe alone, without configuring or building again.
run() { make -s -C "$SOURCE" -o show run BUILD="$1" >/dev/null 2>&1; }

mkdir -p "$work/fake/demo"
for pair in 1:0 0:0 2:2 139:139; do
    printf '#!/bin/sh\nexit %s\n' "${pair%:*}" >"$work/fake/demo/velm4023"
    chmod +x "$work/fake/demo/velm4023"
    run "$work/fake"
    status=$?
    if [ "${pair#*:}" = 0 ]; then
        [ "$status" = 0 ] && pass "show status ${pair%:*}: make run succeeds" ||
            fail "show status ${pair%:*}: make run ended with $status"
    else
        [ "$status" != 0 ] && pass "show status ${pair%:*}: make run fails ($status)" ||
            fail "show status ${pair%:*}: make run succeeded"
    fi
done

# The real show, started by make and quit with Escape.
printf '#!/bin/sh\nexec make -s -C "%s" -o show run BUILD="%s"\n' "$SOURCE" "$BUILD" >"$work/make-run"
chmod +x "$work/make-run"
xvfb_start
SHOW=$work/make-run
SHOW_ANY_PID=1 show_start
xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
press Escape
if show_wait_end 10; then
    [ "$SHOW_STATUS" = 0 ] && pass "make run ends with status 0 after Escape" ||
        fail "make run ended with status $SHOW_STATUS after Escape: $(cat "$XVFB_DIR/show.err")"
else
    fail "make run still going 10 s after Escape"
fi

[ "$failures" = 0 ] && echo "all make run checks passed"
exit $((failures > 0))

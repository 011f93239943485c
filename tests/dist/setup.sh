#!/bin/bash
# The README's set-up, as a new user meets it on a fresh Debian 12: in a fresh
# minimal root, `apt-get install make git`, a clone of the commit under test,
# `make run` (which installs what the show needs, builds it and opens its
# window, here on a virtual X server of this machine's, ended by Escape), then
# `make deps` for the tests, which installs the rest and the browser tests'
# npm modules with Debian's own Node.js, accepting every module's engines.
# Prints what each step downloaded and how long it took.
# Usage: setup.sh SOURCE-DIR CACHE-DIR
set -u
SOURCE=$1
CACHE=$2
. "$SOURCE/tests/dist/root.sh"
. "$SOURCE/tests/e2e/xvfb.sh"
require_tools git Xvfb xdotool
RUN_GROUP=
# At exit: make run's processes in the root ended, the X server stopped, the
# root removed.
cleanup() {
    local status=$?
    [ -n "$RUN_GROUP" ] && kill -KILL -- "-$RUN_GROUP" 2>/dev/null
    root_cleanup
    (exit "$status")
    xvfb_exit
}
trap cleanup EXIT

root_unpack
root_archives_in
root_update

# apt's own word on what it downloads: "Need to get 0 B/151 MB of archives"
# (a cached package counts only after the slash).
fetched() { grep -h '^Need to get' "$@" 2>/dev/null | sed -E 's|^Need to get ([^/]*/)?([0-9.,]+ [kMG]?B).*|\2|' | paste -sd+; }

if in_root apt-get install -y -q make git >"$work/make-git.log" 2>&1; then
    pass "apt-get install make git ($(fetched "$work/make-git.log"))"
else
    fail "apt-get install make git: $(tail -n 20 "$work/make-git.log")"; exit 1
fi
git -C "$SOURCE" bundle create "$root/tmp/velm4023.bundle" HEAD >/dev/null 2>&1 ||
    { fail "cannot bundle $SOURCE's HEAD"; exit 1; }
if in_root git clone -q /tmp/velm4023.bundle /root/velm4023 >"$work/clone.log" 2>&1; then
    pass "cloned $(git -C "$SOURCE" rev-parse --short HEAD)"
else
    fail "git clone: $(cat "$work/clone.log")"; exit 1
fi

# make run as the user types it, in the root; the show connects to the
# virtual X server through its abstract socket, which the root shares.
xvfb_start
trap cleanup EXIT
printf '#!/bin/sh\ncd /root/velm4023 && exec make run\n' >"$root/tmp/make-run"
chmod +x "$root/tmp/make-run"
printf '#!/bin/sh\nexec chroot "%s" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive DISPLAY=%s SDL_AUDIODRIVER=%s /tmp/make-run\n' \
    "$root" "$DISPLAY" "$SDL_AUDIODRIVER" >"$work/make-run"
chmod +x "$work/make-run"
start=$SECONDS
setsid "$work/make-run" >"$work/run.log" 2>&1 &
SHOW_PID=$!
RUN_GROUP=$SHOW_PID
# Installing and building take minutes; the wait ends early if make does.
WINDOW=
while [ $((SECONDS - start)) -lt 1200 ] && kill -0 "$SHOW_PID" 2>/dev/null; do
    WINDOW=$(xdotool search --name '^VELM4023$' 2>/dev/null | head -n1)
    [ -n "$WINDOW" ] && break
    sleep 0.5
done
if [ -n "$WINDOW" ]; then
    pass "make run opened the show's window $((SECONDS - start)) s after it began, fetching $(fetched "$work/run.log")"
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW"
    press Escape
    if show_wait_end 15; then
        [ "$SHOW_STATUS" = 0 ] && pass "make run ends with status 0 after Escape" ||
            fail "make run ended with status $SHOW_STATUS after Escape: $(tail -n 20 "$work/run.log")"
    else
        fail "make run still going 15 s after Escape"
    fi
else
    fail "make run opened no window: $(tail -n 30 "$work/run.log")"
fi
xvfb_stop
root_archives_out
# make run builds the show alone, with Debian's recommended extras left out.
for p in clang emscripten chromium nodejs npm libgtest-dev; do
    [ "$(in_root dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] &&
        fail "make run installed $p, which only the tests need"
done
[ -e "$root/root/velm4023/build/tests" ] && fail "make run configured the tests"

# make deps: everything the tests need, and the npm modules from the lockfile.
start=$SECONDS
if in_root sh -c 'cd /root/velm4023 && make deps' >"$work/deps.log" 2>&1; then
    pass "make deps installed the tests' packages in $((SECONDS - start)) s, fetching $(fetched "$work/deps.log")"
else
    fail "make deps: $(tail -n 30 "$work/deps.log")"
fi
root_archives_out
echo "Node.js in the root: $(in_root node --version 2>&1), npm $(in_root npm --version 2>&1)"
grep -q EBADENGINE "$work/deps.log" && fail "npm ci warned: $(grep -m3 EBADENGINE -A3 "$work/deps.log")"
[ -f "$root/root/velm4023/node_modules/.package-lock.json" ] && pass "npm ci installed the locked modules" ||
    fail "no node_modules after make deps"
in_root sh -c 'cd /root/velm4023 && node -e "require(\"puppeteer-core\"); require(\"selenium-webdriver\")"' \
    >"$work/require.log" 2>&1 && pass "Debian's Node.js loads puppeteer-core and selenium-webdriver" ||
    fail "the modules do not load: $(cat "$work/require.log")"

[ "$failures" = 0 ] && echo "the set-up on a fresh root passed"
exit $((failures > 0))

#!/bin/bash
# The browser build draws the very frames of the desktop build: the frame
# program built both ways (the browser's run on Node) must print the same
# fingerprints, and among them the frames tests/demo checks.
# Usage: frames_test.sh DESKTOP-PROGRAM BROWSER-PROGRAM.js tests/demo/show_test.cpp
# Exit status 0 passed, 1 failed, 77 skipped (tool or build missing, outside CI).
set -u
desktop=$1
browser=$2
table=$3

missing() {
    if [ "${CI:-}" = true ]; then echo "FAIL: $*"; exit 1; fi
    echo "SKIP: $*"
    exit 77
}
command -v node >/dev/null 2>&1 || missing "node is not installed"
[ -f "$browser" ] || missing "$browser is not built (make web)"

out=$(mktemp -d /tmp/velm-web-frames-XXXXXX)
trap 'rm -rf "$out"' EXIT
# Standard output is compared; standard error (a sanitizer's summary, say) is
# shown only when a run fails.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$desktop" >"$out/desktop.txt" 2>"$out/desktop.err" \
    || { echo "FAIL: the desktop run failed"; cat "$out/desktop.txt" "$out/desktop.err"; exit 1; }
node "$browser" >"$out/browser.txt" 2>"$out/browser.err" \
    || { echo "FAIL: the browser build's run on Node failed"; cat "$out/browser.txt" "$out/browser.err"; exit 1; }
cat "$out/browser.txt"

failures=0
if ! diff -u "$out/desktop.txt" "$out/browser.txt"; then
    echo "FAIL: the browser build's frames differ from the desktop build's"
    failures=1
fi
checked=$(grep -cE '^ *\{[0-9]+, 0x[0-9a-f]{16}ull, "' "$table")
[ "$checked" -gt 0 ] || { echo "FAIL: no fingerprints found in $table"; failures=1; }
while IFS= read -r line; do
    grep -qF -- "$line" "$out/browser.txt" || { echo "FAIL: not printed: $line"; failures=1; }
done < <(grep -E '^ *\{[0-9]+, 0x[0-9a-f]{16}ull, "' "$table")
[ "$failures" = 0 ] && echo "ok: same frames in the browser build, $checked of them as tests/demo checks them"
exit "$failures"

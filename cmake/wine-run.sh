#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe ARGUMENTS...
# The Wine prefix (Wine's C: drive and registry) is WINEPREFIX, by default
# wine/ in the build folder that holds the program; it is made once, under a
# lock, so that tests started together wait for the one making it. Its home
# folder is wine-home/ beside it, so that the user folders Wine links to the
# home folder (Pictures, Videos, Desktop) never reach the real one. Wine's own
# messages are off unless WINEDEBUG says otherwise; no browser or .NET
# runtime is offered for download.
set -eu
command -v wine >/dev/null 2>&1 || { echo "wine-run: wine is not installed" >&2; exit 127; }
if [ -z "${WINEPREFIX:-}" ]; then
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ] && ! [ -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" = / ] && dir=${TMPDIR:-/tmp}
    export WINEPREFIX="$dir/wine"
fi
export HOME="$WINEPREFIX-home"
mkdir -p "$HOME"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if ! [ -f "$WINEPREFIX/.made" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if ! [ -f "$WINEPREFIX/.made" ]; then
            wineboot --init >/dev/null 2>&1 && wineserver --wait && touch "$WINEPREFIX/.made"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"

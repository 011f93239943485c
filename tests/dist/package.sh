#!/bin/bash
# Checks what gets installed: desktop-file-validate, appstreamcli and man
# find nothing to say; `cmake --install` and the .deb (made with cpack from
# this build) hold every file; lintian reports no error and no warning but
# those the README lists; the unpacked velm4023 opens its window under Xvfb.
# Usage: package.sh BUILD-DIR SOURCE-DIR [EMULATOR...]
# A cross build's programs, the unpacked package's too, start through EMULATOR.
set -u
BUILD=$1
SOURCE=$2
shift 2
EMULATOR=("$@")
. "$SOURCE/tests/e2e/xvfb.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli man Xvfb xdotool
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
work=$(mktemp -d /tmp/velm-dist-XXXXXX)
trap 'xvfb_stop; rm -rf "$work"' EXIT

FILES="bin/velm4023 bin/velm4023-capture
share/man/man6/velm4023.6.gz share/man/man1/velm4023-capture.1.gz
share/applications/velm4023.desktop
share/metainfo/org.velm4023.velm4023.metainfo.xml
share/icons/hicolor/48x48/apps/velm4023.png share/icons/hicolor/128x128/apps/velm4023.png
share/icons/hicolor/256x256/apps/velm4023.png
share/doc/velm4023/copyright"

# Every expected file under a prefix.
check_files() {
    local missing=
    for f in $FILES; do [ -f "$2/$f" ] || missing="$missing $f"; done
    [ -z "$missing" ] && pass "$1 holds every file" || fail "$1 lacks:$missing"
}

# ---- The files' own checkers ---------------------------------------------------
out=$(desktop-file-validate "$SOURCE/dist/velm4023.desktop" 2>&1)
[ -z "$out" ] && pass "desktop-file-validate: clean" || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --no-color "$SOURCE/dist/org.velm4023.velm4023.metainfo.xml" 2>&1)
[ $? = 0 ] && pass "appstreamcli validate: ${out##*$'\n'}" || fail "appstreamcli validate: $out"
for page in velm4023.6 velm4023-capture.1; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$SOURCE/dist/$page" 2>&1 >/dev/null)
    [ -z "$out" ] && pass "man --warnings $page: clean" || fail "man --warnings $page: $out"
done
# Every option the capture tool's --help names is in its manual page.
MANWIDTH=200 man -E UTF-8 -l "$SOURCE/dist/velm4023-capture.1" 2>/dev/null | sed 's/‐/-/g' >"$work/capture.txt"
options=$("${EMULATOR[@]}" "$BUILD/capture/velm4023-capture" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
missing=
for opt in $options; do grep -q -- "$opt" "$work/capture.txt" || missing="$missing $opt"; done
[ -z "$missing" ] && pass "capture manual page names every option:" $options || fail "capture manual page lacks:$missing"

# ---- cmake --install -------------------------------------------------------------
cmake --install "$BUILD" --prefix "$work/prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"
check_files "cmake --install" "$work/prefix"

# ---- The Debian package ----------------------------------------------------------
(cd "$work" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/deb") >"$work/cpack.log" 2>&1
deb=$(ls "$work"/deb/velm4023_*_*.deb 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
    fail "cpack made no .deb: $(tail -n 20 "$work/cpack.log")"
    exit 1
fi
pass "package $(basename "$deb")"
# The sdl12-compat shim by name (a fresh system would otherwise get the
# classic SDL 1.2), beside dpkg-shlibdeps' own line; ffmpeg only suggested.
depends=$(dpkg-deb -f "$deb" Depends)
case $depends in
*libsdl1.2-compat-shim*libc6*) pass "Depends: $depends" ;;
*) fail "Depends lacks the shim or the computed libraries: \"$depends\"" ;;
esac
suggests=$(dpkg-deb -f "$deb" Suggests)
[ "$suggests" = ffmpeg ] && pass "Suggests: ffmpeg" || fail "Suggests: \"$suggests\", not ffmpeg"
for field in Maintainer Description Section; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field field"
done

# Lintian: no error, and no warning the README does not list with its reason
# (lines "- `tag`: reason" in its lintian section).
allowed=$(sed -n '/^### Lintian warnings/,/^#/p' "$SOURCE/README.md" | sed -n 's/^- `\([a-z0-9+.-]*\)`: .*/\1/p')
lintian "$deb" >"$work/lintian.log" 2>&1
bad=
while read -r kind _ tag _; do
    case $kind in
    E:) bad="$bad $tag" ;;
    W:) grep -qx -- "$tag" <<<"$allowed" || bad="$bad $tag" ;;
    esac
done <"$work/lintian.log"
[ -z "$bad" ] && pass "lintian: no errors, no unlisted warnings" || { fail "lintian:$bad"; cat "$work/lintian.log"; }

dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
check_files "the unpacked .deb" "$work/root/usr"

# The unpacked show starts and opens its window.
xvfb_start
trap 'xvfb_stop; rm -rf "$work"' EXIT
SHOW="$work/root/usr/bin/velm4023"
if [ ${#EMULATOR[@]} -gt 0 ]; then
    { echo '#!/bin/bash'; printf 'exec'; printf ' %q' "${EMULATOR[@]}" "$SHOW"; echo ' "$@"'; } >"$work/show"
    chmod +x "$work/show"
    SHOW="$work/show"
fi
show_start
pass "the unpacked velm4023 opened its window"
show_stop

[ "$failures" = 0 ] && echo "all package checks passed"
exit $((failures > 0))

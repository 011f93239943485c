#!/bin/bash
# A new user's install on a fresh Debian 12: the .deb made from this build,
# installed with apt into a minimal bookworm root, must bring the sdl12-compat
# shim (never the classic SDL 1.2, which also answers to libsdl1.2debian) and
# leave ffmpeg, only suggested, out; the installed capture tool then runs a
# frame on the libraries apt chose.
# The root comes from root.sh, fresh from the copy kept in CACHE-DIR.
# Usage: clean_root.sh BUILD-DIR SOURCE-DIR CACHE-DIR
set -u
BUILD=$1
SOURCE=$2
CACHE=$3
. "$SOURCE/tests/dist/root.sh"
for tool in cpack dpkg-deb; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
trap root_cleanup EXIT

# The package, as package.sh makes it.
(cd "$work" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/deb") >"$work/cpack.log" 2>&1
deb=$(ls "$work"/deb/velm4023_*_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { fail "cpack made no .deb: $(tail -n 20 "$work/cpack.log")"; exit 1; }
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Suggests: $(dpkg-deb -f "$deb" Suggests)"
echo "package made (${SECONDS} s)"

root_unpack
cp "$deb" "$root/tmp/"
root_archives_in
root_update
# A root thrown away after the test: dpkg need not sync every file.
if in_root apt-get install -y -q -o Dpkg::Options::=--force-unsafe-io "/tmp/$(basename "$deb")" \
    >"$work/install.log" 2>&1; then
    pass "apt installed $(basename "$deb") into a fresh bookworm root"
else
    fail "apt-get install: $(tail -n 20 "$work/install.log")"
fi
root_archives_out

installed() { [ "$(in_root dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]; }
echo "SDL in the root:"
in_root dpkg-query -W -f='  ${Package} ${Version} ${db:Status-Status}\n' 'libsdl*' 2>/dev/null
installed libsdl1.2-compat-shim && pass "apt chose the sdl12-compat shim" || fail "libsdl1.2-compat-shim not installed"
installed libsdl1.2debian && fail "apt installed the classic SDL 1.2 (libsdl1.2debian)"
installed ffmpeg && fail "ffmpeg was installed; it is only suggested"

# The capture tool runs the show's code on the installed libraries: the
# shim, which loads SDL 2, with its dummy video driver.
bytes=$(in_root velm4023-capture --frames 1:1 --ppm-stream 2>"$work/capture.log" | wc -c)
[ "$bytes" -gt 196608 ] && pass "the installed velm4023-capture wrote frame 1 ($bytes bytes)" ||
    fail "the installed velm4023-capture wrote $bytes bytes: $(cat "$work/capture.log")"

[ "$failures" = 0 ] && echo "the clean-root install passed"
exit $((failures > 0))

#!/bin/bash
# A new user's install on a fresh Debian 12: the .deb made from this build,
# installed with apt into a minimal bookworm root, must bring the sdl12-compat
# shim (never the classic SDL 1.2, which also answers to libsdl1.2debian) and
# leave ffmpeg, only suggested, out; the installed capture tool then runs a
# frame on the libraries apt chose.
# The pristine root is made once with debootstrap and kept as a tarball in
# CACHE-DIR, with apt's package lists and the packages it downloads beside it
# (apt-get update then only asks whether the lists changed); every run unpacks
# a fresh copy. Needs root (chroot), debootstrap and the Debian mirror: without
# them the test skips, except in CI (CI=true), where it fails.
# Usage: clean_root.sh BUILD-DIR SOURCE-DIR CACHE-DIR
set -u
BUILD=$1
SOURCE=$2
CACHE=$3
skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $*"; exit 1; }
    echo "skipped: $*"
    exit 77
}
[ "$(id -u)" = 0 ] || skip "not root: making and entering a root needs root"
for tool in debootstrap chroot cpack dpkg-deb tar; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $* (${SECONDS} s)"; }
work=$(mktemp -d /tmp/velm-root-XXXXXX)
trap 'rm -rf "$work"' EXIT
root=$work/root
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

# The package, as package.sh makes it.
(cd "$work" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/deb") >"$work/cpack.log" 2>&1
deb=$(ls "$work"/deb/velm4023_*_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { fail "cpack made no .deb: $(tail -n 20 "$work/cpack.log")"; exit 1; }
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Suggests: $(dpkg-deb -f "$deb" Suggests)"
echo "package made (${SECONDS} s)"

# The pristine root, from the Debian mirror this machine's apt uses.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null |
    grep -v '^ *#' | grep -oE 'https?://[^ ]*/debian/?( |$)' | head -n1 | tr -d ' ')
mirror=${mirror:-http://deb.debian.org/debian}
pristine=$CACHE/bookworm-minbase.tar
mkdir -p "$CACHE/archives" "$CACHE/lists"
if [ ! -f "$pristine" ]; then
    echo "making the pristine root with debootstrap from $mirror (once per build folder)"
    rm -rf "$CACHE/root.new"
    if ! debootstrap --variant=minbase bookworm "$CACHE/root.new" "$mirror" >"$work/debootstrap.log" 2>&1; then
        tail -n 5 "$work/debootstrap.log"
        rm -rf "$CACHE/root.new"
        skip "debootstrap could not make a root (no network or mirror?)"
    fi
    rm -f "$CACHE"/root.new/var/cache/apt/archives/*.deb
    tar -C "$CACHE/root.new" -cf "$pristine.new" . && mv "$pristine.new" "$pristine"
    rm -rf "$CACHE/root.new"
fi

mkdir "$root" && tar -C "$root" -xf "$pristine" || { fail "cannot unpack $pristine"; exit 1; }
echo "fresh root unpacked (${SECONDS} s)"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
cp "$deb" "$root/tmp/"
cp "$CACHE"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null
cp -p "$CACHE"/lists/*_* "$root/var/lib/apt/lists/" 2>/dev/null
if ! in_root apt-get update -q >"$work/update.log" 2>&1; then
    tail -n 5 "$work/update.log"
    skip "apt-get update in the root failed (no network?)"
fi
rm -f "$CACHE"/lists/*_* && cp -p "$root"/var/lib/apt/lists/*_* "$CACHE/lists/" 2>/dev/null
echo "apt-get update done (${SECONDS} s)"
# A root thrown away after the test: dpkg need not sync every file.
if in_root apt-get install -y -q -o Dpkg::Options::=--force-unsafe-io "/tmp/$(basename "$deb")" \
    >"$work/install.log" 2>&1; then
    pass "apt installed $(basename "$deb") into a fresh bookworm root"
else
    fail "apt-get install: $(tail -n 20 "$work/install.log")"
fi
cp -n "$root"/var/cache/apt/archives/*.deb "$CACHE/archives/" 2>/dev/null

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

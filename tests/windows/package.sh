#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked, it holds the two programs, the
# README and every licence; the relinking kit links both programs again with
# the commands relink/RELINK.txt gives; and the relinked capture tool runs
# (under Wine) and writes the same first frame as the one in the zip.
#   package.sh ZIP
set -uo pipefail
ZIP=$1
source "$(dirname "$0")/../e2e/xvfb.sh"   # require_tools
require_tools unzip wine x86_64-w64-mingw32-g++-posix
RUN="$(dirname "$0")/../../cmake/wine-run.sh"
export WINEPREFIX="${WINEPREFIX:-$(dirname "$ZIP")/wine}"
WORK=$(mktemp -d /tmp/velm-winzip-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

unzip -q "$ZIP" -d "$WORK" || { echo "FAIL: cannot unpack $ZIP"; exit 1; }
TOP="$WORK/$(basename "$ZIP" .zip)"
for file in velm4023.exe velm4023-capture.exe README.txt relink/RELINK.txt licences/SDL-1.2-LGPL-2.1.txt \
    licences/libpng-LICENSE.txt licences/zlib-LICENSE.txt licences/mingw-w64-runtime.txt \
    licences/VELM4023-copyright.txt sources/how-SDL-was-built.txt; do
    [ -s "$TOP/$file" ] || fail "the zip holds no $file"
done
ls "$TOP"/sources/libsdl1.2_*.orig.tar.* >/dev/null 2>&1 || fail "the zip holds no SDL source"
grep -q $'\r$' "$TOP/README.txt" || fail "README.txt does not end its lines as Windows does"
# Only Windows' own DLLs.
for exe in velm4023.exe velm4023-capture.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$TOP/$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        case $dll in
        advapi32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | ole32.dll | shell32.dll | user32.dll | winmm.dll) ;;
        *) fail "$exe needs $dll, which Windows does not bring" ;;
        esac
    done
done

# Relinking, exactly as RELINK.txt says.
mkdir -p "$WORK/relinked"
while IFS= read -r command; do
    (cd "$TOP/relink" && eval "${command%$'\r'}") || fail "relinking failed: ${command:0:60}..."
done < <(grep '^    x86_64-w64-mingw32-g++-posix ' "$TOP/relink/RELINK.txt")
[ -f "$TOP/relink/velm4023.exe" ] || fail "relinking made no velm4023.exe"
if [ -f "$TOP/relink/velm4023-capture.exe" ]; then
    "$RUN" "$TOP/velm4023-capture.exe" --frames 1 --ppm-stream > "$WORK/zipped.ppm" 2>/dev/null
    "$RUN" "$TOP/relink/velm4023-capture.exe" --frames 1 --ppm-stream > "$WORK/relinked.ppm" 2>/dev/null
    [ -s "$WORK/zipped.ppm" ] && cmp -s "$WORK/zipped.ppm" "$WORK/relinked.ppm" ||
        fail "the relinked capture tool does not write the zipped one's first frame"
else
    fail "relinking made no velm4023-capture.exe"
fi
[ $failures = 0 ] && echo "PASS: the zip is whole and relinks"
exit $((failures > 0))

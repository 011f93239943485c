#!/bin/sh
# Packs the Windows zip (run by the build, dist/windows/CMakeLists.txt):
#   zip.sh ZIP SOURCE DEPS STRIP SHOW CAPTURE SHOWOBJ... -- CAPTUREOBJ... -- LIB...
# ZIP is the zip to write (its name without .zip is the folder inside);
# SOURCE the source tree; DEPS the folder of the libraries cross-built from
# Debian's sources (cmake/windows-libs.sh); STRIP the cross strip; SHOW and
# CAPTURE the two programs; then the object files of each program's own and
# the static libraries of the show's modules: with SDL's, libpng's and
# zlib's, the relinking kit that SDL's licence asks for (relink/RELINK.txt).
set -eu
ZIP=$1 SOURCE=$2 DEPS=$3 STRIP=$4 SHOW=$5 CAPTURE=$6
shift 6
NAME=$(basename "$ZIP" .zip)
STAGE=$(dirname "$ZIP")/zip-stage
rm -rf "$STAGE" "$ZIP"
TOP=$STAGE/$NAME
mkdir -p "$TOP/licences" "$TOP/relink" "$TOP/sources"

"$STRIP" -o "$TOP/velm4023.exe" "$SHOW"
"$STRIP" -o "$TOP/velm4023-capture.exe" "$CAPTURE"
mkdir -p "$TOP/relink/velm4023" "$TOP/relink/velm4023-capture"
into=$TOP/relink/velm4023
for file in "$@"; do
    if [ "$file" = -- ]; then
        [ "$into" = "$TOP/relink/velm4023" ] && into=$TOP/relink/velm4023-capture || into=$TOP/relink
        continue
    fi
    cp "$file" "$into/"
done
for lib in libSDL.a libpng16.a libz.a; do cp "$DEPS/prefix/lib/$lib" "$TOP/relink/"; done

only() {   # the one file matching a pattern
    set -- $1
    [ -e "$1" ] || { echo "zip.sh: missing $1" >&2; exit 1; }
    echo "$1"
}
SDL=$(only "$DEPS/src/libsdl1.2-*/COPYING")
cp "$SDL" "$TOP/licences/SDL-1.2-LGPL-2.1.txt"
cp "$(only "$DEPS/src/libpng1.6-*/LICENSE")" "$TOP/licences/libpng-LICENSE.txt"
cp "$(only "$DEPS/src/zlib-*/LICENSE")" "$TOP/licences/zlib-LICENSE.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$TOP/licences/mingw-w64-runtime.txt"
cp "$SOURCE/dist/copyright" "$TOP/licences/VELM4023-copyright.txt"
# SDL as built: Debian's source package and the one change made to it.
for file in "$DEPS"/src/libsdl1.2_*; do cp "$file" "$TOP/sources/"; done
sed -n '/^sdl)/,/^    ;;/p' "$SOURCE/cmake/windows-libs.sh" > "$TOP/sources/how-SDL-was-built.txt"

cp "$SOURCE/dist/windows/README.txt" "$TOP/README.txt"
cp "$SOURCE/dist/windows/RELINK.txt" "$TOP/relink/RELINK.txt"
# Windows' own editors want CR LF.
for text in "$TOP/README.txt" "$TOP/relink/RELINK.txt" "$TOP"/licences/*.txt "$TOP/sources/how-SDL-was-built.txt"; do
    sed -i 's/\r*$/\r/' "$text"
done

(cd "$STAGE" && zip -q -r -X -9 "$NAME.zip" "$NAME")
mv "$STAGE/$NAME.zip" "$ZIP"
rm -rf "$STAGE"

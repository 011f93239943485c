#!/bin/sh
# The libraries the Windows build links statically (zlib, libpng, SDL 1.2),
# cross-built with mingw-w64 from Debian's own source packages:
#   sh cmake/windows-libs.sh DEPS fetch      private apt lists, then the three sources
#   sh cmake/windows-libs.sh DEPS zlib|libpng|sdl   build one into DEPS/prefix
# DEPS is a folder inside the build folder. apt reads a source list of its own
# there (deb-src lines for the mirrors the system already uses, checked with
# Debian's archive keyring) and keeps its lists and downloads there too: the
# system's sources, lists and cache are never touched. The Makefile keeps a
# stamp per step, so each runs once.
set -eu

DEPS=$(mkdir -p "$1" && cd "$1" && pwd)
STEP=$2
HOST=x86_64-w64-mingw32
PREFIX=$DEPS/prefix
SRC=$DEPS/src
APT=$DEPS/apt
JOBS=${JOBS:-2}
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

apt_private() {
    apt-get -o Dir::Etc::SourceList="$APT/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" \
        -o APT::Sandbox::User=root -o DPkg::Lock::Timeout=900 "$@"
}

# deb-src lines for every Debian mirror and suite in the system's own lists,
# one-line (.list) and deb822 (.sources) alike.
source_lines() {
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*debian[^ ]*\) \([^ ]*\).*/\2 \3/p' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '/^URIs:/ { uris = $0; sub(/^URIs: */, "", uris) }
             /^Suites:/ { suites = $0; sub(/^Suites: */, "", suites) }
             /^$/ { flush() } END { flush() }
             function flush(  u, s, nu, ns, i, j) {
                 nu = split(uris, u, " "); ns = split(suites, s, " ")
                 for (i = 1; i <= nu; i++) if (u[i] ~ /debian/) for (j = 1; j <= ns; j++) print u[i], s[j]
                 uris = ""; suites = ""
             }' "$file"
    done
}

fetch() {
    mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial" "$SRC"
    source_lines | sort -u | while read -r uri suite; do
        echo "deb-src [signed-by=$KEYRING] $uri $suite main"
    done >"$APT/sources.list"
    if ! [ -s "$APT/sources.list" ]; then
        echo "windows-libs: no Debian mirror in /etc/apt/sources.list(.d)" >&2
        exit 1
    fi
    apt_private update
    # Unpacked (with Debian's patches applied) by dpkg-source: the newest
    # version of each in the suites above, else (a mirror that lists an
    # update whose files it does not hold) the release's own.
    release=$(source_lines | awk '$2 !~ /-/ { print $2; exit }')
    rm -rf "$SRC" && mkdir -p "$SRC"
    for package in zlib libpng1.6 libsdl1.2; do
        (cd "$SRC" && { apt_private source --only-source "$package" ||
            { rm -f "$package"_*; apt_private source --only-source "$package/$release"; }; })
    done
}

# The one unpacked folder of a source package ("zlib-1.2.13.dfsg").
unpacked() {
    for dir in "$SRC/$1"-*/; do
        [ -d "$dir" ] && { echo "${dir%/}"; return; }
    done
    echo "windows-libs: $1 is not unpacked in $SRC; run the fetch step" >&2
    exit 1
}

export CC=$HOST-gcc-posix AR=$HOST-ar RANLIB=$HOST-ranlib

case $STEP in
fetch) fetch ;;
zlib)
    dir=$(unpacked zlib)
    rm -rf "$DEPS/build-zlib" && cp -r "$dir" "$DEPS/build-zlib"
    cd "$DEPS/build-zlib"
    CHOST=$HOST CFLAGS="-O2" ./configure --static --prefix="$PREFIX"
    make -j"$JOBS" libz.a
    make install-libs   # also zlib.pc
    mkdir -p "$PREFIX/include" && cp zlib.h zconf.h "$PREFIX/include/"
    ;;
libpng)
    dir=$(unpacked libpng1.6)
    rm -rf "$DEPS/build-libpng" && mkdir -p "$DEPS/build-libpng"
    cd "$DEPS/build-libpng"
    "$dir/configure" --host=$HOST --prefix="$PREFIX" --disable-shared --enable-static \
        CPPFLAGS="-I$PREFIX/include" LDFLAGS="-L$PREFIX/lib" CFLAGS="-O2"
    make -j"$JOBS" libpng16.la
    make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS
    # Named as Debian names it; zlib comes along for a static link.
    version=$(sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"/\1/p' "$dir/png.h")
    {
        echo "prefix=$PREFIX"
        echo "Name: libpng"
        echo "Description: libpng with zlib, static, for Windows"
        echo "Version: $version"
        echo "Libs: -L\${prefix}/lib -lpng16 -lz"
        echo "Cflags: -I\${prefix}/include/libpng16 -I\${prefix}/include"
    } >"$PREFIX/lib/pkgconfig/libpng.pc"
    ;;
sdl)
    dir=$(unpacked libsdl1.2)
    # The dummy video driver (the capture tool's and the tests') stands for a
    # desktop of 8 bits a pixel; the other SDL the show runs on gives 32, as
    # a desktop today has, and the same frames need the same screen.
    sed -i -e 's/vformat->BitsPerPixel = 8;/vformat->BitsPerPixel = 32;/' \
        -e 's/vformat->BytesPerPixel = 1;/vformat->BytesPerPixel = 4;/' "$dir/src/video/dummy/SDL_nullvideo.c"
    rm -rf "$DEPS/build-sdl" && mkdir -p "$DEPS/build-sdl"
    cd "$DEPS/build-sdl"
    "$dir/configure" --host=$HOST --prefix="$PREFIX" --disable-shared --enable-static CFLAGS="-O2"
    make -j"$JOBS"
    make install
    # The program brings its own entry and chooses console or window itself,
    # so SDLmain and -mwindows are left out; SDL.h's renaming of main to
    # SDL_main is kept away by defining the include guard of its SDL_main.h
    # (the program declares SDL_main itself). The system libraries follow,
    # for a static link.
    version=$(sed -n 's/^Version: //p' "$DEPS/build-sdl/sdl.pc")
    {
        echo "prefix=$PREFIX"
        echo "Name: sdl"
        echo "Description: SDL 1.2, static, for Windows, without SDLmain"
        echo "Version: $version"
        echo "Libs: -L\${prefix}/lib -lSDL -luser32 -lgdi32 -lwinmm -ldxguid"
        echo "Cflags: -I\${prefix}/include/SDL -D_SDL_main_h"
    } >"$PREFIX/lib/pkgconfig/sdl.pc"
    ;;
*)
    echo "windows-libs: unknown step $STEP" >&2
    exit 2
    ;;
esac

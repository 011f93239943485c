#!/bin/sh
# Host differences live only in folders named after a host (linux, windows,
# web): no other source file of the program's modules tests which host it is
# built for or includes a host's own headers. Prints each offending line.
# Usage: host_folders.sh REPOSITORY_ROOT
cd "$1" || exit 2
found=$(find img text platform demo sound capture host -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' |
    grep -Ev '(^|/)(linux|windows|web)/' | sort |
    xargs grep -nE '^[[:space:]]*#[[:space:]]*(((if|ifdef|ifndef|elif).*(__EMSCRIPTEN__|_WIN32|__linux__|__unix__|__APPLE__))|include[[:space:]]*<(X11/|unistd\.h|fcntl\.h|signal\.h|csignal|spawn\.h|sys/|windows\.h|emscripten))')
if [ -n "$found" ]; then
    echo "host tests or host headers outside a host folder:"
    echo "$found"
    exit 1
fi
echo "no host test outside a host folder"

#!/bin/bash
# The same show on another machine: a capture tool built for another system,
# started through that system's emulator (qemu-user, wine), writes every frame
# of a whole cycle (--ppm-stream) and its sound (--wav) to the byte as the
# capture tool built for this machine. The streams are compared by their
# SHA-256 as they are written, so nothing the size of the frames lands on disk.
# Usage: same_output.sh NATIVE-CAPTURE [EMULATOR...] TARGET-CAPTURE
# Without NATIVE-CAPTURE the test skips, except in CI (CI=true), where it fails.
set -u -o pipefail
NATIVE=$1
shift
TARGET=("$@")
if [ -z "$NATIVE" ] || [ ! -x "$NATIVE" ]; then
    [ "${CI:-}" = true ] && { echo "FAIL: no native capture tool (\"$NATIVE\") to compare with"; exit 1; }
    echo "SKIP: no native capture tool (\"$NATIVE\") to compare with"
    exit 77
fi
dir=$(mktemp -d /tmp/velm-cross-XXXXXX)
trap 'rm -rf "$dir"' EXIT
FRAMES=1:4001

# Prints the length and SHA-256 of the PPM stream, then of the WAV file, that
# one tool writes.
digests() {
    local name=$1
    shift
    mkfifo "$dir/$name.fifo"
    sha256sum <"$dir/$name.fifo" >"$dir/$name.sha" &
    local hasher=$!
    "$@" --frames $FRAMES --ppm-stream --wav "$dir/$name.wav" 2>"$dir/$name.err" </dev/null |
        tee "$dir/$name.fifo" | wc -c >"$dir/$name.size"
    local status=${PIPESTATUS[0]}
    wait $hasher
    [ "$status" = 0 ] || { echo "FAIL: $name capture, status $status: $(tail -n 5 "$dir/$name.err")" >&2; return 1; }
    echo "$(cat "$dir/$name.size"):$(cut -d' ' -f1 "$dir/$name.sha")" \
        "$(stat -c %s "$dir/$name.wav"):$(sha256sum <"$dir/$name.wav" | cut -d' ' -f1)"
}

native=$(digests native "$NATIVE") || exit 1
target=$(digests target "${TARGET[@]}") || exit 1
read -r native_frames native_sound <<<"$native"
read -r target_frames target_sound <<<"$target"
# Two empty outputs would agree: the native tool must have written something.
if [ "${native_frames%%:*}" -gt 0 ] 2>/dev/null && [ "${native_sound%%:*}" -gt 0 ] 2>/dev/null; then :; else
    echo "FAIL: the native tool wrote nothing: bytes:sha256 $native_frames $native_sound"
    exit 1
fi
failures=0
if [ "$native_frames" = "$target_frames" ]; then
    echo "ok: frames $FRAMES identical (bytes:sha256 $native_frames)"
else
    echo "FAIL: frames $FRAMES differ: native $native_frames, ${TARGET[*]}: $target_frames"
    failures=1
fi
if [ "$native_sound" = "$target_sound" ]; then
    echo "ok: sound of frames $FRAMES identical (bytes:sha256 $native_sound)"
else
    echo "FAIL: sound of frames $FRAMES differs: native $native_sound, ${TARGET[*]}: $target_sound"
    failures=1
fi
exit $failures

# Shared by the fresh-root tests: a minimal Debian 12 root, made once with
# debootstrap and kept as a tarball in CACHE (with apt's package lists and the
# packages it downloads beside it), unpacked fresh for every run. Source after
# setting CACHE; needs root (chroot) and the Debian mirror: without them the
# test skips, except in CI (CI=true), where it fails.

skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $*"; exit 1; }
    echo "skipped: $*"
    exit 77
}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $* (${SECONDS} s)"; }

[ "$(id -u)" = 0 ] || skip "not root: making and entering a root needs root"
for tool in debootstrap chroot tar; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d /tmp/velm-root-XXXXXX)
root=$work/root
# A command in the root with a clean environment; extra NAME=VALUE words may
# come first.
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }

# Unpacks a fresh copy of the pristine root into $root, making the pristine
# one first if needed, and lets it reach the package registries as this
# machine does: its resolver and its extra certificate authorities (which
# update-ca-certificates takes in once the root has ca-certificates).
root_unpack() {
    local mirror pristine=$CACHE/bookworm-minbase.tar
    mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -v '^ *#' | grep -oE 'https?://[^ ]*/debian/?( |$)' | head -n1 | tr -d ' ')
    mirror=${mirror:-http://deb.debian.org/debian}
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
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/" 2>/dev/null
    echo "fresh root unpacked (${SECONDS} s)"
}

# apt-get update in the root, starting from the cached lists.
root_update() {
    cp -p "$CACHE"/lists/*_* "$root/var/lib/apt/lists/" 2>/dev/null
    if ! in_root apt-get update -q >"$work/update.log" 2>&1; then
        tail -n 5 "$work/update.log"
        skip "apt-get update in the root failed (no network?)"
    fi
    rm -f "$CACHE"/lists/*_* && cp -p "$root"/var/lib/apt/lists/*_* "$CACHE/lists/" 2>/dev/null
    echo "apt-get update done (${SECONDS} s)"
}

# The packages downloaded so far, from the cache into the root and back.
root_archives_in() { cp "$CACHE"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null; }
root_archives_out() { cp -n "$root"/var/cache/apt/archives/*.deb "$CACHE/archives/" 2>/dev/null; }

# Unmounts whatever a test mounted in the root, then removes it.
root_cleanup() {
    local m
    for m in $(awk -v r="$root" 'index($2, r) == 1 { print $2 }' /proc/mounts | sort -r); do
        umount -l "$m" 2>/dev/null
    done
    rm -rf "$work"
}

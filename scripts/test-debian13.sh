#!/usr/bin/env bash
# Builds the Windows program and its tests with Debian 13's MinGW and runs the whole Windows CTest
# suite under Debian 13's Wine 10, from a Debian 12 (or 13) machine: in a bare Debian 13 root made
# with debootstrap from the mirror the machine's apt sources name, entered with bubblewrap. The root
# is kept in ORVANE_DEBIAN13_ROOT (/var/cache/orvane/debian13-root by default) and used again by the
# next run once it was made whole; the sources are copied in afresh and built from nothing each time.
# bubblewrap makes no user namespace of its own, so scripts/with-wine32.sh can still make one inside
# for 32-bit Wine under qemu. Needs root, as apt and debootstrap do.
set -euo pipefail
root_dir=${ORVANE_DEBIAN13_ROOT:-/var/cache/orvane/debian13-root}
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "$0: run as root (debootstrap and apt need it)" >&2; exit 1; }

make_root() {
    local mirror security
    mirror=$("$here/debian-mirror.sh")
    security=$("$here/debian-mirror.sh" --security)
    [ -n "$mirror" ] || { echo "no Debian mirror named in the apt sources" >&2; exit 1; }
    rm -rf "$root_dir"
    mkdir -p "$root_dir"
    echo "== a bare Debian 13 root in $root_dir, from $mirror"
    debootstrap --variant=minbase trixie "$root_dir" "$mirror" >"$root_dir.log" 2>&1 ||
        { tail -20 "$root_dir.log" >&2; exit 1; }
    rm -f "$root_dir/etc/apt/sources.list"
    {
        printf 'Types: deb\nURIs: %s\nSuites: trixie trixie-updates\nComponents: main\n' "$mirror"
        printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        if [ -n "$security" ]; then
            printf '\nTypes: deb\nURIs: %s\nSuites: trixie-security\nComponents: main\n' "$security"
            printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        fi
    } >"$root_dir/etc/apt/sources.list.d/debian.sources"
    touch "$root_dir/.orvane-root-made"
}

# Inside the root: its own /tmp (writable by apt's own user), /dev, /proc, and no network but for
# apt, which the install needs; the tests' Xvfb displays run with the network unshared, so that they
# cannot meet the machine's.
in_root() {
    local network=$1
    shift
    cp /etc/resolv.conf "$root_dir/etc/resolv.conf"
    bwrap --bind "$root_dir" / --dev /dev --proc /proc --ro-bind /sys /sys --perms 1777 --tmpfs /tmp \
        $network --chdir /src \
        env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 CI="${CI:-}" \
        ORVANE_WINE32_EMULATED="${ORVANE_WINE32_EMULATED:-0}" "$@"
}

"$here/install-deps.sh" debootstrap bubblewrap
[ -f "$root_dir/.orvane-root-made" ] || make_root
echo "== the sources, copied into the root"
rm -rf "$root_dir/src"
mkdir -p "$root_dir/src"
(cd "$project" && git ls-files -z | tar --null -T - -c) | tar -x -C "$root_dir/src"
in_root "" bash scripts/install-deps.sh
# The downloaded packages are installed: the root need not keep them (800 MB).
in_root "" apt-get clean
echo "== windows, with Debian 13's MinGW (GCC $(in_root "" i686-w64-mingw32-gcc-win32 -dumpversion)) and Wine $(in_root "" /usr/lib/wine/wine64 --version)"
in_root --unshare-net bash -c 'cmake --preset windows >/dev/null && cmake --build --preset windows'
in_root --unshare-net scripts/with-wine32.sh ctest --preset windows

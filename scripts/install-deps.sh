#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing. Where the kernel
# cannot execute 32-bit code, it also installs qemu's user-mode emulator from bookworm-backports,
# which scripts/with-wine32.sh registers for its own processes only.
set -euo pipefail
packages=(cmake make g++ git python3 googletest clang clang-format libclang-rt-14-dev
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-tools
    wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing() {
    local package
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || echo "$package"
    done
}

install() {
    echo "Installing: $*"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@"
}

# A mirror in the middle of a sync serves an index that does not match its release file, and apt
# fails the whole update for it. Try again a little later; then go on with the lists apt did fetch,
# and the install says what it cannot find, if anything.
update_lists() {
    local attempt
    for attempt in 1 2 3; do
        $sudo apt-get update -q && return 0
        [ "$attempt" -lt 3 ] && sleep 30
    done
    echo "apt-get update failed three times; installing from the lists it has" >&2
}

# The mirror the machine's own sources already name; no host is written into the repository.
debian_mirror() {
    local uri
    uri=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}' | grep -v security | head -1)
    [ -n "$uri" ] || uri=$(grep -hs '^deb ' /etc/apt/sources.list | awk '{print $2}' | grep -v security | head -1)
    echo "$uri"
}

add_backports() {
    local list=/etc/apt/sources.list.d/bookworm-backports.sources mirror
    grep -qsr 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d && return 0
    mirror=$(debian_mirror)
    [ -n "$mirror" ] || { echo "no Debian mirror named in the apt sources" >&2; return 1; }
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
        "$mirror" /usr/share/keyrings/debian-archive-keyring.gpg | $sudo tee "$list" >/dev/null
    update_lists
}

mapfile -t needed < <(missing "${packages[@]}")
if [ ${#needed[@]} -gt 0 ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    update_lists
    install "${needed[@]}"
fi

# qemu 10 brings Wine up in about 3 s; bookworm's own 7.2 takes about 80 s.
if { [ "${ORVANE_WINE32_EMULATED:-0}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; } &&
    [ ! -x /usr/bin/qemu-i386 ]; then
    add_backports
    install -t bookworm-backports qemu-user
fi

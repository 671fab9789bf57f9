#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing, on Debian 12
# (bookworm) or 13 (trixie). Where the kernel cannot execute 32-bit code, it also installs qemu's
# user-mode emulator (Debian 12's own is too old: from bookworm-backports there), which
# scripts/with-wine32.sh registers for its own processes only.
set -euo pipefail
# libclang-rt-dev: the sanitizer and fuzzer runtimes of the release's default clang.
packages=(cmake make g++ git python3 googletest librapidcheck-dev clang clang-format libclang-rt-dev
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-tools
    wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei fonts-wine
    "$@")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

missing() {
    local package
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || echo "$package"
    done
}

apt_install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@"
}

# A mirror in the middle of a sync can serve one architecture's index of a suite that does not match
# its signed release file; apt leaves that index out, and the other architecture's newer versions
# from that suite then leave nothing the multiarch packages can agree on. The release's own suite
# is signed and whole for both: the install is tried again from it. apt checks every index as ever.
install() {
    echo "Installing: $*"
    apt_install "$@" && return 0
    [ -n "$codename" ] || { echo "The install failed, and /etc/os-release names no release." >&2; return 1; }
    echo "The install failed (an index may be missing from the mirror); trying again from $codename alone."
    apt_install -t "$codename" "$@" && return 0
    echo "The install from $codename failed too: see apt's messages above." >&2
    return 1
}

# A failed update leaves out only the indexes it could not check; the install says what it cannot
# find, if anything. One more try a little later, for a sync that is just ending.
update_lists() {
    $sudo apt-get update -q && return 0
    sleep 10
    $sudo apt-get update -q && return 0
    echo "apt-get update failed twice; installing from the lists it has" >&2
}

add_backports() {
    local list=/etc/apt/sources.list.d/$codename-backports.sources mirror
    grep -qsr "$codename-backports" /etc/apt/sources.list /etc/apt/sources.list.d && return 0
    mirror=$("$(dirname "$0")/debian-mirror.sh")
    [ -n "$mirror" ] || { echo "no Debian mirror named in the apt sources" >&2; return 1; }
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
        "$mirror" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg | $sudo tee "$list" >/dev/null
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

# qemu 10 brings Wine up in about 3 s; bookworm's own 7.2 takes about 80 s. Later releases have 10.
if { [ "${ORVANE_WINE32_EMULATED:-0}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; } &&
    [ ! -x /usr/bin/qemu-i386 ]; then
    if [ "$codename" = bookworm ]; then
        add_backports
        install -t bookworm-backports qemu-user
    else
        install qemu-user
    fi
fi

#!/usr/bin/env bash
# Runs a command where 32-bit Wine can start. Where the kernel executes 32-bit code, the command
# runs as it is. Where it cannot, the command runs in a private user and mount namespace in which
# qemu's user-mode emulator is registered for 32-bit x86 programs: nothing is registered for the
# rest of the machine, and the registration goes away with the command's processes.
# ORVANE_WINE32_EMULATED=1 takes the emulated way even where the kernel could run the programs
# itself, as CI's machines do not: to reproduce a run there.
# Usage: with-wine32.sh COMMAND [ARGUMENT...]
set -euo pipefail
wine32=/usr/lib/wine/wine
qemu=/usr/bin/qemu-i386
# binfmt_misc's rule for 32-bit x86 ELF programs; F opens the emulator now, P keeps argv[0].
i386_elf_rule=":orvane-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
i386_elf_rule+=":\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:FP"

if [ "${1:-}" = --registered ]; then
    shift
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf '%s' "$i386_elf_rule" >/proc/sys/fs/binfmt_misc/register
    exec "$@"
fi

if [ "${ORVANE_WINE32_EMULATED:-0}" != 1 ] && "$wine32" --version >/dev/null 2>&1; then
    exec "$@"
fi
if [ ! -x "$qemu" ]; then
    echo "This kernel cannot run 32-bit programs and $qemu is missing (scripts/install-deps.sh installs it)." >&2
    exit 1
fi
echo "32-bit programs run through $qemu." >&2
exec unshare --user --map-root-user --mount bash "$(realpath "$0")" --registered "$@"

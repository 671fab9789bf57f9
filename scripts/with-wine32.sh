#!/usr/bin/env bash
# Runs a command where 32-bit Wine can start. Where the kernel executes 32-bit code, the command
# runs as it is. Where it cannot, the command runs in a private user and mount namespace in which
# qemu's user-mode emulator is registered for 32-bit x86 programs: nothing is registered for the
# rest of the machine, and the registration goes away with the command's processes.
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
    # Under qemu-user, a 32-bit Wine process whose many threads end at once now and then corrupted
    # glibc's heap through its per-thread caches and arenas (the many-captures test failed in about
    # one run of six, with "tcache_thread_shutdown(): unaligned tcache chunk", for the program from
    # before as well). With one shared arena and no per-thread cache it passed 75 runs of 75.
    export GLIBC_TUNABLES=glibc.malloc.tcache_count=0:glibc.malloc.arena_max=1
    exec "$@"
fi

if "$wine32" --version >/dev/null 2>&1; then
    exec "$@"
fi
if [ ! -x "$qemu" ]; then
    echo "This kernel cannot run 32-bit programs and $qemu is missing (scripts/install-deps.sh installs it)." >&2
    exit 1
fi
echo "This kernel cannot execute 32-bit code: 32-bit programs run through $qemu." >&2
exec unshare --user --map-root-user --mount bash "$(realpath "$0")" --registered "$@"

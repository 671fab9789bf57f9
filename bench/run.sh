#!/usr/bin/env bash
# Prints, in one run: the lines of tests and of product code and the tests' share, the
# start-to-visible-dialog time of the tool, of a bare program that shows the tool's own dialog
# template, and of a minimal dialog program (median of 10, and the tool's ratio to each), the .exe
# size and its DLL imports, the CPU of one running capture, the pace of a sequence over the 28
# inputs of the standard layout, 200 runs of start, OK and exit, and how many key taps of 0 to
# 100 ms a capture sees (20 tries each). Where the kernel
# cannot execute 32-bit code, the programs run through qemu's emulation, which inflates the times.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# With --starts, only the start-up times.
if [ "${1:-}" != --measure ]; then
    "$root/scripts/code-share.sh"
    "$root/scripts/install-deps.sh"
    cmake --preset windows >/dev/null
    cmake --build --preset windows >/dev/null
    exec "$root/scripts/with-wine32.sh" "$0" --measure "$@"
fi
shift
build=$root/build/windows
echo "orvane_config.exe (32-bit): $(stat -c %s "$build/orvane_config.exe") bytes; imports:" \
    $(i686-w64-mingw32-objdump -p "$build/orvane_config.exe" | awk '/DLL Name/ {print $3}')
session=$root/build/bench-session
mkdir -p "$session"
"$root/scripts/wine-session.sh" start "$session" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
. "$session/wine-session.env"
"$WINE" "$build/bench/tool_bench.exe" "$build/orvane_config.exe" "$build/bench/minimal_dialog.exe" \
    "$build/bench/template_dialog.exe" "$@"

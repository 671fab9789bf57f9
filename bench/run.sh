#!/usr/bin/env bash
# Prints, in one run: start-to-visible-dialog time of the tool and of a minimal dialog program
# (median of 10, and their ratio), the .exe size and its DLL imports, the CPU of one running
# capture, and how many key taps of 0 to 100 ms a capture sees (20 tries each).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
. "$root/scripts/wine-loader.sh"
build=build/windows
if [ "$ORVANE_WINE_BITS" = 64 ]; then
    echo "(This machine cannot run 32-bit code: timings are of the 64-bit build of the same sources.)"
    build=build/windows64
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64 >/dev/null
fi
echo "orvane_config.exe (32-bit): $(stat -c %s build/windows/orvane_config.exe) bytes; imports:" \
    $(i686-w64-mingw32-objdump -p build/windows/orvane_config.exe | awk '/DLL Name/ {print $3}')
session=$root/build/bench-session
mkdir -p "$session"
"$root/scripts/wine-session.sh" start "$session" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
. "$session/wine-session.env"
"$WINE" "$build/bench/tool_bench.exe" "$root/$build/orvane_config.exe" "$root/$build/bench/minimal_dialog.exe" \
    "$root/$build/bench/orvane_config_single_sample.exe"

#!/usr/bin/env bash
# Runs the built tool under Wine in FOLDER. With a display, the dialog opens there and this waits
# for it to close. With SCREENSHOT, or without a display, it runs on a virtual display instead,
# saves a picture of the dialog to SCREENSHOT (default FOLDER/screenshot.png) and closes it.
# Usage: run-tool.sh FOLDER [SCREENSHOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "$1" && pwd)
screenshot=${2:-}
[ -z "${DISPLAY:-}" ] && [ -z "$screenshot" ] && screenshot=$folder/screenshot.png

. "$root/scripts/wine-loader.sh"
exe=$root/build/windows/orvane_config.exe
if [ "$ORVANE_WINE_BITS" = 64 ]; then
    echo "This machine cannot run 32-bit programs; running the 64-bit build of the same sources." >&2
    exe=$root/build/windows64/orvane_config.exe
fi
export WINEDEBUG=-all
export WINEPREFIX=$root/build/demo-prefix
[ -n "$screenshot" ] && export WINEPREFIX=$root/build/demo-prefix-headless
if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
    echo "Setting up the Wine prefix $WINEPREFIX (once)..." >&2
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINE" regedit "$root/scripts/wine-fonts.reg" >/dev/null 2>&1
    [ -n "$screenshot" ] && "$WINE" regedit "$root/scripts/wine-unmanaged.reg" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.orvane-ready"
fi
cd "$folder"

if [ -z "$screenshot" ]; then
    "$WINE" "$exe"
    exit 0
fi

xvfb_pid_file=$(mktemp)
export DISPLAY=$("$root/scripts/start-xvfb.sh" "$xvfb_pid_file")
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
    rm -f "$xvfb_pid_file"
}
trap cleanup EXIT
"$WINE" "$exe" </dev/null >/dev/null 2>&1 &
window=$(timeout 60 xdotool search --sync --name '^Orvane')
sleep 1
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
echo "The dialog is in the picture $screenshot"

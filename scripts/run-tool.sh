#!/usr/bin/env bash
# Runs the built tool under Wine in FOLDER. With a display, the dialog opens there and this waits
# for it to close. With SCREENSHOT, or without a display, it runs on a virtual display instead,
# saves a picture of the dialog to SCREENSHOT (default FOLDER/screenshot.png) and closes it.
# Run it under scripts/with-wine32.sh. Usage: run-tool.sh FOLDER [SCREENSHOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "$1" && pwd)
screenshot=${2:-}
[ -z "${DISPLAY:-}" ] && [ -z "$screenshot" ] && screenshot=$folder/screenshot.png

. "$root/scripts/wine-loader.sh"
exe=$root/build/windows/orvane_config.exe
export WINEDEBUG=-all
export WINEPREFIX=$root/build/demo-prefix
registry=("$root/scripts/wine-fonts.reg")
if [ -n "$screenshot" ]; then
    export WINEPREFIX=$root/build/demo-prefix-headless
    registry+=("$root/scripts/wine-unmanaged.reg")
fi
PrepareWinePrefix "${registry[@]}"
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

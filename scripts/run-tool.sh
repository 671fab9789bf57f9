#!/usr/bin/env bash
# Runs the built tool under Wine in FOLDER. With a display, the dialog opens there and this waits
# for it to close. With SCREENSHOT, or without a display, it runs on a virtual display instead,
# saves a picture of the dialog to SCREENSHOT (default FOLDER/screenshot.png) and closes it.
# For a picture, ORVANE_SCREEN="640x480 450" stands for a screen of that size whose work area is that
# high (a taskbar below it), and the picture is then the whole screen; ORVANE_HOLD_KEY=KEY holds
# that key (an xdotool name) while the picture is taken.
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

read -r screen work_area_height <<<"${ORVANE_SCREEN:-}"
xvfb_pid_file=$(mktemp)
export DISPLAY=$("$root/scripts/start-xvfb.sh" "$xvfb_pid_file" $screen $work_area_height)
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
if [ -n "$screen" ]; then
    WIDTH=${screen%x*} HEIGHT=${screen#*x} X=0 Y=0
fi
if [ -n "${ORVANE_HOLD_KEY:-}" ]; then
    xdotool windowfocus --sync "$window" keydown "$ORVANE_HOLD_KEY" sleep 0.5
fi
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
[ -n "${ORVANE_HOLD_KEY:-}" ] && xdotool keyup "$ORVANE_HOLD_KEY"
echo "The dialog is in the picture $screenshot"

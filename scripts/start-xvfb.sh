#!/usr/bin/env bash
# Starts Xvfb on the first free display from :90, writes its pid to $1, prints the display name.
# $2 is the screen's size, 1280x1024 by default; $3, if given, the height of its work area (a
# taskbar below it), which Wine's X11 driver takes from the root window's _NET_WORKAREA. The server
# does not reset when its last client leaves, so that property stays.
set -euo pipefail
pid_file=$1
screen=${2:-1280x1024}
work_area_height=${3:-}
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
        echo "$pid" >"$pid_file"
        if [ -n "$work_area_height" ]; then
            xprop -display ":$n" -root -f _NET_WORKAREA 32c -set _NET_WORKAREA \
                "0, 0, ${screen%x*}, $work_area_height"
        fi
        echo ":$n"
        exit 0
    fi
done
echo "no free X display found" >&2
exit 1

#!/usr/bin/env bash
# Starts Xvfb on the first free display from :90, writes its pid to $1, prints the display name.
# $2 is the screen's size, 1280x1024 by default. The server does not reset when its last client
# leaves, so properties set on its root window (the work area) stay.
set -euo pipefail
pid_file=$1
screen=${2:-1280x1024}
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
        echo ":$n"
        exit 0
    fi
done
echo "no free X display found" >&2
exit 1

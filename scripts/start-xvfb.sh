#!/usr/bin/env bash
# Starts Xvfb on the first free display from :90, writes its pid to $1, prints the display name.
set -euo pipefail
pid_file=$1
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
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

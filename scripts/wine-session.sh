#!/usr/bin/env bash
# Starts or stops what the Windows tests run in: a Wine prefix of the build's own, a persistent
# wineserver and an Xvfb display. A session with a SCREEN size (640x480) and a WORKAREA height
# stands for a small screen with a taskbar below the work area; it takes a copy of the prefix in
# the folder above, once that one is ready; so does one with a DPI (120), whose desktop is set to it.
# The copy links the system folders' files (1.2 GB of Wine's DLLs, which nothing writes once the
# prefix is made) and copies the rest, the registry among it: five full copies per suite filled a
# CI machine's disk.
# Usage: wine-session.sh start|stop DIR [SCREEN WORKAREA [DPI]]
set -euo pipefail
action=$1
mkdir -p "$2"
build=$(cd "$2" && pwd)
screen=${3:-}
work_area_height=${4:-}
dpi=${5:-}
env_file=$build/wine-session.env
here=$(cd "$(dirname "$0")" && pwd)

# Copies the prefix SEED to COPY, whole or not at all. The seed's own session may be running: its
# wineserver saves the registry now and then to a temporary file that it renames over the old one,
# so the prefix's folder can change while it is read (tar's status 1), and the temporary files,
# which come and go, are left out; each registry file read is a whole one, old or new.
copy_prefix() {
    local seed=$1 copy=$2 partial=$2.partial dir
    local system_dirs=(system32 syswow64 winsxs)
    rm -rf "$partial"
    mkdir -p "$partial"
    { tar -C "$seed" -c --warning=no-file-changed --exclude='./reg*.tmp' \
        "${system_dirs[@]/#/--exclude=./drive_c/windows/}" . || [ $? -eq 1 ]; } | tar -C "$partial" -x
    for dir in "${system_dirs[@]}"; do
        cp -al "$seed/drive_c/windows/$dir" "$partial/drive_c/windows/"
    done
    rm -rf "$copy"
    mv "$partial" "$copy"
}

start() {
    export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
    # shellcheck source=wine-loader.sh
    . "$here/wine-loader.sh"
    local display seed=$build/../wineprefix
    display=$("$here/start-xvfb.sh" "$build/xvfb.pid" $screen $work_area_height)
    export DISPLAY=$display
    if { [ -n "$screen" ] || [ -n "$dpi" ]; } && [ ! -f "$WINEPREFIX/.orvane-wow64-ready" ] && [ -f "$seed/.orvane-wow64-ready" ]; then
        copy_prefix "$seed" "$WINEPREFIX"
    fi
    # No window manager runs here: Wine manages its windows itself, and the dialog's Chinese
    # captions need a font that has them. A program that crashes prints its backtrace and ends,
    # where Wine's crash dialog would keep it, and the test run, waiting for a click.
    PrepareWinePrefix "$here/wine-fonts.reg" "$here/wine-unmanaged.reg" "$here/wine-test-crashes.reg"
    wineserver -p </dev/null >/dev/null 2>&1
    if [ -n "$dpi" ]; then
        "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    fi
    # Wine's own service processes start with the first program and outlive it; started here with
    # no output, they do not hold the test runner's pipes open.
    "$WINE64" wineboot </dev/null >/dev/null 2>&1
    {
        echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all DISPLAY='$DISPLAY'"
        echo "export WINE='$WINE'"
    } >"$env_file"
    echo "Wine prefix $WINEPREFIX, display $DISPLAY"
}

stop() {
    if [ -f "$env_file" ]; then
        # shellcheck disable=SC1090
        . "$env_file"
        wineserver -k 2>/dev/null || true
        rm -f "$env_file"
    fi
    if [ -f "$build/xvfb.pid" ]; then
        kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
        rm -f "$build/xvfb.pid"
    fi
}

case $action in
start) stop; start ;;
stop) stop ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac

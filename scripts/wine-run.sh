#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under Wine in the session that
# wine-session.sh started for the build in ORVANE_BUILD_DIR.
set -euo pipefail
env_file=${ORVANE_BUILD_DIR:?ORVANE_BUILD_DIR is not set}/wine-session.env
if [ ! -f "$env_file" ]; then
    echo "no Wine session for $ORVANE_BUILD_DIR (run: scripts/wine-session.sh start $ORVANE_BUILD_DIR)" >&2
    exit 1
fi
# shellcheck disable=SC1090
. "$env_file"
exec "$WINE" "$@"

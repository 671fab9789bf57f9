#!/usr/bin/env bash
# Installs what is missing, builds the tool, and starts it under Wine in demo/, a folder seeded with
# a default bindings file (the standard layout). Without a display it saves a picture instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows
mkdir -p demo
[ -f demo/orvane_bindings.bin ] || cp resources/standard_bindings.bin demo/orvane_bindings.bin
echo "Starting the tool in $root/demo"
"$root/scripts/with-wine32.sh" "$root/scripts/run-tool.sh" demo

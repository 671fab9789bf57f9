#!/usr/bin/env bash
# Saves a picture of the dialog in each layout to docs/ (the tool must be built).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for layout in standard mahjong; do
    mkdir -p "$work/$layout"
    cp "$root/resources/${layout}_bindings.bin" "$work/$layout/orvane_bindings.bin"
    "$root/scripts/with-wine32.sh" "$root/scripts/run-tool.sh" "$work/$layout" "$root/docs/$layout-layout.png"
done

#!/usr/bin/env bash
# Saves the pictures of the README to docs/ (the tool must be built): the dialog in each layout, the
# live key test with a key held, and the dialog on a 640 x 480 screen with a 48 px taskbar.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture() { # FOLDER NAME
    "$root/scripts/with-wine32.sh" "$root/scripts/run-tool.sh" "$work/$1" "$root/docs/$2.png"
}

for layout in standard mahjong; do
    mkdir -p "$work/$layout"
    cp "$root/resources/${layout}_bindings.bin" "$work/$layout/orvane_bindings.bin"
    picture "$layout" "$layout-layout"
done

# A panel wired to letters, player 2's button 3 on F as well as player 1's: holding F lights both.
mkdir -p "$work/key-test"
python3 - "$root/resources/standard_bindings.bin" "$work/key-test/orvane_bindings.bin" <<'PYTHON'
import sys
offsets = [20, 52, 84, 116, 348, 380, 412, 444, 476, 508, 540, 572, 604,
           636, 668, 700, 732, 764, 796, 828, 860, 892, 924, 956, 988, 1020]
letters = [0x11, 0x1F, 0x1E, 0x20, 0x24, 0x25, 0x21, 0x26, 0x17, 0x18, 0x02, 0x06, 0x3B,
           0xC8, 0xD0, 0xCB, 0xCD, 0x10, 0x12, 0x21, 0x13, 0x14, 0x19, 0x03, 0x07, 0x3C]
image = bytearray(open(sys.argv[1], "rb").read())
for offset, code in zip(offsets, letters):
    image[offset + 17] = code
image[len(image) - 320 + 17] = 0x3D
image[len(image) - 288 + 17] = 0x01
open(sys.argv[2], "wb").write(image)
PYTHON
ORVANE_HOLD_KEY=f picture key-test key-test

mkdir -p "$work/small-screen"
cp "$root/resources/standard_bindings.bin" "$work/small-screen/orvane_bindings.bin"
ORVANE_SCREEN="640x480 432" picture small-screen small-screen

#!/usr/bin/env python3
"""Writes the two built-in images of the bindings file into resources/.

Run from anywhere; the files are committed so the build needs no Python."""
import pathlib
import struct

KEYBOARD_GUID = bytes.fromhex("612B1D6FA0D5CF11BFC7444553540000")
DEFAULT_OBJECT = 0x00000204  # push-button object, key code 0x02 (the 1 key)

# (first BindingId, count, bound in standard, bound in mahjong)
ENTRY_GROUPS = [
    (0x00000000, 4, True, False),   # player 1 stick
    (0x00100000, 25, False, True),  # mahjong panel
    (0x01000000, 6, True, False),   # player 1 buttons
    (0x02000000, 3, True, True),    # player 1 start, coin, third key
    (0x10000000, 4, True, False),   # player 2 stick
    (0x11000000, 6, True, False),   # player 2 buttons
    (0x12000000, 3, True, False),   # player 2 start, coin, third key
    (0xF2000003, 1, True, True),    # system key
    (0xF2000004, 1, True, True),    # exit key
]


def image(mahjong):
    out = bytearray(b"ORVN" + struct.pack("<II", 2, 53))
    for first, count, in_standard, in_mahjong in ENTRY_GROUPS:
        bound = in_mahjong if mahjong else in_standard
        for i in range(count):
            out += struct.pack("<II", first + i, 1 if bound else 0)
            if bound:
                out += KEYBOARD_GUID + struct.pack("<II", DEFAULT_OBJECT, 1)
    out += struct.pack("<I", 260) + bytes(255) + bytes([0, 1 if mahjong else 0, 0, 0, 0])
    return bytes(out)


def main():
    folder = pathlib.Path(__file__).resolve().parent.parent / "resources"
    standard, mahjong = image(False), image(True)
    assert len(standard) == 1372 and len(mahjong) == 1420
    (folder / "standard_bindings.bin").write_bytes(standard)
    (folder / "mahjong_bindings.bin").write_bytes(mahjong)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the seed corpus of the load fuzzer: both images and files around every size the load
depends on. The files are committed; run this again after changing the images."""
import pathlib

root = pathlib.Path(__file__).resolve().parent.parent
standard = (root / "resources" / "standard_bindings.bin").read_bytes()
mahjong = (root / "resources" / "mahjong_bindings.bin").read_bytes()
out = root / "tests" / "fuzz" / "corpus"
out.mkdir(parents=True, exist_ok=True)


def with_mahjong_byte(data, value):
    data = bytearray(data)
    data[-4] = value
    return bytes(data)


seeds = {
    "standard-image": standard,
    "mahjong-image": mahjong,
    "standard-size-mahjong-byte": with_mahjong_byte(standard, 1),
    "mahjong-size-other-byte": with_mahjong_byte(mahjong, 7),
    "full-path": standard[:-260] + bytes(range(1, 256)) + standard[-5:],
}
for size in (0, 1, 2, 3, 4, 302, 303, 1037, 1038):
    seeds[f"size-{size}"] = with_mahjong_byte(standard[:size], 0) if size >= 4 else standard[:size]
for size in (302, 303, 981, 982, 1372, 1420):
    seeds[f"size-{size}-mahjong"] = with_mahjong_byte((mahjong * 2)[:size], 1)
for name, data in seeds.items():
    (out / name).write_bytes(data)

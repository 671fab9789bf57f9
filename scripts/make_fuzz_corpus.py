#!/usr/bin/env python3
"""Writes the seed corpus of the load fuzzer: both images, images with every editable byte set,
foreign device bytes, and files around every size the load depends on. The files are committed; run this again after changing the images."""
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


def edited(image, key_offsets):
    """Every editable byte distinct, so that a byte read or written at another place shows."""
    data = bytearray(image)
    for slot, offset in enumerate(key_offsets):
        data[offset + 17] = 0x10 + slot
    size = len(data)
    data[size - 320 + 17], data[size - 288 + 17] = 0x3B, 0x01
    data[size - 260:size - 5] = bytes((0x41 + i % 26) for i in range(255))
    data[size - 4:] = bytes([data[size - 4], 2, 0xFF, 7])
    return bytes(data)


standard_keys = [20, 52, 84, 116, 348, 380, 412, 444, 476, 508, 540, 572, 604,
                 636, 668, 700, 732, 764, 796, 828, 860, 892, 924, 956, 988, 1020]
mahjong_keys = [52, 84, 116, 148, 180, 212, 244, 276, 308, 340, 372, 404, 436, 468,
                500, 532, 564, 596, 628, 660, 692, 724, 756, 788, 820, 900, 932, 964]
seeds["standard-edited"] = edited(standard, standard_keys)
seeds["mahjong-edited"] = edited(mahjong, mahjong_keys)
seeds["standard-size-mahjong-edited"] = edited(with_mahjong_byte(standard, 1), mahjong_keys)
foreign = bytearray(edited(standard, standard_keys))
for offset in standard_keys:
    foreign[offset] = 0xAA  # first GUID byte of a device part
foreign[100] = 0x55  # a byte no table names
seeds["standard-foreign-device-bytes"] = bytes(foreign)
for name, data in seeds.items():
    (out / name).write_bytes(data)

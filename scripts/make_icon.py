#!/usr/bin/env python3
"""Draws the program icon (a joystick on a panel) and writes resources/orvane.ico.

Six sizes (256, 128, 48, 32, 24, 16 pixels), each at 4, 8 and 32 bits per pixel, all as
BMP images but for the 256-pixel true-colour one, which is PNG as usual for that size. Pure Python, so the icon can be remade anywhere; the .ico is committed."""
import pathlib
import struct
import zlib

SIZES = [256, 128, 48, 32, 24, 16]

PANEL = (32, 64, 160)
PANEL_EDGE = (16, 32, 96)
BASE = (40, 40, 48)
STICK = (200, 200, 208)
BALL = (224, 32, 32)
BUTTON = (255, 200, 0)


def coverage(size, inside):
    """Pixel grid of (r, g, b, a); `inside(x, y)` gives a colour or None at a point of the unit square."""
    samples = 4
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = inside((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if colour:
                        hits += 1
                        acc = [a + c for a, c in zip(acc, colour)]
            if hits:
                row.append(tuple(a // hits for a in acc) + (255 * hits // (samples * samples),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def rounded_square(x, y, margin, radius):
    cx = min(max(x, margin + radius), 1 - margin - radius)
    cy = min(max(y, margin + radius), 1 - margin - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def shape(x, y):
    if (x - 0.5) ** 2 + (y - 0.30) ** 2 <= 0.16 ** 2:
        return BALL
    if abs(x - 0.5) <= 0.05 and 0.30 <= y <= 0.72:
        return STICK
    if 0.22 <= x <= 0.78 and 0.66 <= y <= 0.82 and rounded_square((x - 0.22) / 0.56, (y - 0.66) / 0.16, 0, 0.3):
        return BASE
    if (x - 0.80) ** 2 + (y - 0.52) ** 2 <= 0.075 ** 2:
        return BUTTON
    if rounded_square(x, y, 0.02, 0.16):
        return PANEL if rounded_square(x, y, 0.06, 0.13) else PANEL_EDGE
    return None


def palette16():
    return [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
            (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
            (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(i * 255 // 39, i * 255 // 39, i * 255 // 39) for i in range(40)]
    return colours


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def and_mask(pixels, size):
    out = b""
    for row in reversed(pixels):
        line = bytearray(row_bytes(1, size))
        for x, p in enumerate(row):
            if p[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += bytes(line)
    return out


def png(pixels, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def encode(pixels, size, bits):
    if bits == 32 and size == 256:
        return png(pixels, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    if bits == 32:
        data = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
        return header + data + and_mask(pixels, size)
    palette = palette16() if bits == 4 else palette256()
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    cache = {}
    data = b""
    for row in reversed(pixels):
        line = bytearray(row_bytes(bits, size))
        for x, p in enumerate(row):
            index = 0
            if p[3] >= 128:
                key = p[:3]
                if key not in cache:
                    cache[key] = nearest(palette, key)
                index = cache[key]
            if bits == 8:
                line[x] = index
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += bytes(line)
    colours = 16 if bits == 4 else 256
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)
    return header + table + data + and_mask(pixels, size)


def main():
    images = []
    for size in SIZES:
        pixels = coverage(size, shape)
        for bits in (4, 8, 32):
            images.append((size, bits, encode(pixels, size, bits)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    path = pathlib.Path(__file__).resolve().parent.parent / "resources" / "orvane.ico"
    path.write_bytes(out)


if __name__ == "__main__":
    main()

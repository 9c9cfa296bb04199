#!/usr/bin/env python3
"""Draws the program's icon, wintessel.ico: a spike trace on a blue tile
with an arrow into a block of stored samples, at 16 and 32 pixels, 32-bit
with alpha. Usage: makeicon.py [OUTPUT]"""
import struct
import sys

TILE = (0x79, 0x4E, 0x1F)      # BGR: a dark blue
TRACE = (0xFF, 0xFF, 0xFF)
BLOCK = (0x3C, 0xC8, 0xF5)     # amber


def segdist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return (qx * qx + qy * qy) ** 0.5


# Shapes in a unit square, y downwards.
SPIKE = [(0.10, 0.56), (0.28, 0.56), (0.34, 0.44), (0.40, 0.86), (0.46, 0.14),
         (0.52, 0.68), (0.57, 0.56), (0.68, 0.56)]
ARROW = [((0.63, 0.50), (0.68, 0.56)), ((0.63, 0.62), (0.68, 0.56))]


def colour_at(x, y, size):
    """Colour and coverage of one sample point of the unit square."""
    r = 0.16  # corner radius of the tile
    cx, cy = min(max(x, r), 1 - r), min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return None
    half = 0.6 / size if size <= 16 else 0.9 / size
    if 0.74 <= x <= 0.88 and 0.34 <= y <= 0.76:
        return BLOCK
    for (a, b) in zip(SPIKE, SPIKE[1:]):
        if segdist(x, y, *a, *b) <= half:
            return TRACE
    for (a, b) in ARROW:
        if segdist(x, y, *a, *b) <= half:
            return TRACE
    return TILE


def image(size, samples=6):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size, size)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            n = samples * samples
            if hits:
                row.append(tuple(a // hits for a in acc) + (255 * hits // n,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    # A DIB is stored bottom-up; an all-zero AND mask, since alpha decides.
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask = bytes(((size + 31) // 32) * 4 * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def ico(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "wintessel.ico", "wb") as f:
        f.write(ico([16, 32]))

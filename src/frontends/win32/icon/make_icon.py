#!/usr/bin/env python3
"""Draws the game's icon, a roulette wheel seen from above, and writes casino.ico.

Three images: 32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours.
Usage: make_icon.py OUTPUT.ico
"""
import math
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, SILVER, RED, YELLOW, WHITE = 0, 1, 2, 3, 7, 9, 11, 15
TRANSPARENT = None


def wheel(size, mono):
    """Returns rows (top first) of palette indices, TRANSPARENT outside the wheel."""
    pockets = 18 if size >= 32 else 12
    radius = size / 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x + 0.5 - radius, y + 0.5 - radius
            r = math.hypot(dx, dy) / radius
            angle = (math.atan2(dy, dx) + 2 * math.pi) % (2 * math.pi)
            pocket = int(angle / (2 * math.pi / pockets))
            spoke = min(abs(dx), abs(dy)) < size / 32 + 0.3
            if r > 1.0:
                row.append(TRANSPARENT)
            elif r > 0.86:
                row.append(BLACK if mono else MAROON)
            elif r > 0.60:
                if mono:
                    row.append(BLACK if pocket % 2 else WHITE)
                elif pocket == 0:
                    row.append(GREEN)
                else:
                    row.append(BLACK if pocket % 2 else RED)
            elif r > 0.50:
                row.append(BLACK if mono else YELLOW)
            elif r > 0.22:
                if mono:
                    row.append(BLACK if spoke else WHITE)
                else:
                    row.append(SILVER if spoke else OLIVE)
            else:
                row.append(BLACK if mono else YELLOW)
        rows.append(row)
    # The ball, resting in a pocket near the top right.
    bx, by = int(size * 0.70), int(size * 0.22)
    for yy in range(by, by + max(1, size // 16)):
        for xx in range(bx, bx + max(1, size // 16)):
            rows[yy][xx] = WHITE
    if mono:
        # Outline the ball so it shows on a white pocket too.
        for yy in range(by - 1, by + 2 + size // 32):
            for xx in range(bx - 1, bx + 2 + size // 32):
                if rows[yy][xx] is not TRANSPARENT and not (by <= yy < by + max(1, size // 16)
                                                            and bx <= xx < bx + max(1, size // 16)):
                    rows[yy][xx] = BLACK
    return rows


def pack_bits(values, bits):
    """Packs pixel values MSB first into a row padded to 32 bits."""
    out = bytearray()
    acc, count = 0, 0
    for v in values:
        acc = (acc << bits) | v
        count += bits
        if count == 8:
            out.append(acc)
            acc, count = 0, 0
    if count:
        out.append(acc << (8 - count))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def image(size, mono):
    rows = wheel(size, mono)
    bits = 1 if mono else 4
    palette = [(0, 0, 0), (255, 255, 255)] if mono else VGA
    colour_of = (lambda v: 0 if v == BLACK else 1) if mono else (lambda v: v)
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bitmaps are stored bottom-up
        xor_rows.append(pack_bits([0 if v is TRANSPARENT else colour_of(v) for v in row], bits))
        and_rows.append(pack_bits([1 if v is TRANSPARENT else 0 for v in row], 1))
    xor = b"".join(xor_rows)
    mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask, len(palette), bits


def main():
    images = [image(32, True) + (32,), image(32, False) + (32,), image(16, False) + (16,)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, colours, bits, size in images:
        out += struct.pack("<BBBBHHII", size, size, colours % 256, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for data, _, _, _ in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""turtle_images.py - write src/turtle/turtle_images.cpp, the 24 images of
the built-in turtle cursor.

Image 0 is the turtle facing up (13 x 17).  Image k is image 0 turned
clockwise by 15k degrees about its centre, by nearest-neighbour sampling
into a box of 13 x 17 (k = 12), 17 x 13 (k = 6, 18) or 19 x 19 (the
others).  Quarter and half turns come out exact: the centres fall on
whole pixels and those turns map pixels onto pixels.

Packed 1-bit rows: ceil(width / 8) bytes a row, the bit of value 1 is the
leftmost pixel.  Run once from the repository root; the output is kept.
"""
import math

IMAGE0 = [0x40, 0x00, 0xE1, 0x10, 0xE3, 0x18, 0xE6, 0x0C, 0xF4, 0x05, 0x48, 0x02,
          0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x58, 0x03,
          0xF4, 0x05, 0xE6, 0x0C, 0x43, 0x18, 0x40, 0x00, 0x40, 0x00]
W0, H0 = 13, 17
SLOT = 60


def unpack(data, w, h):
    rb = (w + 7) // 8
    return [[(data[y * rb + x // 8] >> (x % 8)) & 1 for x in range(w)] for y in range(h)]


def pack(rows, w):
    out = []
    for row in rows:
        for b in range((w + 7) // 8):
            v = 0
            for i in range(8):
                x = b * 8 + i
                if x < w and row[x]:
                    v |= 1 << i
            out.append(v)
    return out


def size(k):
    if k in (0, 12):
        return 13, 17
    if k in (6, 18):
        return 17, 13
    return 19, 19


def turned(src, k):
    w, h = size(k)
    theta = math.radians(15 * k)
    c, s = round(math.cos(theta), 12), round(math.sin(theta), 12)
    scx, scy = (W0 - 1) / 2, (H0 - 1) / 2
    dcx, dcy = (w - 1) / 2, (h - 1) / 2
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            dx, dy = x - dcx, y - dcy
            # Inverse of the clockwise turn (y grows downwards).
            sx = dx * c + dy * s + scx
            sy = -dx * s + dy * c + scy
            ix, iy = math.floor(sx + 0.5), math.floor(sy + 0.5)
            row.append(src[iy][ix] if 0 <= ix < W0 and 0 <= iy < H0 else 0)
        rows.append(row)
    return rows


def main():
    src = unpack(IMAGE0, W0, H0)
    lines = ["// turtle_images.cpp - the 24 images of the built-in turtle cursor, image k",
             "// turned clockwise by 15k degrees.  Written by tools/turtle_images.py.",
             '#include "turtle/turtle.h"', "", "namespace ondrel {", "",
             "const TurImage TUR_IMAGES[TUR_NIMAGES] = {"]
    for k in range(24):
        w, h = size(k)
        data = pack(turned(src, k), w)
        assert len(data) <= SLOT
        if k == 0:
            assert data == IMAGE0
        lines.append("    {%d, %d, {  // %d degrees" % (w, h, 15 * k))
        for i in range(0, len(data), 12):
            lines.append("        " + " ".join("0x%02X," % b for b in data[i:i + 12]))
        lines.append("    }},")
    lines += ["};", "", "}  // namespace ondrel", ""]
    with open("src/turtle/turtle_images.cpp", "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes a 32 x 32, 256-colour .ico from a text picture (see ParveloIcon.txt)."""
import struct
import sys


def read_picture(path):
    colours = {}
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) == 2 and len(parts[0]) == 1 and len(line) != 32:
                colours[parts[0]] = None if parts[1] == "transparent" else int(parts[1], 16)
            else:
                rows.append(line)
    if len(rows) != 32 or any(len(r) != 32 for r in rows):
        sys.exit("the picture must be 32 rows of 32 pixels")
    return colours, rows


def main():
    source, target = sys.argv[1], sys.argv[2]
    colours, rows = read_picture(source)
    opaque = [c for c, v in colours.items() if v is not None]
    index = {c: i + 1 for i, c in enumerate(opaque)}
    palette = bytearray(256 * 4)
    for c, i in index.items():
        rgb = colours[c]
        palette[i * 4:i * 4 + 4] = bytes([rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0])
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom row first
        bits = 0
        for x, c in enumerate(row):
            pixels.append(index.get(c, 0))
            if colours[c] is None:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 8, 0, len(pixels) + len(mask), 0, 0, 256, 0)
    image = header + bytes(palette) + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 8, len(image), 22)
    with open(target, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws the 13 x 13, 16-colour menu bitmap of the context-menu items (menu_bitmap.bmp)."""
import struct
import sys

PALETTE = [  # the standard 16 colours, as RGB
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255)]
INDEX = {'.': 7, 'K': 0, 'Y': 3, 'y': 11, 'B': 6, 'b': 14, 'W': 15}

# A lidded jar: the archive the items put files into or take them out of.
PICTURE = [
    ".............",
    "...KKKKKKK...",
    "...KyyyyYK...",
    "...KKKKKKK...",
    "....KBBBK....",
    "..KKBBBBBKK..",
    ".KBWbBBBBBBK.",
    ".KBWbBBBBBBK.",
    ".KBbBBBBBBBK.",
    ".KBBBBBBBBBK.",
    "..KBBBBBBBK..",
    "...KKKKKKK...",
    ".............",
]


def bitmap_bytes():
    width = height = 13
    assert len(PICTURE) == height and all(len(row) == width for row in PICTURE)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(PICTURE):  # bottom-up
        nibbles = [INDEX[c] for c in row] + [0]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, width + 1, 2))
        pixels += packed.ljust(stride, b"\0")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "menu_bitmap.bmp"
    with open(out, "wb") as f:
        f.write(bitmap_bytes())

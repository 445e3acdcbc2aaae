#!/usr/bin/env python3
"""Draws the Tip of the Day's light bulb (images/tip_bulb.bmp, 40 x 40 on white; tip_bulb_60.bmp and
tip_bulb_80.bmp for denser screens) with the shapes of draw_images.py. Run: python3
resources/draw_bulb.py; the bitmaps are committed."""
import os
import struct

from draw_images import Canvas, Scaled, lerp

SIZE = 40
WHITE = (255, 255, 255)


def bulb(g):
    # Glass with a warm glow, a highlight, the filament, the screw base and a few rays.
    g.ellipse(12, 9.5, 6.2, 6.2, (150, 120, 20))
    g.ellipse(12, 9.5, 5.4, 5.4, lambda x, y: lerp((255, 250, 200), (250, 205, 60), min(1.0, ((x - 10) ** 2 + (y - 7) ** 2) ** 0.5 / 8)))
    g.polygon([(8.2, 13), (15.8, 13), (14.6, 17), (9.4, 17)], (250, 210, 70))
    g.ellipse(9.8, 7.4, 1.4, 2.2, (255, 255, 240))
    g.line(10.5, 14.5, 11.3, 11, 0.5, (170, 100, 20))
    g.line(11.3, 11, 12.7, 11, 0.5, (170, 100, 20))
    g.line(12.7, 11, 13.5, 14.5, 0.5, (170, 100, 20))
    for y in (17, 18.4, 19.8):
        g.rect(9.4, y, 14.6, y + 1.1, (130, 130, 140))
        g.rect(9.4, y + 1.1, 14.6, y + 1.4, (90, 90, 100))
    g.polygon([(10.4, 21.2), (13.6, 21.2), (12.6, 22.6), (11.4, 22.6)], (70, 70, 80))
    for x0, y0, x1, y1 in ((3, 9.5, 4.8, 9.5), (19.2, 9.5, 21, 9.5), (5.2, 3.2, 6.5, 4.5),
                           (18.8, 3.2, 17.5, 4.5), (12, 0.8, 12, 2.2)):
        g.line(x0, y0, x1, y1, 0.7, (235, 170, 30))


def bulb_bitmap(size):
    c = Canvas(size)
    bulb(Scaled(c))
    img = c.reduce()
    rows = []
    for y in range(size):
        row = bytearray()
        for rgb, cover in img[y]:
            r, g_, b = lerp(WHITE, rgb, cover)
            row += bytes((b, g_, r))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    pixels = b''.join(reversed(rows))
    header = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def main():
    # 40 pixels at 96 DPI, and the same bulb for 144 and 192 DPI screens.
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'images')
    for size, name in ((SIZE, 'tip_bulb.bmp'), (SIZE * 3 // 2, 'tip_bulb_60.bmp'), (SIZE * 2, 'tip_bulb_80.bmp')):
        with open(os.path.join(here, name), 'wb') as f:
            f.write(bulb_bitmap(size))

if __name__ == '__main__':
    main()

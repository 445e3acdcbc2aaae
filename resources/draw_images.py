#!/usr/bin/env python3
"""Draws the toolbar strips and icons of torvex.exe (no libraries beyond Python itself).

Run from anywhere: python3 resources/draw_images.py. It rewrites resources/images/*.bmp and
*.ico; the generated files are committed so that a build needs no Python.

Shapes are drawn on a 4x supersampled canvas and reduced with coverage: toolbar pixels less
than half covered become magenta (the toolbar's transparent colour), the others are blended
with a light button face; icons keep the coverage as alpha and get a matching mask.
"""
import math
import os
import struct

SS = 4  # supersampling factor
MAGENTA = (255, 0, 255)
FACE = (236, 236, 236)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vgrad(c0, c1, y0, y1):
    """Colour function: vertical gradient between y0 (c0) and y1 (c1)."""
    def f(x, y):
        t = 0.0 if y1 == y0 else min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return lerp(c0, c1, t)
    return f


class Canvas:
    def __init__(self, size):
        self.size = size
        self.n = size * SS
        self.px = [None] * (self.n * self.n)

    def _paint(self, bbox, inside, color):
        x0, y0, x1, y1 = bbox
        sx0 = max(0, int(math.floor(x0 * SS)))
        sy0 = max(0, int(math.floor(y0 * SS)))
        sx1 = min(self.n, int(math.ceil(x1 * SS)) + 1)
        sy1 = min(self.n, int(math.ceil(y1 * SS)) + 1)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    self.px[sy * self.n + sx] = color(x, y) if callable(color) else color

    def rect(self, x0, y0, x1, y1, color):
        self._paint((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1, color)

    def framed_rect(self, x0, y0, x1, y1, edge, fill, w=1.0):
        self.rect(x0, y0, x1, y1, edge)
        self.rect(x0 + w, y0 + w, x1 - w, y1 - w, fill)

    def ellipse(self, cx, cy, rx, ry, color):
        self._paint((cx - rx, cy - ry, cx + rx, cy + ry),
                    lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color)

    def ring(self, cx, cy, r_out, r_in, color, a0=0.0, a1=360.0):
        """Annulus sector; angles in degrees, 0 = east, counter-clockwise (screen y down)."""
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if d > r_out or d < r_in:
                return False
            a = math.degrees(math.atan2(-(y - cy), x - cx)) % 360.0
            lo, hi = a0 % 360.0, a1 % 360.0
            return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
        self._paint((cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside, color)

    def polygon(self, pts, color):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self._paint((min(xs), min(ys), max(xs), max(ys)), inside, color)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * w / 2, dx / length * w / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)
        self.ellipse(x0, y0, w / 2, w / 2, color)
        self.ellipse(x1, y1, w / 2, w / 2, color)

    def outlined_polygon(self, pts, edge, fill, w=1.0):
        self.polygon(pts, fill)
        for i in range(len(pts)):
            a, b = pts[i], pts[(i + 1) % len(pts)]
            self.line(a[0], a[1], b[0], b[1], w, edge)

    def reduce(self):
        """(rgb, coverage) per output pixel, rows top to bottom."""
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                cols = []
                for sy in range(y * SS, y * SS + SS):
                    for sx in range(x * SS, x * SS + SS):
                        c = self.px[sy * self.n + sx]
                        if c is not None:
                            cols.append(c)
                cover = len(cols) / (SS * SS)
                if cols:
                    rgb = tuple(sum(c[i] for c in cols) // len(cols) for i in range(3))
                else:
                    rgb = (0, 0, 0)
                row.append((rgb, cover))
            out.append(row)
        return out


# ---- Shared pieces, drawn in a 24-unit space scaled by s (s = size / 24).

INK = (40, 40, 48)
PAPER = (255, 255, 255)
GREEN = (30, 150, 50)
GREEN_LIGHT = (90, 205, 90)
RED = (205, 35, 35)
BLUE = (30, 90, 200)
BLUE_LIGHT = (90, 160, 240)
AMBER = (238, 176, 40)
AMBER_DARK = (160, 104, 10)
BROWN = (120, 80, 40)


class Scaled:
    """Canvas calls in 24-unit coordinates."""
    def __init__(self, canvas):
        self.c = canvas
        self.s = canvas.size / 24.0

    def __getattr__(self, name):
        method = getattr(self.c, name)
        s = self.s

        def call(*args, **kw):
            scaled = []
            for i, a in enumerate(args):
                if name == 'ring' and i >= 5:
                    scaled.append(a)  # angles
                elif isinstance(a, (int, float)) and not isinstance(a, bool):
                    scaled.append(a * s)
                elif isinstance(a, list):
                    scaled.append([(p[0] * s, p[1] * s) for p in a])
                elif callable(a):
                    scaled.append(lambda x, y, f=a: f(x / s, y / s))
                else:
                    scaled.append(a)
            if 'w' in kw:
                kw['w'] = kw['w'] * s
            return method(*scaled, **kw)
        return call


def jar(g, x, y, w, h):
    """The archive: a glass jar with a lid, (x, y) top-left of its box."""
    lid_h = h * 0.22
    g.framed_rect(x + w * 0.12, y, x + w * 0.88, y + lid_h, BROWN, vgrad((214, 150, 80), (150, 95, 40), y, y + lid_h))
    body = [(x + w * 0.08, y + lid_h), (x + w * 0.92, y + lid_h), (x + w, y + lid_h + h * 0.15),
            (x + w, y + h - 1.5), (x + w - 1.5, y + h), (x + 1.5, y + h), (x, y + h - 1.5), (x, y + lid_h + h * 0.15)]
    g.outlined_polygon(body, (40, 90, 110), vgrad((180, 225, 240), (90, 160, 190), y + lid_h, y + h), w=1.0)
    # label band
    g.rect(x + 1.0, y + h * 0.52, x + w - 1.0, y + h * 0.74, (250, 245, 225))
    g.rect(x + w * 0.25, y + h * 0.60, x + w * 0.75, y + h * 0.66, (150, 130, 100))


def page(g, x, y, w, h, corner=4.0):
    pts = [(x, y), (x + w - corner, y), (x + w, y + corner), (x + w, y + h), (x, y + h)]
    g.outlined_polygon(pts, (90, 90, 100), PAPER, w=1.0)
    g.polygon([(x + w - corner, y), (x + w - corner, y + corner), (x + w, y + corner)], (200, 200, 210))


def text_lines(g, x, y, w, n, gap=2.5, color=(120, 120, 140)):
    for i in range(n):
        g.rect(x, y + i * gap, x + w * (0.7 if i % 3 == 2 else 1.0), y + i * gap + 1.0, color)


def arrow_down(g, cx, top, bottom, color, shaft=3.0, head=7.0):
    g.rect(cx - shaft / 2, top, cx + shaft / 2, bottom - head * 0.6, color)
    g.polygon([(cx - head / 2 - 0.5, bottom - head * 0.7), (cx + head / 2 + 0.5, bottom - head * 0.7), (cx, bottom)], color)


def arrow_right(g, left, cy, right, color, shaft=3.0, head=7.0):
    g.rect(left, cy - shaft / 2, right - head * 0.6, cy + shaft / 2, color)
    g.polygon([(right - head * 0.7, cy - head / 2 - 0.5), (right - head * 0.7, cy + head / 2 + 0.5), (right, cy)], color)


def plus(g, cx, cy, r, color, edge=None):
    if edge:
        g.rect(cx - r - 0.8, cy - r * 0.32 - 0.8, cx + r + 0.8, cy + r * 0.32 + 0.8, edge)
        g.rect(cx - r * 0.32 - 0.8, cy - r - 0.8, cx + r * 0.32 + 0.8, cy + r + 0.8, edge)
    g.rect(cx - r, cy - r * 0.32, cx + r, cy + r * 0.32, color)
    g.rect(cx - r * 0.32, cy - r, cx + r * 0.32, cy + r, color)


def folder(g, x, y, w, h, open_=False):
    g.outlined_polygon([(x, y + 0.5), (x + w * 0.38, y + 0.5), (x + w * 0.46, y + 2.5), (x + w, y + 2.5),
                        (x + w, y + h), (x, y + h)], AMBER_DARK, vgrad((250, 210, 100), (230, 160, 30), y, y + h), w=1.0)
    if open_:
        g.outlined_polygon([(x + 2.5, y + h * 0.42), (x + w + 2.0, y + h * 0.42), (x + w - 1.0, y + h), (x, y + h)],
                           AMBER_DARK, vgrad((255, 232, 150), (240, 180, 60), y + h * 0.4, y + h), w=1.0)


# ---- Toolbar images (24 x 24 at 96 DPI; also drawn at 36 and 48 for denser screens)

def img_add(g):
    jar(g, 2, 5, 15, 17)
    plus(g, 18, 7, 5, GREEN, edge=(255, 255, 255))


def img_extract(g):
    jar(g, 1, 1, 13, 15)
    arrow_down(g, 17, 9, 23, BLUE)


def img_extract_to(g):
    jar(g, 1, 1, 12, 14)
    folder(g, 10, 14, 13, 9)
    arrow_right(g, 8, 12, 20, BLUE, shaft=2.6, head=6)


def img_delete(g):
    page(g, 3, 2, 14, 19)
    text_lines(g, 5.5, 7, 9, 5)
    g.line(12, 12, 21, 21, 3.2, RED)
    g.line(21, 12, 12, 21, 3.2, RED)


def img_test(g):
    jar(g, 2, 3, 15, 18)
    g.line(12, 15, 15.5, 19.5, 3.2, GREEN)
    g.line(15.5, 19.5, 22, 9, 3.2, GREEN)


def img_add_to_files_list(g):
    page(g, 2, 2, 14, 19)
    text_lines(g, 4.5, 6, 9, 6)
    plus(g, 18, 17, 5, GREEN, edge=(255, 255, 255))


def img_edit_files_list(g):
    page(g, 2, 2, 14, 19)
    text_lines(g, 4.5, 6, 9, 6)
    # pencil
    g.line(11, 21, 21, 9, 3.6, (60, 60, 60))
    g.line(11.6, 20.4, 20.6, 9.6, 2.2, (240, 200, 60))
    g.polygon([(9.5, 23), (10.2, 19.6), (12.6, 21.6)], (60, 60, 60))


def img_extract_archive_to(g):
    jar(g, 1, 2, 11, 14)
    arrow_right(g, 9, 9, 18, BLUE, shaft=2.6, head=6)
    folder(g, 11, 13, 12, 9, open_=True)


def img_view(g):
    page(g, 2, 1, 13, 18)
    text_lines(g, 4.5, 5, 8, 5)
    g.ring(14, 14, 5.5, 3.6, INK)
    g.ellipse(14, 14, 3.7, 3.7, (210, 235, 255))
    g.line(18, 18, 22, 22, 3.0, INK)


def img_save(g):
    g.framed_rect(2, 2, 22, 22, (20, 40, 90), vgrad((70, 110, 200), (40, 70, 150), 2, 22))
    g.framed_rect(6, 2.8, 18, 10, (120, 120, 130), (235, 235, 240))
    g.rect(14, 4, 16.5, 9, (60, 60, 70))
    g.framed_rect(5, 13, 19, 21.2, (200, 200, 210), PAPER)
    text_lines(g, 7, 15, 10, 3, gap=2.0)


def img_refresh(g):
    g.ring(12, 12, 9, 5.8, GREEN, 20, 170)
    g.ring(12, 12, 9, 5.8, GREEN, 200, 350)
    # heads at the clockwise ends of the two arcs
    g.polygon([(17.5, 13.5), (23.5, 13.5), (20.5, 8.5)], GREEN)
    g.polygon([(0.5, 10.5), (6.5, 10.5), (3.5, 15.5)], GREEN)


def img_compare(g):
    # Two pages side by side, the second one's lines changed.
    page(g, 1, 3, 10, 16, corner=3)
    text_lines(g, 2.8, 6.5, 6.4, 4)
    page(g, 13, 3, 10, 16, corner=3)
    text_lines(g, 14.8, 6.5, 6.4, 4, color=BLUE)
    g.rect(10.5, 20, 13.5, 21.5, INK)


def img_list_view(g):
    for col in (0, 1):
        for row in range(4):
            x = 2 + col * 11
            y = 3 + row * 5
            g.framed_rect(x, y, x + 3.5, y + 3.5, (140, 100, 20), AMBER)
            g.rect(x + 4.5, y + 1.2, x + 9.5, y + 2.4, INK)


def img_details_view(g):
    g.framed_rect(1.5, 2.5, 22.5, 6, (110, 110, 120), (220, 222, 230))
    for row in range(4):
        y = 8 + row * 4
        g.framed_rect(2, y, 5, y + 3, (140, 100, 20), AMBER)
        g.rect(6, y + 1, 12, y + 2, INK)
        g.rect(14, y + 1, 17, y + 2, (110, 110, 120))
        g.rect(19, y + 1, 22, y + 2, (110, 110, 120))


def img_about(g):
    g.ellipse(12, 12, 10, 10, (20, 60, 150))
    g.ellipse(12, 12, 9, 9, vgrad((90, 150, 240), (30, 80, 190), 3, 21))
    g.ellipse(12, 7, 1.8, 1.8, PAPER)
    g.rect(10.4, 10, 13.6, 18, PAPER)
    g.rect(9.5, 17, 14.5, 18.5, PAPER)


TOOL_IMAGES = {
    32771: img_add, 32773: img_extract, 32774: img_extract_to, 32776: img_list_view,
    32778: img_details_view, 32779: img_delete, 32792: img_add_to_files_list, 32793: img_edit_files_list,
    32809: img_test, 32813: img_extract_archive_to, 32814: img_view, 32821: img_save, 32827: img_refresh,
    32843: img_compare,
    57664: img_about,
}
DISK_SET = [32771, 32813, 32809, 32792, 32793, 32814, 32821, 32776, 32778, 57664]
ARCHIVE_SET = [32773, 32774, 32779, 32809, 32792, 32793, 32814, 32821, 32827, 32843, 32776, 32778, 57664]


# ---- Icons (16 x 16, 32 x 32, 48 x 48)

def ico_folder_closed(g):
    folder(g, 1.5, 4, 21, 16)


def ico_folder_open(g):
    folder(g, 1.5, 4, 20, 16, open_=True)


def ico_folder_up(g):
    folder(g, 1.5, 4, 21, 16)
    g.polygon([(12, 6.5), (18.5, 13), (14.5, 13), (14.5, 18.5), (9.5, 18.5), (9.5, 13), (5.5, 13)], (30, 120, 40))
    g.polygon([(12, 8.2), (16.2, 12.2), (13.5, 12.2), (13.5, 17.5), (10.5, 17.5), (10.5, 12.2), (7.8, 12.2)], GREEN_LIGHT)


def ico_file(g):
    page(g, 4, 1.5, 16, 21, corner=5)
    g.framed_rect(7, 10, 17, 19, (90, 90, 100), vgrad((120, 190, 250), (200, 235, 255), 10, 15))
    g.polygon([(7.8, 18.5), (11, 13.5), (13.5, 17), (15, 15), (16.5, 18.5)], (50, 150, 60))
    g.ellipse(14.5, 12.5, 1.2, 1.2, (250, 210, 40))


def ico_program(g):
    g.framed_rect(1.5, 3, 22.5, 21, (40, 40, 60), PAPER)
    g.rect(2.5, 4, 21.5, 8, vgrad((40, 90, 210), (20, 50, 150), 4, 8))
    g.rect(18, 5, 20.5, 7, (220, 220, 230))
    text_lines(g, 4, 10.5, 12, 3, gap=3.0)


def ico_app(g):
    jar(g, 3, 2, 18, 21)
    g.rect(8, 12.5, 16, 14.5, (160, 40, 40))
    g.rect(11, 12.5, 13, 19.5, (160, 40, 40))


# ---- Writers

def toolbar_strip(ids, size=24):
    images = []
    for cid in ids:
        c = Canvas(size)
        TOOL_IMAGES[cid](Scaled(c))
        images.append(c.reduce())
    width, height = size * len(images), size
    rows = []
    for y in range(height):
        row = bytearray()
        for img in images:
            for rgb, cover in img[y]:
                if cover < 0.5:
                    r, g_, b = MAGENTA
                else:
                    # Edges are blended with the button face, so they stay smooth on it.
                    t = min(1.0, (cover - 0.5) * 2.0) * 0.5 + 0.5
                    r, g_, b = lerp(FACE, rgb, t)
                    if (r, g_, b) == MAGENTA:
                        b -= 1
                row += bytes((b, g_, r))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    pixels = b''.join(reversed(rows))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def icon_file(draw, sizes):
    entries = []
    for size in sizes:
        c = Canvas(size)
        draw(Scaled(c))
        img = c.reduce()
        xor = bytearray()
        for y in reversed(range(size)):
            for rgb, cover in img[y]:
                a = int(round(cover * 255))
                xor += bytes((rgb[2], rgb[1], rgb[0], a))
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(size)):
            bits = bytearray(mask_row)
            for x, (_, cover) in enumerate(img[y]):
                if cover < 0.5:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((size, header + bytes(xor) + bytes(mask)))
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return out


SMALL_ICON_SIZES = [16, 24, 32, 48]


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'images')
    os.makedirs(here, exist_ok=True)
    files = {
        'toolbar_disk.bmp': toolbar_strip(DISK_SET),
        'toolbar_archive.bmp': toolbar_strip(ARCHIVE_SET),
        'toolbar_disk_36.bmp': toolbar_strip(DISK_SET, 36),
        'toolbar_archive_36.bmp': toolbar_strip(ARCHIVE_SET, 36),
        'toolbar_disk_48.bmp': toolbar_strip(DISK_SET, 48),
        'toolbar_archive_48.bmp': toolbar_strip(ARCHIVE_SET, 48),
        # Small icons at 16 (96 DPI), 24 (144) and 32 (192); 48 for large-icon places.
        'folder_closed.ico': icon_file(ico_folder_closed, SMALL_ICON_SIZES),
        'folder_open.ico': icon_file(ico_folder_open, SMALL_ICON_SIZES),
        'folder_up.ico': icon_file(ico_folder_up, SMALL_ICON_SIZES),
        'file.ico': icon_file(ico_file, SMALL_ICON_SIZES),
        'program.ico': icon_file(ico_program, SMALL_ICON_SIZES),
        'torvex.ico': icon_file(ico_app, [16, 24, 32, 48, 64]),
    }
    for name, data in files.items():
        with open(os.path.join(here, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws Heraldpad's icon and the two picture buttons into this folder.

Everything is made of simple shapes in a small grid, so the same drawing gives
the 32 x 32 icon (16 colours and a transparency mask, as XPM), the larger PNG
sizes, the SVG for the desktop and a Windows .ico. Run it after changing a
shape; the files it writes are kept in the repository.
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---- the icon: a yellow square with a dark blue "HP", in front of a smaller
# red square at its lower right. Shapes in a 32-unit grid, later ones on top.
ICON_SHAPES = [
    ((140, 0, 0), (13, 13, 32, 32)),      # red square, dark edge
    ((220, 30, 30), (14, 14, 31, 31)),    # red square
    ((120, 100, 0), (0, 0, 25, 25)),      # yellow square, dark edge
    ((255, 220, 40), (1, 1, 24, 24)),     # yellow square
    # H
    ((20, 30, 120), (3, 5, 6, 20)),
    ((20, 30, 120), (9, 5, 12, 20)),
    ((20, 30, 120), (6, 11, 9, 14)),
    # P
    ((20, 30, 120), (14, 5, 17, 20)),
    ((20, 30, 120), (17, 5, 20, 8)),
    ((20, 30, 120), (17, 11, 20, 14)),
    ((20, 30, 120), (20, 6, 22, 13)),
]


def icon_pixel(x, y, size):
    """Colour at the centre of pixel (x, y) of a size x size icon, or None."""
    u = (x + 0.5) * 32.0 / size
    v = (y + 0.5) * 32.0 / size
    colour = None
    for rgb, (x0, y0, x1, y1) in ICON_SHAPES:
        if x0 <= u < x1 and y0 <= v < y1:
            colour = rgb
    return colour


def icon_image(size):
    return [[icon_pixel(x, y, size) for x in range(size)] for y in range(size)]


# ---- the 25 x 25 pictures, drawn pixel by pixel on the button face colour.
FACE = (236, 233, 216)
BLACK = (0, 0, 0)


class Canvas:
    def __init__(self, size, background):
        self.size = size
        self.px = [[background] * size for _ in range(size)]

    def put(self, x, y, rgb):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = rgb

    def rect(self, x0, y0, x1, y1, rgb):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, rgb)

    def outline(self, x0, y0, x1, y1, rgb):
        for x in range(x0, x1 + 1):
            self.put(x, y0, rgb)
            self.put(x, y1, rgb)
        for y in range(y0, y1 + 1):
            self.put(x0, y, rgb)
            self.put(x1, y, rgb)

    def polygon(self, points, rgb):
        for y in range(self.size):
            for x in range(self.size):
                if inside(points, x + 0.5, y + 0.5):
                    self.put(x, y, rgb)

    def line(self, points, rgb):
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            steps = int(max(abs(xb - xa), abs(yb - ya)) * 2) + 1
            for i in range(steps + 1):
                t = i / steps
                self.put(int(round(xa + (xb - xa) * t)), int(round(ya + (yb - ya) * t)), rgb)


def inside(points, x, y):
    hit = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def open_folder():
    c = Canvas(25, FACE)
    dark, yellow, light = (150, 120, 0), (240, 200, 40), (255, 232, 120)
    # the folder's back with its tab
    c.rect(2, 11, 17, 22, dark)
    c.rect(2, 9, 7, 10, dark)
    c.outline(2, 11, 17, 22, BLACK)
    c.line([(2, 9), (7, 9), (8, 11)], BLACK)
    c.line([(2, 9), (2, 11)], BLACK)
    # the open front flap, tilted forward
    flap = [(4.5, 14.5), (22.5, 14.5), (18.5, 22.5), (1.5, 22.5)]
    c.polygon(flap, yellow)
    c.line([(5, 15), (21, 15)], light)
    c.line([(4, 14), (22, 14), (18, 22), (1, 22), (4, 14)], BLACK)
    # a black arrow curving over the folder, pointing down and to the right
    arc = [(4 + 9 * (1 - math.cos(a)), 8 - 6 * math.sin(a))
           for a in [i * math.pi / 16 for i in range(0, 13)]]
    c.line(arc, BLACK)
    c.line([(x, y + 1) for x, y in arc], BLACK)
    tip = arc[-1]
    c.polygon([(tip[0] - 1, tip[1] - 1), (tip[0] + 5, tip[1] + 4), (tip[0] - 2, tip[1] + 5)],
              BLACK)
    return c.px


def floppy_disk():
    c = Canvas(25, FACE)
    olive, silver, dark_olive = (128, 128, 0), (192, 192, 192), (90, 90, 0)
    # the body with a cut corner at the top right
    body = [(2.5, 2.5), (19.5, 2.5), (22.5, 5.5), (22.5, 22.5), (2.5, 22.5)]
    c.polygon(body, olive)
    c.line([(2, 2), (19, 2), (22, 5), (22, 22), (2, 22), (2, 2)], BLACK)
    c.line([(3, 21), (21, 21)], dark_olive)
    # the black metal shutter at the top, with its window
    c.rect(7, 3, 17, 9, BLACK)
    c.rect(13, 4, 15, 8, olive)
    # the silver label below
    c.rect(5, 13, 19, 21, silver)
    c.outline(5, 13, 19, 21, BLACK)
    for y in (15, 17, 19):
        c.line([(7, y), (17, y)], (120, 120, 120))
    return c.px


# ---- writers
def write_png(path, image):
    size_y, size_x = len(image), len(image[0])
    raw = bytearray()
    for row in image:
        raw.append(0)
        for rgb in row:
            raw.extend((0, 0, 0, 0) if rgb is None else (*rgb, 255))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size_x, size_y, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)
    return png


def write_xpm(path, name, image):
    colours = []
    for row in image:
        for rgb in row:
            if rgb not in colours:
                colours.append(rgb)
    keys = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    key = {rgb: keys[i] for i, rgb in enumerate(colours)}
    lines = ['"%d %d %d 1"' % (len(image[0]), len(image), len(colours))]
    for rgb in colours:
        value = "None" if rgb is None else "#%02X%02X%02X" % rgb
        lines.append('"%s c %s"' % (key[rgb], value))
    for row in image:
        lines.append('"' + "".join(key[rgb] for rgb in row) + '"')
    with open(path, "w") as f:
        f.write("/* XPM */\nstatic const char *%s[] = {\n" % name)
        f.write(",\n".join(lines) + "\n};\n")
    return len(colours)


def write_svg(path):
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32">']
    for rgb, (x0, y0, x1, y1) in ICON_SHAPES:
        parts.append('  <rect x="%d" y="%d" width="%d" height="%d" fill="#%02X%02X%02X"/>'
                     % (x0, y0, x1 - x0, y1 - y0, *rgb))
    parts.append("</svg>")
    with open(path, "w") as f:
        f.write("\n".join(parts) + "\n")


def write_ico(path, pngs):
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = 6 + 16 * len(pngs)
    entries, data = b"", b""
    for size, png in pngs:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    with open(path, "wb") as f:
        f.write(header + entries + data)


def write_bmp(path, image):
    """A 24-bit Windows bitmap, rows bottom up, each padded to 4 bytes."""
    height, width = len(image), len(image[0])
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(image):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + rows)


def main():
    # --bmp FOLDER: only the two pictures, as the Windows program's resources
    # take them; nothing in this folder changes.
    if len(sys.argv) == 3 and sys.argv[1] == "--bmp":
        write_bmp(os.path.join(sys.argv[2], "open.bmp"), open_folder())
        write_bmp(os.path.join(sys.argv[2], "save.bmp"), floppy_disk())
        return
    icons = os.path.join(HERE, "icons")
    pictures = os.path.join(HERE, "pictures")
    os.makedirs(icons, exist_ok=True)
    os.makedirs(pictures, exist_ok=True)
    pngs = []
    for size in (16, 32, 48, 64, 128, 256):
        png = write_png(os.path.join(icons, "heraldpad-%d.png" % size), icon_image(size))
        pngs.append((size, png))
    count = write_xpm(os.path.join(icons, "heraldpad.xpm"), "heraldpad", icon_image(32))
    assert count <= 16, "the 32 x 32 icon has at most 16 colours"
    write_svg(os.path.join(icons, "heraldpad.svg"))
    write_ico(os.path.join(icons, "heraldpad.ico"), pngs)
    write_xpm(os.path.join(pictures, "open.xpm"), "open_folder", open_folder())
    write_xpm(os.path.join(pictures, "save.xpm"), "floppy_disk", floppy_disk())


if __name__ == "__main__":
    main()

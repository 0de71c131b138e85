#!/usr/bin/env python3
"""Draws the settings program's pictures at build time: the program icon, the
tray icon, the logo and the zoom illustration.

    make_art.py OUTPUT_FOLDER

writes setting.ico, Tray.ico, Logo.bmp and zoom.bmp there. Everything is
drawn here from shapes and a small built-in font; no picture is copied."""
import os
import struct
import sys

# 5 x 7 glyphs of the letters the logo uses, one string of five bits per row.
FONT = {
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    " ": ["00000"] * 7,
}


class Canvas:
    """RGB pixels, row 0 at the top, with a mask of the pixels drawn."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]
        self.drawn = [[False] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.drawn[y][x] = True

    def rect(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour, inner=0.0):
        """A filled ellipse, or a ring when inner (a fraction of the radius) is given."""
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                d = ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2
                if d <= 1.0 and d >= inner * inner:
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.rect(x - width // 2, y - width // 2, x - width // 2 + width, y - width // 2 + width, colour)

    def text(self, x, y, text, colour, scale=1):
        for ch in text:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale,
                                  colour)
            x += 6 * scale


def mouse(canvas, cx, cy, size, body, button, outline):
    """A mouse seen from above: a rounded body, two buttons and the wheel."""
    rx, ry = size * 0.30, size * 0.45
    canvas.ellipse(cx, cy, rx + 1, ry + 1, outline)
    canvas.ellipse(cx, cy, rx, ry, body)
    top = int(cy - ry * 0.75)
    split = int(cy - ry * 0.15)
    canvas.ellipse(cx, cy - ry * 0.35, rx * 0.85, ry * 0.45, button)
    canvas.rect(int(cx - rx), split, int(cx + rx) + 1, split + max(1, size // 24), outline)
    canvas.rect(int(cx) - max(1, size // 32), top, int(cx) + max(1, size // 32) + 1, split, outline)
    wheel = max(2, size // 10)
    canvas.rect(int(cx) - wheel // 2, int(cy - ry * 0.55), int(cx) - wheel // 2 + wheel,
                int(cy - ry * 0.55) + wheel * 2, (40, 40, 40))


def dib(canvas, with_mask):
    """BITMAPINFOHEADER and 24-bit rows bottom-up; for an icon also the AND mask."""
    height = canvas.height * (2 if with_mask else 1)
    stride = (canvas.width * 3 + 3) & ~3
    colour = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for r, g, b in canvas.pixels[y]:
            row += bytes((b, g, r))
        colour += row + bytes(stride - len(row))
    mask = bytearray()
    if with_mask:
        mask_stride = ((canvas.width + 31) // 32) * 4
        for y in reversed(range(canvas.height)):
            row = bytearray(mask_stride)
            for x in range(canvas.width):
                if not canvas.drawn[y][x]:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, height, 1, 24, 0, len(colour) + len(mask), 2835, 2835,
                         0, 0)
    return header + colour + mask


def write_bmp(path, canvas):
    body = dib(canvas, False)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40) + body)


def write_ico(path, canvases):
    images = [dib(c, True) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def icon(size, body, button):
    canvas = Canvas(size, size, (0, 0, 0))
    canvas.drawn = [[False] * size for _ in range(size)]
    mouse(canvas, size / 2, size / 2, size, body, button, (0, 0, 0))
    return canvas


def logo():
    canvas = Canvas(130, 65, (0, 0, 0))
    for y in range(65):
        shade = 200 - y
        canvas.rect(0, y, 130, y + 1, (40, 70, shade))
    mouse(canvas, 22, 32, 50, (235, 235, 240), (200, 210, 235), (20, 20, 60))
    canvas.text(46, 14, "PTRHK32A", (255, 255, 255))
    canvas.text(46, 30, "MOUSE", (255, 220, 90), 2)
    canvas.rect(46, 50, 124, 52, (255, 220, 90))
    return canvas


def zoom_picture():
    canvas = Canvas(32, 32, (192, 192, 192))
    canvas.ellipse(12, 12, 10, 10, (20, 20, 20))
    canvas.ellipse(12, 12, 8, 8, (210, 235, 255))
    canvas.rect(9, 11, 16, 14, (30, 90, 200))
    canvas.rect(11, 9, 14, 16, (30, 90, 200))
    canvas.line(19, 19, 29, 29, (90, 60, 20), 4)
    return canvas


def main(folder):
    os.makedirs(folder, exist_ok=True)
    write_ico(os.path.join(folder, "setting.ico"),
              [icon(32, (240, 240, 245), (120, 150, 230)), icon(16, (240, 240, 245), (120, 150, 230))])
    write_ico(os.path.join(folder, "Tray.ico"),
              [icon(16, (255, 230, 120), (230, 120, 60)), icon(32, (255, 230, 120), (230, 120, 60))])
    write_bmp(os.path.join(folder, "Logo.bmp"), logo())
    write_bmp(os.path.join(folder, "zoom.bmp"), zoom_picture())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

#!/usr/bin/env python3
"""Draws the program's logo (logo.bmp, 100x200) and icon (kelmo.ico, 32x32),
both with the 16 standard colours, and writes them beside this script.

The pictures are plain pixel art: a monitor with a sweep across its screen
and the word KELMO. Run it again after changing the drawing; the outputs are
committed so the build needs no Python.
"""
import os
import struct

# The 16 standard colours, as (red, green, blue), in palette order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY = 0, 4, 6, 7, 8
YELLOW, BLUE, CYAN, WHITE = 11, 12, 14, 15

# A 5x7 pixel font for the letters we draw.
FONT = {
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "E": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "M": ["X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "D": ["XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."],
    "I": ["XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "XXXXX"],
    "S": [".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."],
    "P": ["XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."],
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "Y": ["X...X", "X...X", ".X.X.", "..X..", "..X..", "..X..", "..X.."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]
        self.opaque = [[True] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.opaque[y][x] = True

    def box(self, x0, y0, x1, y1, colour):
        """Fills the rectangle x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def text(self, x, y, word, scale, colour, gap):
        for letter in word:
            for row, bits in enumerate(FONT[letter]):
                for col, bit in enumerate(bits):
                    if bit == "X":
                        self.box(x + col * scale, y + row * scale,
                                 x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 5 * scale + gap

    def text_width(self, word, scale, gap):
        return len(word) * (5 * scale + gap) - gap


def draw_monitor(c, x, y, w, h, bezel):
    """A monitor whose outer bezel is w by h at (x, y), with a stand below."""
    c.box(x, y, x + w, y + h, bezel)
    c.box(x, y + h - 1, x + w, y + h, GREY)
    c.box(x + w - 1, y, x + w, y + h, GREY)
    c.box(x, y, x + w, y + 1, WHITE)
    c.box(x, y, x + 1, y + h, WHITE)
    m = max(3, w // 12)
    sx0, sy0, sx1, sy1 = x + m, y + m, x + w - m, y + h - m - 1
    c.box(sx0, sy0, sx1, sy1, NAVY)
    # The sweep: diagonal bands of blue and cyan across the screen.
    for yy in range(sy0, sy1):
        for xx in range(sx0, sx1):
            band = (xx - sx0) + (sy1 - yy)
            if band % 12 < 3:
                c.put(xx, yy, BLUE)
            elif band % 12 == 3 and (xx - sx0) > (yy - sy0):
                c.put(xx, yy, CYAN)
    neck = max(2, w // 6)
    mid = x + w // 2
    c.box(mid - neck // 2, y + h, mid + neck - neck // 2, y + h + max(2, h // 8), GREY)
    foot = w // 2
    c.box(mid - foot // 2, y + h + max(2, h // 8), mid + foot - foot // 2,
          y + h + max(2, h // 8) + max(2, h // 12), SILVER)


def draw_logo():
    c = Canvas(100, 200, NAVY)
    # A lighter band behind the monitor, and thin lines framing the word.
    c.box(0, 0, 100, 120, BLUE)
    for y in range(0, 120, 4):
        c.box(0, y, 100, y + 1, NAVY)
    draw_monitor(c, 12, 22, 76, 60, SILVER)
    c.box(6, 128, 94, 129, CYAN)
    word = "KELMO"
    c.text((100 - c.text_width(word, 3, 3)) // 2, 138, word, 3, WHITE, 3)
    c.box(6, 166, 94, 167, CYAN)
    tag = "DISPLAY"
    c.text((100 - c.text_width(tag, 2, 2)) // 2, 176, tag, 2, YELLOW, 2)
    return c


def draw_icon():
    c = Canvas(32, 32, BLACK)
    for row in c.opaque:
        row[:] = [False] * 32
    draw_monitor(c, 2, 3, 28, 21, SILVER)
    c.text(12, 8, "K", 1, WHITE, 0)
    c.text(13, 8, "K", 1, WHITE, 0)
    return c


def pixel_rows(c):
    """The 4-bit rows bottom-up, each padded to a multiple of 4 bytes."""
    stride = ((c.width * 4 + 31) // 32) * 4
    rows = []
    for y in range(c.height - 1, -1, -1):
        line = bytearray(stride)
        for x in range(c.width):
            shift = 4 if x % 2 == 0 else 0
            line[x // 2] |= c.pixels[y][x] << shift
        rows.append(bytes(line))
    return b"".join(rows)


def mask_rows(c):
    """The 1-bit transparency mask bottom-up: 1 where the icon is transparent."""
    stride = ((c.width + 31) // 32) * 4
    rows = []
    for y in range(c.height - 1, -1, -1):
        line = bytearray(stride)
        for x in range(c.width):
            if not c.opaque[y][x]:
                line[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(line))
    return b"".join(rows)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


BI_RGB, BI_RLE4 = 0, 2


def info_header(width, height, image_size, compression=BI_RGB):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, compression, image_size, 0, 0,
                       16, 16)


def rle4_rows(c):
    """The rows bottom-up in 4-bit run-length encoding: each run of up to 255
    pixels that alternate between two colours (or repeat one) is a count and a
    byte holding both colours; every row ends with 0, 0 and the picture with 0, 1."""
    out = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = c.pixels[y]
        x = 0
        while x < c.width:
            pair = (row[x], row[x + 1] if x + 1 < c.width else row[x])
            n = 1
            while x + n < c.width and n < 255 and row[x + n] == pair[n % 2]:
                n += 1
            out += bytes([n, pair[0] << 4 | pair[1]])
            x += n
        out += b"\0\0"
    return bytes(out[:-2]) + b"\0\1"


def bmp_bytes(c):
    """The logo, run-length encoded: the same 16-colour picture in a third of
    the room, which counts on a program that ships on a diskette."""
    bits = rle4_rows(c)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info_header(c.width, c.height, len(bits), BI_RLE4) + palette_bytes() + bits


def ico_bytes(c):
    bits = pixel_rows(c) + mask_rows(c)
    image = info_header(c.width, c.height * 2, len(bits)) + palette_bytes() + bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "logo.bmp"), "wb") as f:
        f.write(bmp_bytes(draw_logo()))
    with open(os.path.join(here, "kelmo.ico"), "wb") as f:
        f.write(ico_bytes(draw_icon()))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws the product's own art: the program icon (Trellis/win/Trellis.ico) and the hand pointer
(installer/HAND-M.CUR). Run it after changing a drawing; both files are committed.

    installer/make-art.py

Only the standard library: the icon is rendered with 4x4 supersampling and written as 32-bit
BGRA images (PNG for 256 px, as Windows Vista and later read it), the pointer as a 32-bit
cursor with its hot spot on the fingertip.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# ---------------------------------------------------------------------------------------------
# The icon: a lattice of crossed slats on a rounded tile, the menu bar's three lines above it.

TILE_TOP = (0xF4, 0xF8, 0xEC)
TILE_BOTTOM = (0xD8, 0xE8, 0xC4)
TILE_EDGE = (0x4E, 0x7A, 0x2E)
SLAT = (0x3E, 0x6B, 0x1F)
MENU = (0x2F, 0x4F, 0x8F)


def rounded_box_distance(x, y, left, top, right, bottom, radius):
    """Signed distance to a rounded rectangle: negative inside."""
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return math.hypot(x - cx, y - cy) - radius


def icon_sample(u, v):
    """Colour and coverage at (u, v) in [0, 1) of the icon's square."""
    d = rounded_box_distance(u, v, 0.04, 0.04, 0.96, 0.96, 0.16)
    if d > 0:
        return None
    edge = 0.055
    if d > -edge:
        return TILE_EDGE
    # Three lines of a menu bar across the top.
    if 0.15 < v < 0.33 and 0.17 < u < 0.83:
        row = (v - 0.15) / 0.18 * 3
        if row - math.floor(row) < 0.55:
            return MENU
    # The lattice: two sets of diagonal slats below the menu lines.
    if v > 0.40 and v < 0.88 and 0.12 < u < 0.88:
        period = 0.24
        width = 0.055
        a = (u + v) % period
        b = (u - v) % period
        if a < width or b < width:
            return SLAT
    t = v
    return tuple(int(TILE_TOP[i] + (TILE_BOTTOM[i] - TILE_TOP[i]) * t) for i in range(3))


def render_icon(size):
    pixels = []
    samples = 4
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = icon_sample((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a:
                row.append((r // a, g // a, b // a, a * 255 // (samples * samples)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def dib(pixels, hotspot=None):
    """A 32-bit BITMAPINFOHEADER image with its AND mask, bottom-up, as ICO and CUR hold them."""
    height = len(pixels)
    width = len(pixels[0])
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def png(pixels):
    height = len(pixels)
    width = len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_directory(path, kind, images):
    """images: (width, height, field1, field2, data); for icons the fields are planes and bit
    count, for cursors the hot spot."""
    out = bytearray(struct.pack('<HHH', 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for width, height, field1, field2, data in images:
        out += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, field1, field2, len(data), offset)
        offset += len(data)
    for image in images:
        out += image[4]
    with open(path, 'wb') as f:
        f.write(out)


def make_icon(path):
    images = []
    for size in (16, 20, 24, 32, 40, 48, 64, 256):
        pixels = render_icon(size)
        data = png(pixels) if size == 256 else dib(pixels)
        images.append((size, size, 1, 32, data))
    write_directory(path, 1, images)


# ---------------------------------------------------------------------------------------------
# The pointer: a hand with the index finger up. X outline, o fill, blank transparent.

HAND = [
    "     XX          ",
    "    XooX         ",
    "    XooX         ",
    "    XooX         ",
    "    XooX         ",
    "    XooXXX       ",
    "    XooXooXXX    ",
    "    XooXooXooXX  ",
    " XX XooXooXooXoX ",
    "XooXXooooooooXooX",
    "XoooXoooooooooooX",
    " XooooooooooooooX",
    "  XoooooooooooooX",
    "  XooooooooooooX ",
    "   XoooooooooooX ",
    "   XooooooooooX  ",
    "    XoooooooooX  ",
    "    XoooooooooX  ",
    "    XXXXXXXXXXX  ",
]
HAND_HOTSPOT = (5, 0)


def make_cursor(path):
    size = 32
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y, line in enumerate(HAND):
        for x, c in enumerate(line):
            if c == 'X':
                pixels[y][x] = (0, 0, 0, 255)
            elif c == 'o':
                pixels[y][x] = (255, 255, 255, 255)
    write_directory(path, 2, [(size, size, HAND_HOTSPOT[0], HAND_HOTSPOT[1], dib(pixels))])


if __name__ == '__main__':
    make_icon(os.path.join(ROOT, 'Trellis', 'Trellis.ico'))
    make_cursor(os.path.join(HERE, 'HAND-M.CUR'))

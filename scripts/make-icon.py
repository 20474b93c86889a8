#!/usr/bin/env python3
"""Draws the application icon (a small monitor) at every size Windows asks for,
from the small icon at 100 % to the large one at 300 % and the shell's 256,
into an .ico file."""
import struct
import sys
import zlib

FRAME = (0x40, 0x40, 0x40)
SCREEN = (0xD0, 0x78, 0x20)   # BGR: a deep blue screen
GLARE = (0xF0, 0xC8, 0x90)
STAND = (0x60, 0x60, 0x60)

SIZES = [16, 20, 24, 32, 40, 48, 256]
# Vista and later read PNG images in icons: from 40 pixels on (120 DPI and
# up) the bitmaps would cost the exe 16 KB and at 256 pixels 256 KB, the PNGs
# of these flat shapes about 1 KB together. The sizes up to 32 stay bitmaps
# with an alpha channel: Wine's tray draws a 4-bit image's mask wrongly.
PNG_FROM = 40


def draw(size):
    """Rows top to bottom of (b, g, r, a) pixels, on a 16-unit grid scaled to SIZE."""
    s = size / 16.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                px[y][x] = colour

    rect(0, 1, 16, 12, FRAME)      # bezel
    rect(1, 2, 15, 11, SCREEN)     # screen
    rect(2, 3, 6, 5, GLARE)        # reflection
    rect(6, 12, 10, 14, STAND)     # neck
    rect(3, 14, 13, 15, STAND)     # foot
    return [[(c[0], c[1], c[2], 255) if c else (0, 0, 0, 0) for c in row] for row in px]


def bmp_image(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(p) for row in reversed(pixels) for p in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + xor + mask


def png_image(size, pixels):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    # Filter "up" (2) turns each repeated row into zeros.
    raw, previous = b'', bytes(size * 4)
    for row in pixels:
        line = b''.join(bytes((p[2], p[1], p[0], p[3])) for p in row)
        raw += b'\x02' + bytes((a - b) & 0xFF for a, b in zip(line, previous))
        previous = line
    ihdr = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def image(size):
    return (png_image if size >= PNG_FROM else bmp_image)(size, draw(size))


def main(path):
    images = [image(n) for n in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(SIZES, images):
        # A width or height of 256 is written as 0.
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])

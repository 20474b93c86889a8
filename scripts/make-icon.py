#!/usr/bin/env python3
"""Draws the application icon (a small monitor) at 16x16 and 32x32 into an .ico file."""
import struct
import sys

FRAME = (0x40, 0x40, 0x40)
SCREEN = (0xD0, 0x78, 0x20)   # BGR: a deep blue screen
GLARE = (0xF0, 0xC8, 0x90)
STAND = (0x60, 0x60, 0x60)


def draw(size):
    """Rows top to bottom of (b, g, r, a) pixels."""
    s = size / 16.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    rect(0, 1, 16, 12, FRAME)      # bezel
    rect(1, 2, 15, 11, SCREEN)     # screen
    rect(2, 3, 6, 5, GLARE)        # reflection
    rect(6, 12, 10, 14, STAND)     # neck
    rect(3, 14, 13, 15, STAND)     # foot
    return [[(c[0], c[1], c[2], 255) if c else (0, 0, 0, 0) for c in row] for row in px]


def image(size):
    pixels = draw(size)
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


def main(path):
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])

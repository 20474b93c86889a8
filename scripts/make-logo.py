#!/usr/bin/env python3
"""Draws the program's animated logo, Logo.gif: a small monitor beside the name
"VELODUSK"; the monitor's screen dims frame by frame until it is dark and a
moon rises over it, then lights up again. Everything is drawn here, pixel by
pixel, and encoded with the GIF's own LZW; nothing but the standard library.

Usage: make-logo.py OUT.gif|- [--delay CS]   (--delay sets every frame's delay)
"""
import argparse
import struct
import sys

WIDTH, HEIGHT = 312, 72

# Global colour table (16 entries), RGB.
PALETTE = [
    (0x1B, 0x26, 0x3B),  # 0 night-blue background
    (0xF2, 0xF2, 0xF2),  # 1 letters
    (0x40, 0x40, 0x40),  # 2 bezel
    (0x60, 0x60, 0x60),  # 3 stand
    (0x20, 0x78, 0xD0),  # 4 screen, full brightness
    (0x1C, 0x60, 0xA8),  # 5
    (0x18, 0x48, 0x7C),  # 6
    (0x12, 0x30, 0x50),  # 7
    (0x08, 0x10, 0x18),  # 8 screen off
    (0x90, 0xC8, 0xF0),  # 9 glare
    (0xF0, 0xD8, 0x60),  # 10 moon
    (0x5A, 0x8C, 0xC8),  # 11 underline
    (0, 0, 0), (0, 0, 0), (0, 0, 0), (0, 0, 0),
]
SCREEN_STEPS = [4, 5, 6, 7, 8]
GLARE, MOON, BG = 9, 10, 0

# Monitor geometry; the animated frames cover only this rectangle.
MON_X, MON_Y, MON_W, MON_H = 12, 6, 76, 60

# A 5x7 pixel font of the letters the name needs.
GLYPHS = {
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
}


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def rect(px, x0, y0, x1, y1, colour):
    for y in range(max(y0, 0), min(y1, len(px))):
        for x in range(max(x0, 0), min(x1, len(px[0]))):
            px[y][x] = colour


def disc(px, cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r and 0 <= y < len(px) and 0 <= x < len(px[0]):
                px[y][x] = colour


def text(px, x, y, word, scale, colour):
    for ch in word:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    rect(px, x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, colour)
        x += 6 * scale


def monitor(step, moon):
    """The monitor rectangle for one frame: its screen at brightness STEP."""
    px = canvas(MON_W, MON_H, BG)
    rect(px, 0, 0, MON_W, 46, 2)          # bezel
    rect(px, 4, 4, MON_W - 4, 42, SCREEN_STEPS[step])
    if step == 0:
        rect(px, 8, 8, 22, 14, GLARE)
    rect(px, 32, 46, 44, 52, 3)           # neck
    rect(px, 18, 52, 58, 56, 3)           # foot
    if moon:
        disc(px, 38, 22, 10, MOON)        # a crescent: a disc with a bite
        disc(px, 44, 18, 9, SCREEN_STEPS[step])
    return px


def full_frame():
    px = canvas(WIDTH, HEIGHT, BG)
    text(px, 104, 18, "VELODUSK", 4, 1)
    rect(px, 104, 54, 104 + 8 * 24 - 4, 57, 11)
    mon = monitor(0, False)
    for y in range(MON_H):
        px[MON_Y + y][MON_X:MON_X + MON_W] = mon[y]
    return px


def lzw(indices, min_code_size):
    """GIF LZW: variable code width from min_code_size + 1 up to 12 bits."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, acc, nbits = bytearray(), 0, 0
    width = min_code_size + 1

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear)
    run = ()
    for k in indices:
        grown = run + (k,)
        if grown in table:
            run = grown
            continue
        emit(table[run])
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        run = (k,)
    if run:
        emit(table[run])
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\0")


def image_block(px, left, top, delay_cs, disposal):
    h, w = len(px), len(px[0])
    control = struct.pack("<BBBBHBB", 0x21, 0xF9, 4, disposal << 2, delay_cs, 0, 0)
    descriptor = struct.pack("<BHHHHB", 0x2C, left, top, w, h, 0)
    data = lzw([c for row in px for c in row], 4)
    return control + descriptor + bytes([4]) + sub_blocks(data)


def make(delay=None):
    # (monitor brightness step, moon shown, delay in hundredths of a second)
    script = [(0, False, 150), (1, False, 20), (2, False, 20), (3, False, 20), (4, False, 30), (4, True, 200)]
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", WIDTH, HEIGHT, 0x80 | 0x70 | 3, 0, 0)  # 16-entry global table
    gif += b"".join(bytes(c) for c in PALETTE)
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for i, (step, moon, cs) in enumerate(script):
        cs = delay if delay is not None else cs
        if i == 0:
            gif += image_block(full_frame(), 0, 0, cs, 1)
        else:
            gif += image_block(monitor(step, moon), MON_X, MON_Y, cs, 1)
    gif += b";"
    return bytes(gif)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--delay", type=int, help="every frame's delay, in hundredths of a second")
    args = ap.parse_args()
    data = make(args.delay)
    if args.out == "-":
        sys.stdout.buffer.write(data)
        return
    with open(args.out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()

"""Writes a 32x32 monochrome cursor (a filled square, hot spot at its corner)."""
import struct
import sys

W = H = 32
xor = bytearray(W * H // 8)
and_mask = bytearray(b"\xff" * (W * H // 8))
for y in range(8, 24):
    for x in range(8, 24):
        i = (y * W + x) // 8
        and_mask[i] &= ~(0x80 >> (x % 8)) & 0xff
header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
image = header + b"\x00\x00\x00\x00\xff\xff\xff\x00" + bytes(xor) + bytes(and_mask)
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<HHH", 0, 2, 1))
    f.write(struct.pack("<BBBBHHII", W, H, 0, 0, 8, 8, len(image), 6 + 16))
    f.write(image)

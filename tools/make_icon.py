#!/usr/bin/env python3
"""Draws the program's icon, 32 x 32 in 16 colours: a Spanish flag's red and
yellow bands behind a blue 'Q' and a small arrow. Writes QuorvalePatch.ico."""
import struct
import sys

# The 16-colour VGA palette, as (red, green, blue).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
           (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
           (255, 0, 255), (255, 255, 0), (255, 255, 255)]
RED, YELLOW, BLUE, GREY = (PALETTE.index(c) for c in [(255, 0, 0), (255, 255, 0), (0, 0, 255), (128, 128, 128)])

SIZE = 32


def draw():
    pixels = [[None] * SIZE for _ in range(SIZE)]  # None = transparent
    for y in range(2, 30):
        for x in range(1, 31):
            pixels[y][x] = RED if y < 9 or y >= 23 else YELLOW
    for y in range(2, 30):  # a dark frame
        pixels[y][1] = pixels[y][30] = GREY
    for x in range(1, 31):
        pixels[2][x] = pixels[29][x] = GREY
    cx, cy = 15.5, 15.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if 6.5 <= d <= 10.5:
                pixels[y][x] = BLUE
    for i in range(7):  # the tail of the Q
        for w in range(3):
            x, y = 18 + i + w - 1, 18 + i
            if x < 30 and y < 29:
                pixels[y][x] = BLUE
    return pixels


def ico(pixels):
    rows_xor = b""
    rows_and = b""
    for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        row = pixels[y]
        nibbles = [(p if p is not None else 0) for p in row]
        rows_xor += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        rows_and += bits.to_bytes(4, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)  # stored blue first
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(rows_xor) + len(rows_and), 0, 0, 16, 0)
    image = header + palette + rows_xor + rows_and
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "QuorvalePatch.ico"
    with open(out, "wb") as f:
        f.write(ico(draw()))

#!/usr/bin/env python3
"""Draws the project's icons and writes them as .ico files.

The picture is Varkel's own: a log page with ruled lines and a magnifying
glass over it, on a rounded teal tile. It is drawn procedurally at every size
(no scaling of one bitmap), so the small menu pictures stay crisp.

    make_icons.py launcher OUT.ico     the application icon: 256 (PNG), 96, 48, 32, 16,
                                        each in 32-bit and in 24-bit colour (ten images)
    make_icons.py menu SIZE BPP OUT.ico one image of SIZE x SIZE pixels at BPP (24 or 32)
    make_icons.py logo SIZE OUT.png     the Windows 11 shell package's logo, a 32-bit PNG

Regenerate the checked-in icons with: tools/make_icons.py all
"""
import math
import os
import struct
import sys
import zlib

TILE = (18, 110, 122)       # teal
TILE_EDGE = (10, 70, 80)
PAGE = (250, 250, 244)
RULE = (120, 140, 150)
LENS_RIM = (240, 170, 40)   # amber
LENS_GLASS = (200, 235, 245)
HANDLE = (90, 60, 30)


def coverage(size, inside, samples=4):
    """Anti-aliased coverage grid of a shape given by inside(x, y) in 0..1 units."""
    grid = [[0.0] * size for _ in range(size)]
    step = 1.0 / samples
    for py in range(size):
        for px in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) * step) / size
                    y = (py + (sy + 0.5) * step) / size
                    if inside(x, y):
                        hits += 1
            grid[py][px] = hits / (samples * samples)
    return grid


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def draw(size):
    """Returns rows of (r, g, b, a) for the picture at this size."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def paint(inside, colour):
        cov = coverage(size, inside, 4 if size <= 48 else 2)
        for y in range(size):
            for x in range(size):
                a = cov[y][x]
                if a <= 0:
                    continue
                r0, g0, b0, a0 = px[y][x]
                a0 /= 255.0
                out_a = a + a0 * (1 - a)
                mix = lambda c, c0: (c * a + c0 * a0 * (1 - a)) / out_a if out_a else 0
                px[y][x] = (round(mix(colour[0], r0)), round(mix(colour[1], g0)),
                            round(mix(colour[2], b0)), round(out_a * 255))

    paint(rounded_rect(0.02, 0.02, 0.98, 0.98, 0.18), TILE_EDGE)
    paint(rounded_rect(0.06, 0.06, 0.94, 0.94, 0.15), TILE)
    paint(rounded_rect(0.20, 0.12, 0.72, 0.86, 0.04), PAGE)
    lines = 4 if size < 24 else 6
    for i in range(lines):
        y = 0.22 + i * (0.55 / lines)
        length = 0.60 if i % 3 == 2 else 0.66
        paint(rounded_rect(0.26, y, length, y + max(0.035, 1.2 / size), 0.01), RULE)
    # the magnifying glass
    cx, cy, r = 0.60, 0.58, 0.19
    paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, LENS_RIM)
    ri = r * 0.70
    paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= ri * ri, LENS_GLASS)

    def handle(x, y):
        # a thick segment from the rim towards the lower right corner
        ax, ay = cx + r * 0.7, cy + r * 0.7
        bx, by = 0.90, 0.90
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        qx, qy = ax + t * dx, ay + t * dy
        return (x - qx) ** 2 + (y - qy) ** 2 <= 0.065 ** 2
    paint(handle, HANDLE)
    return px


def png_chunk(tag, data):
    return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)


def png_bytes(px):
    """A 32-bit image: RGBA, eight bits per channel."""
    size = len(px)
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in px)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


# The colour that stands for "transparent" in the 24-bit PNG; the drawing never
# uses it.
PNG_KEY_COLOUR = (255, 0, 255)


def png24_bytes(px):
    """A 24-bit image: RGB without alpha. Like the 24-bit DIBs' mask, a colour
    key (tRNS) keeps the pixels whose alpha is under half transparent."""
    size = len(px)
    rows = []
    for row in px:
        line = bytearray(b"\x00")
        for r, g, b, a in row:
            colour = (r, g, b) if a >= 128 else PNG_KEY_COLOUR
            assert a < 128 or colour != PNG_KEY_COLOUR, "the drawing uses the key colour"
            line += bytes(colour)
        rows.append(bytes(line))
    key = struct.pack(">HHH", *PNG_KEY_COLOUR)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)) +
            png_chunk(b"tRNS", key) + png_chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + png_chunk(b"IEND", b""))


def dib_bytes(px, bpp):
    """A BMP-style icon image: header, bottom-up XOR pixels, AND mask."""
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    row_bytes = ((size * bpp // 8) + 3) & ~3
    for row in reversed(px):
        line = bytearray()
        for r, g, b, a in row:
            if bpp == 32:
                line += bytes((b, g, r, a))
            else:
                # 24-bit images carry no alpha: pre-compose on the tile's edge colour
                # only where the mask says the pixel shows.
                line += bytes((b, g, r))
        line += b"\x00" * (row_bytes - len(line))
        xor += line
    mask = bytearray()
    mask_row = ((size + 31) // 32) * 4
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, bpp, data)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bpp, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, bpp, len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(head + entries + blobs)


def launcher_icon(path):
    images = []
    for size in (256, 96, 48, 32, 16):
        px = draw(size)
        for bpp in (32, 24):
            if size == 256:
                # Both 256-pixel images are PNG-compressed; the 24-bit one is
                # an RGB PNG, so its colour depth is what the group says.
                data = png_bytes(px) if bpp == 32 else png24_bytes(px)
            else:
                data = dib_bytes(px, bpp)
            images.append((size, bpp, data))
    write_ico(path, images)


def menu_icon(path, size, bpp):
    write_ico(path, [(size, bpp, dib_bytes(draw(size), bpp))])


def logo(path, size):
    with open(path, "wb") as out:
        out.write(png_bytes(draw(size)))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(here)
    if argv[1:] == ["all"]:
        launcher_icon(os.path.join(root, "VKJavaLauncher", "res", "varkel.ico"))
        res = os.path.join(root, "Quellis", "res")
        os.makedirs(res, exist_ok=True)
        for size, bpp in ((16, 32), (13, 24), (15, 24), (17, 24), (21, 24)):
            menu_icon(os.path.join(res, "varkel_%02d.ico" % size), size, bpp)
        menu_icon(os.path.join(res, "varkel_00.ico"), 16, 32)
        logo(os.path.join(root, "installer", "shell-package", "Varkel-Logo.png"), 150)
        return 0
    if len(argv) == 3 and argv[1] == "launcher":
        launcher_icon(argv[2])
        return 0
    if len(argv) == 5 and argv[1] == "menu":
        menu_icon(argv[4], int(argv[2]), int(argv[3]))
        return 0
    if len(argv) == 4 and argv[1] == "logo":
        logo(argv[3], int(argv[2]))
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))

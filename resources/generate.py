#!/usr/bin/env python3
"""Makes the three resources the updater carries.

    generate.py OUTDIR        writes firmware.bin, bitmap0.bmp and qola.ico
                              into OUTDIR (made if missing); silent on success
    generate.py --crc [FILE]  prints the CRC-16/MODBUS of FILE, by default of
                              the firmware image this script makes

Every run gives the same bytes. A file whose content is already right is not
rewritten, so a reconfigure does not make the build redo what depends on it.
Standard library only: the build runs this with whatever python3 it finds.
"""

import math
import os
import struct
import sys

FIRMWARE_BLOCKS = 508
FIRMWARE_BLOCK_SIZE = 256
FIRMWARE_SIZE = FIRMWARE_BLOCKS * FIRMWARE_BLOCK_SIZE  # 130 048

# The image is the top byte of each state of the 32-bit linear congruential
# generator x' = (1664525 x + 1013904223) mod 2^32, seeded with the ASCII of
# "BRNT" and stepped once before the first byte. The top byte is taken
# because the low bits of a power-of-two LCG repeat with short periods.
LCG_MULTIPLIER = 1664525
LCG_INCREMENT = 1013904223
LCG_SEED = 0x42524E54

PICTURE_SIZE = 290
ICON_SIZES = (16, 32)


# ---------------------------------------------------------------- firmware


def firmware_image():
    state = LCG_SEED
    out = bytearray(FIRMWARE_SIZE)
    for i in range(FIRMWARE_SIZE):
        state = (state * LCG_MULTIPLIER + LCG_INCREMENT) & 0xFFFFFFFF
        out[i] = state >> 24
    # The image stands in for a real firmware in transfer tests, which should
    # see every byte value (0x00, 0x80-0xFF included) go down the line.
    if len(set(out)) != 256:
        raise SystemExit("generate.py: firmware image misses some byte values")
    return bytes(out)


def crc16_modbus(data):
    table = []
    for n in range(256):
        crc = n
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
        table.append(crc)
    crc = 0xFFFF
    for byte in data:
        crc = (crc >> 8) ^ table[(crc ^ byte) & 0xFF]
    return crc


# ---------------------------------------------------------------- drawing
#
# Shapes are signed distance functions in pixel units (negative inside).
# A pixel's coverage is taken from the distance at its centre, which gives
# smooth edges without supersampling: the picture is shown shrunk to 15 x 14
# with smoothing, and hard edges would alias badly at that scale.
#
# Only +, -, *, / and sqrt are used on floats: IEEE 754 rounds those exactly
# alike everywhere, so the pictures come out byte for byte the same on any
# machine and Python version (math.hypot, for one, changed between versions).


def length(x, y):
    return math.sqrt(x * x + y * y)


def disc(cx, cy, r):
    return lambda x, y: length(x - cx, y - cy) - r


def capsule(x0, y0, x1, y1, r):
    """A segment with round ends, `r` wide on each side."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(1.0, max(0.0, t))
        return length(x - (x0 + t * dx), y - (y0 + t * dy)) - r

    return sdf


def convex_polygon(points):
    """Vertices in clockwise order on screen (y down)."""
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        ex, ey = bx - ax, by - ay
        edge_length = length(ex, ey)
        # Outward normal for clockwise vertices with y pointing down.
        edges.append((ax, ay, ey / edge_length, -ex / edge_length))

    def sdf(x, y):
        # Exact inside; outside it underestimates only near corners, which
        # is within the one-pixel edge band that matters here.
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)

    return sdf


def rounded_square(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = length(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def coverage(sdf, x, y):
    return min(1.0, max(0.0, 0.5 - sdf(x + 0.5, y + 0.5)))


def render(size, layers, background):
    """Pixels top row first as (r, g, b, a) floats 0..1, straight alpha.

    `layers` are (sdf, (r, g, b)) painted in order over `background`
    (r, g, b, a); a layer's colour is opaque.
    """
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            r, g, b, a = background
            for sdf, (lr, lg, lb) in layers:
                c = coverage(sdf, x, y)
                if c == 0.0:
                    continue
                # "Over" with straight alpha, the layer being opaque.
                out_a = c + a * (1.0 - c)
                r = (lr * c + r * a * (1.0 - c)) / out_a
                g = (lg * c + g * a * (1.0 - c)) / out_a
                b = (lb * c + b * a * (1.0 - c)) / out_a
                a = out_a
            row.append((r, g, b, a))
        pixels.append(row)
    return pixels


def to_byte(v):
    return min(255, max(0, int(round(v * 255))))


def bgra_bottom_up(pixels):
    """32-bit DIB rows: bottom row first, bytes B, G, R, A."""
    out = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            out += bytes((to_byte(b), to_byte(g), to_byte(r), to_byte(a)))
    return bytes(out)


def bitmap_info_header(width, height, image_size):
    # BITMAPINFOHEADER, uncompressed (BI_RGB), 32 bits per pixel, 72 dpi.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, image_size, 2835, 2835, 0, 0)


# ---------------------------------------------------------------- BITMAP0
#
# A warning sign: a red disc with a white exclamation mark, on the colour of
# a standard dialog face so that it sits quietly on the form.

DIALOG_FACE = (240 / 255, 240 / 255, 240 / 255, 1.0)
WARNING_RED = (200 / 255, 30 / 255, 30 / 255)
WHITE = (1.0, 1.0, 1.0)


def picture_bmp():
    s = PICTURE_SIZE
    c = s / 2
    layers = [
        (disc(c, c, c - 6), WARNING_RED),
        # Bold strokes and a wide gap: at 15 x 14 on screen the bar and the
        # dot are each about two pixels wide, with one or two between them.
        (union(capsule(c, 58, c, 140, 25), disc(c, 222, 26)), WHITE),
    ]
    pixels = bgra_bottom_up(render(s, layers, DIALOG_FACE))
    info = bitmap_info_header(s, s, len(pixels))
    pixel_offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", pixel_offset + len(pixels), 0, 0, pixel_offset)
    return file_header + info + pixels


# ---------------------------------------------------------------- QOLA
#
# The program's icon: a blue rounded square with a white arrow coming down
# onto a bar, "something is written into the device".

ICON_BLUE = (25 / 255, 90 / 255, 170 / 255)
TRANSPARENT = (0.0, 0.0, 0.0, 0.0)


def icon_layers(n):
    # Drawn on a 32-unit grid scaled to the icon's size; the coordinates are
    # even so that the 16 x 16 image's edges fall on whole pixels.
    k = n / 32
    shaft = convex_polygon([(12 * k, 4 * k), (20 * k, 4 * k), (20 * k, 14 * k), (12 * k, 14 * k)])
    head = convex_polygon([(6 * k, 12 * k), (26 * k, 12 * k), (16 * k, 22 * k)])
    bar = convex_polygon([(6 * k, 24 * k), (26 * k, 24 * k), (26 * k, 28 * k), (6 * k, 28 * k)])
    return [
        (rounded_square(2 * k, 2 * k, 30 * k, 30 * k, 6 * k), ICON_BLUE),
        (union(shaft, head, bar), WHITE),
    ]


def icon_image(n):
    pixels = render(n, icon_layers(n), TRANSPARENT)
    colour = bgra_bottom_up(pixels)
    # The 1-bit AND mask still matters to code that ignores alpha: set bits
    # are transparent. Rows are padded to 32 bits.
    mask_row_bytes = (n + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if to_byte(a) == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # An icon image's header counts the colour and mask rows together.
    return bitmap_info_header(n, 2 * n, len(colour) + len(mask)) + colour + bytes(mask)


def qola_ico():
    images = [icon_image(n) for n in ICON_SIZES]
    header = struct.pack("<HHH", 0, 1, len(images))  # ICONDIR, type 1: icon
    offset = len(header) + 16 * len(images)
    entries = b""
    for n, image in zip(ICON_SIZES, images):
        # ICONDIRENTRY: width, height, palette size, reserved, planes, bit
        # count, image size, image offset.
        entries += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return header + entries + b"".join(images)


# ---------------------------------------------------------------- main


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) in (2, 3) and argv[1] == "--crc":
        if len(argv) == 3:
            with open(argv[2], "rb") as f:
                data = f.read()
        else:
            data = firmware_image()
        print("%04X" % crc16_modbus(data))
        return 0
    if len(argv) != 2 or argv[1].startswith("-"):
        sys.stderr.write(__doc__)
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    write_if_changed(os.path.join(out_dir, "firmware.bin"), firmware_image())
    write_if_changed(os.path.join(out_dir, "bitmap0.bmp"), picture_bmp())
    write_if_changed(os.path.join(out_dir, "qola.ico"), qola_ico())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

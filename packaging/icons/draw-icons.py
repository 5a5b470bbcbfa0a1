#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the Lenstally icon: a camera lens seen from the front with a red recording dot.

Writes, next to this script:
  lenstally.ico          the icon group: 32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours
  lenstally-32.png       32x32, the 16-colour picture
  lenstally-16.png       16x16, the 16-colour picture
  lenstally.svg          the scalable icon: the 32x32 drawing's discs as circles
  lenstally-NNN.png      48, 64, 128 and 256 pixels: the scalable icon, smoothed (8-bit RGBA)

Only the standard library is used and every pixel is decided by plain geometry, so the output is
the same on every machine. The images are committed; run this again only after changing the
drawing. `draw-icons.py --check` redraws into memory and fails if the committed files differ
(PNG files are compared by their decoded pixels and palettes, so another zlib does not matter).
"""

import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent

# The classic 16-colour palette, in its usual order; index 0 is black.
PALETTE16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
PALETTE2 = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]

BLACK, MAROON, NAVY, SILVER, GREY, RED, BLUE, WHITE = 0, 1, 4, 7, 8, 9, 12, 15

# The parts of the picture, from the back to the front: each is a disc, and the colour it takes
# in the 16-colour and the 2-colour images. Small icons are drawn, not shrunk, so each size has
# its own discs (centre x, centre y, radius, in pixels from the top-left corner): the outlines
# stay one pixel wide and closed at 16x16 too.
PARTS = [
    ("barrel edge", BLACK, 0),
    ("barrel", GREY, 1),
    ("barrel ring", SILVER, 1),
    ("glass edge", BLACK, 0),
    ("glass", NAVY, 0),
    ("iris", BLUE, 0),
    ("pupil", BLACK, 0),
    ("glint", WHITE, 1),
    ("dot edge", MAROON, 0),
    ("dot", RED, 0),
]
DISCS = {
    32: [(15, 17, 14.6), (15, 17, 13.5), (15, 17, 10.6), (15, 17, 9.0), (15, 17, 7.9),
         (15, 17, 4.8), (15, 17, 2.0), (12, 14, 1.6), (26.5, 5.5, 5.2), (26.5, 5.5, 4.1)],
    16: [(7, 9, 6.9), (7, 9, 5.9), (7, 9, 4.9), (7, 9, 4.0), (7, 9, 4.0),
         (7, 9, 2.4), (7, 9, 1.0), (5.5, 7.5, 0.8), (13, 3, 2.9), (13, 3, 2.0)],
}


def draw(size):
    """A size x size grid of part indices (None for transparent), judged at each pixel's centre."""
    grid = []
    for row in range(size):
        line = []
        for col in range(size):
            x, y = col + 0.5, row + 0.5
            found = None
            for i, (cx, cy, r) in enumerate(DISCS[size]):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    found = i
            line.append(found)
        grid.append(line)
    return grid


# The scalable drawing is the 32x32 one: its discs, in units of one 32x32 pixel. The small icons
# are drawn pixel by pixel; the large ones are this drawing scaled and smoothed.
SCALABLE = DISCS[32]
SCALABLE_SIZES = [48, 64, 128, 256]
# Sub-pixel samples per side where a pixel meets the edge of a disc.
SAMPLES = 8


def part_at(x, y):
    """The front-most part at a point of the scalable drawing, or None where it is transparent."""
    for i in range(len(SCALABLE) - 1, -1, -1):
        cx, cy, r = SCALABLE[i]
        if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
            return i
    return None


def draw_smooth(size):
    """A size x size grid of (red, green, blue, alpha): the scalable drawing scaled to `size`, each
    pixel the average of the parts it covers (a single look at its centre when no edge is near)."""
    scale = 32 / size
    near = 0.75 * scale  # a little more than half a pixel's diagonal, in drawing units
    grid = []
    for row in range(size):
        line = []
        for col in range(size):
            x, y = (col + 0.5) * scale, (row + 0.5) * scale
            edge = any(abs(((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 - r) < near
                       for cx, cy, r in SCALABLE)
            n = SAMPLES if edge else 1
            red = green = blue = alpha = 0
            for sy in range(n):
                for sx in range(n):
                    part = part_at((col + (sx + 0.5) / n) * scale, (row + (sy + 0.5) / n) * scale)
                    if part is not None:
                        r, g, b = PALETTE16[PARTS[part][1]]
                        red, green, blue, alpha = red + r, green + g, blue + b, alpha + 1
            if alpha == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append((round(red / alpha), round(green / alpha), round(blue / alpha),
                             round(255 * alpha / (n * n))))
        grid.append(line)
    return grid


def svg():
    """The scalable drawing as SVG circles, back to front, in a 32-unit square."""
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32">']
    for (name, colour, _), (cx, cy, r) in zip(PARTS, SCALABLE):
        rgb = "#{:02x}{:02x}{:02x}".format(*PALETTE16[colour])
        lines.append(f'  <circle id="{name.replace(" ", "-")}" cx="{cx:g}" cy="{cy:g}" '
                     f'r="{r:g}" fill="{rgb}"/>')
    lines.append("</svg>")
    return ("\n".join(lines) + "\n").encode("ascii")


def colour_indices(grid, colours):
    """Palette indices for a grid of parts; `colours` picks the 16- or 2-colour column."""
    column = 1 if colours == 16 else 2
    return [[None if p is None else PARTS[p][column] for p in line] for line in grid]


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(pixels):
    """A 4-bit palette PNG holding just the colours used, with index 0 transparent."""
    size = len(pixels)
    used = sorted({i for line in pixels for i in line if i is not None})
    slot = {c: n + 1 for n, c in enumerate(used)}
    raw = bytearray()
    for line in pixels:
        raw.append(0)  # filter: none
        nibbles = [0 if i is None else slot[i] for i in line] + [0] * (size % 2)
        raw += bytes(nibbles[k] << 4 | nibbles[k + 1] for k in range(0, len(nibbles), 2))
    plte = bytes([0, 0, 0]) + b"".join(bytes(PALETTE16[c]) for c in used)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0))
            + png_chunk(b"PLTE", plte)
            + png_chunk(b"tRNS", b"\x00")
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def png_rgba(pixels):
    """An 8-bit RGBA PNG."""
    size = len(pixels)
    raw = bytearray()
    for line in pixels:
        raw.append(0)  # filter: none
        for rgba in line:
            raw += bytes(rgba)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def pack_rows(rows, bits):
    """Bottom-up rows of `bits`-per-pixel values, each padded to a multiple of four bytes."""
    out = bytearray()
    for line in reversed(rows):
        per_byte = 8 // bits
        packed = bytearray()
        for k in range(0, len(line), per_byte):
            byte = 0
            for j in range(per_byte):
                value = line[k + j] if k + j < len(line) else 0
                byte |= value << (8 - bits * (j + 1))
            packed.append(byte)
        packed += b"\x00" * (-len(packed) % 4)
        out += packed
    return bytes(out)


def ico_image(pixels, colours):
    """One icon image: header, palette, colour bits, then the mask (1 where transparent)."""
    size = len(pixels)
    bits = 1 if colours == 2 else 4
    palette = PALETTE2 if colours == 2 else PALETTE16
    # Transparent pixels hold colour 0 (black) so that masking and drawing leave the screen as is.
    colour_rows = [[0 if i is None else i for i in line] for line in pixels]
    mask_rows = [[1 if i is None else 0 for i in line] for line in pixels]
    xor = pack_rows(colour_rows, bits)
    mask = pack_rows(mask_rows, 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, len(xor) + len(mask),
                         0, 0, colours, 0)
    rgbquads = b"".join(bytes([b, g, r, 0]) for (r, g, b) in palette)
    return header + rgbquads + xor + mask


# The icon group, in the order its directory lists the images.
ICO_IMAGES = [(32, 2), (32, 16), (16, 16)]


def ico():
    images = [(size, colours, ico_image(colour_indices(draw(size), colours), colours))
              for size, colours in ICO_IMAGES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, colours, data in images:
        bits = 1 if colours == 2 else 4
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def outputs():
    files = {
        "lenstally.ico": ico(),
        "lenstally-32.png": png(colour_indices(draw(32), 16)),
        "lenstally-16.png": png(colour_indices(draw(16), 16)),
        "lenstally.svg": svg(),
    }
    for size in SCALABLE_SIZES:
        files[f"lenstally-{size}.png"] = png_rgba(draw_smooth(size))
    return files


def png_content(data):
    """What a PNG shows: its header, palette, transparency and decoded pixel rows."""
    chunks, pos, idat = {}, 8, b""
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IDAT":
            idat += body
        else:
            chunks[kind] = body
        pos += 12 + length
    return chunks, zlib.decompress(idat)


def check():
    bad = []
    for name, data in outputs().items():
        path = HERE / name
        if not path.exists():
            bad.append(f"{name} is missing")
            continue
        old = path.read_bytes()
        same = (png_content(old) == png_content(data)) if name.endswith(".png") else old == data
        if not same:
            bad.append(f"{name} differs from what {Path(__file__).name} draws")
    for line in bad:
        print(line, file=sys.stderr)
    return 1 if bad else 0


def main():
    if sys.argv[1:] == ["--check"]:
        return check()
    if sys.argv[1:]:
        print(f"usage: {Path(__file__).name} [--check]", file=sys.stderr)
        return 2
    for name, data in outputs().items():
        (HERE / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Writes the PNG and BMP files of the picture-loading tests, every colour
type, bit depth and row layout the two formats allow, each with known pixels,
and beside each file NAME.rgba: its pixels as an independent decoder (Pillow)
reads them, as straight RGBA bytes, row by row from the top.

The files are written by this script itself (zlib and struct only), so the
decoder under test and the reference decoder both read the same bytes.
Run it from anywhere: python3 make_pictures.py [FOLDER]."""

import os
import struct
import sys
import zlib

from PIL import Image

WIDTH, HEIGHT = 13, 11


# ---- pixel patterns: every sample a function of its position


def sample(x, y, channel, bits):
    top = (1 << bits) - 1
    return (x * 37 + y * 91 + channel * 53 + (x * y) * 7) % (top + 1)


def palette_colour(i):
    return ((i * 67) % 256, (i * 131 + 40) % 256, (i * 29 + 90) % 256)


# ---- PNG


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))


def pack_row(values, bits):
    if bits == 8:
        return bytes(values)
    if bits == 16:
        return b"".join(struct.pack(">H", v) for v in values)
    out, acc, used = bytearray(), 0, 0
    for v in values:
        acc = (acc << bits) | v
        used += bits
        if used == 8:
            out.append(acc)
            acc, used = 0, 0
    if used:
        out.append(acc << (8 - used))
    return bytes(out)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4),
         (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def png_data(pixels, channels, bits, interlaced):
    """Filtered (type 0) scanlines, in Adam7 passes when interlaced."""
    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    raw = bytearray()
    for x0, y0, dx, dy in passes:
        xs = range(x0, WIDTH, dx)
        if not xs:
            continue
        for y in range(y0, HEIGHT, dy):
            values = [v for x in xs for v in pixels[y][x][:channels]]
            raw += b"\0" + pack_row(values, bits)
    return zlib.compress(bytes(raw), 9)


def write_png(path, colour_type, bits, interlaced, trns):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    palette_size = 1 << min(bits, 8) if colour_type == 3 else 0
    pixels = [[[sample(x, y, c, bits) for c in range(channels)]
               for x in range(WIDTH)] for y in range(HEIGHT)]
    chunks = [png_chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, bits,
                                             colour_type, 0, 0, int(interlaced)))]
    if colour_type == 3:
        chunks.append(png_chunk(b"PLTE", b"".join(
            bytes(palette_colour(i)) for i in range(palette_size))))
    if trns:
        if colour_type == 3:
            alphas = bytes((i * 97) % 256 for i in range(palette_size))
            chunks.append(png_chunk(b"tRNS", alphas))
        else:
            # The colour key is the colour of a pixel that occurs.
            key = pixels[2][3][:channels]
            chunks.append(png_chunk(b"tRNS", b"".join(struct.pack(">H", v) for v in key)))
    chunks.append(png_chunk(b"IDAT", png_data(pixels, channels, bits, interlaced)))
    chunks.append(png_chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + b"".join(chunks))


PNG_DEPTHS = {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}


def png_files(folder):
    for colour_type, depths in PNG_DEPTHS.items():
        for bits in depths:
            for interlaced in (False, True):
                keys = (False, True) if colour_type in (0, 2, 3) else (False,)
                for trns in keys:
                    name = "png-c%d-%d%s%s.png" % (colour_type, bits, "-i" if interlaced else "",
                                                   "-trns" if trns else "")
                    write_png(os.path.join(folder, name), colour_type, bits, interlaced, trns)
                    yield name


# ---- BMP


def bmp_palette_index(x, y, bits):
    return sample(x, y, 0, bits)


def bmp_rows(bits, masks):
    """Pixel rows from the top, as the bytes of each row without padding."""
    rows = []
    for y in range(HEIGHT):
        if bits <= 8:
            rows.append(pack_row([bmp_palette_index(x, y, bits) for x in range(WIDTH)], bits))
        elif bits == 24:
            rows.append(b"".join(bytes((sample(x, y, 2, 8), sample(x, y, 1, 8),
                                        sample(x, y, 0, 8))) for x in range(WIDTH)))
        else:
            row = b""
            for x in range(WIDTH):
                value = 0
                for channel, mask in enumerate(masks):
                    if mask:
                        shift = (mask & -mask).bit_length() - 1
                        width = bin(mask).count("1")
                        value |= sample(x, y, channel, width) << shift
                row += struct.pack("<I" if bits == 32 else "<H", value)
            rows.append(row)
    return rows


def rle8(bits):
    """Run-length data: runs of equal pixels, literal runs and end markers."""
    out = bytearray()
    for y in reversed(range(HEIGHT)):
        values = [bmp_palette_index(x, y, bits) for x in range(WIDTH)]
        # An encoded run of the first pixel, then the rest as one literal run.
        out += bytes((1, values[0]))
        rest = values[1:]
        out += bytes((0, len(rest))) + bytes(rest)
        if len(rest) % 2:
            out += b"\0"
        out += b"\0\0"
    return bytes(out + b"\0\1")


def rle4():
    out = bytearray()
    for y in reversed(range(HEIGHT)):
        values = [bmp_palette_index(x, y, 4) for x in range(WIDTH)]
        # Pairs of pixels as encoded runs of two.
        for x in range(0, WIDTH - 1, 2):
            out += bytes((2, values[x] << 4 | values[x + 1]))
        out += bytes((1, values[-1] << 4))
        out += b"\0\0"
    return bytes(out + b"\0\1")


def write_bmp(path, bits, top_down, header, compression=0, masks=None):
    rows = bmp_rows(bits, masks)
    stride = (WIDTH * bits + 31) // 32 * 4
    if compression in (1, 2):
        data = rle8(bits) if compression == 1 else rle4()
    else:
        ordered = rows if top_down else list(reversed(rows))
        data = b"".join(r + b"\0" * (stride - len(r)) for r in ordered)
    colours = 1 << bits if bits <= 8 else 0
    height = -HEIGHT if top_down else HEIGHT
    if header == 12:
        info = struct.pack("<IHHHH", 12, WIDTH, HEIGHT, 1, bits)
        table = b"".join(bytes(reversed(palette_colour(i))) for i in range(colours))
    else:
        info = struct.pack("<IiiHHIIiiII", header, WIDTH, height, 1, bits, compression,
                           len(data), 2835, 2835, colours, 0)
        if header >= 52 and masks:
            info += struct.pack("<IIII", *(list(masks) + [0] * (4 - len(masks))))
        elif compression == 3:
            info += struct.pack("<III", *masks[:3])  # masks after a 40-byte header
        info += b"\0" * (header - 40 - (16 if header >= 52 and masks else 0))
        table = b"".join(bytes(reversed(palette_colour(i))) + b"\0" for i in range(colours))
    offset = 14 + len(info) + len(table)
    size = offset + len(data)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, offset) + info + table + data)


def bmp_files(folder):
    cases = []
    for top_down in (False, True):
        layout = "td" if top_down else "bu"
        for bits in (1, 4, 8, 24):
            cases.append(("bmp-%d-%s.bmp" % (bits, layout), bits, top_down, 40, 0, None))
        cases.append(("bmp-16-555-%s.bmp" % layout, 16, top_down, 40, 0, (0x7c00, 0x3e0, 0x1f)))
        cases.append(("bmp-32-%s.bmp" % layout, 32, top_down, 40, 0,
                      (0xff0000, 0xff00, 0xff)))
        cases.append(("bmp-16-565-%s.bmp" % layout, 16, top_down, 40, 3, (0xf800, 0x7e0, 0x1f)))
        cases.append(("bmp-32-argb-v5-%s.bmp" % layout, 32, top_down, 124, 3,
                      (0xff0000, 0xff00, 0xff, 0xff000000)))
        cases.append(("bmp-8-v4-%s.bmp" % layout, 8, top_down, 108, 0, None))
    cases.append(("bmp-24-core.bmp", 24, False, 12, 0, None))
    cases.append(("bmp-8-core.bmp", 8, False, 12, 0, None))
    cases.append(("bmp-8-rle.bmp", 8, False, 40, 1, None))
    cases.append(("bmp-4-rle.bmp", 4, False, 40, 2, None))
    for name, bits, top_down, header, compression, masks in cases:
        write_bmp(os.path.join(folder, name), bits, top_down, header, compression, masks)
        yield name


def grey_with_key(picture, bits):
    """Pillow widens grey samples to 8 bits but leaves the colour key in the
    file's own scale; the key is compared here in that scale."""
    key = picture.info.get("transparency")
    top = (1 << bits) - 1
    values = list(picture.getdata())
    if picture.mode != "I":  # 1-, 2-, 4- and 8-bit grey come widened to 0..255
        values = [v * top // 255 for v in values]
    rgba = Image.new("RGBA", picture.size)
    rgba.putdata([(v * 255 // top,) * 3 + (0 if v == key else 255,) for v in values])
    return rgba


def rgb16_with_key(picture):
    """Pillow narrows 16-bit RGB to 8 bits and then misses the 16-bit colour
    key; the transparent pixels are those written with the key's colour."""
    rgba = picture.convert("RGBA")
    key = [sample(3, 2, c, 16) for c in range(3)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if [sample(x, y, c, 16) for c in range(3)] == key:
                rgba.putpixel((x, y), (0, 0, 0, 0))
    return rgba


def write_reference(folder, name):
    with Image.open(os.path.join(folder, name)) as picture:
        picture.load()
        bits = int(name[:-4].split("-")[2]) if name.startswith("png-c0-") else 0
        if bits:
            rgba = grey_with_key(picture, bits)
        elif name.startswith("png-c2-16-") and "trns" in name:
            rgba = rgb16_with_key(picture)
        else:
            rgba = picture.convert("RGBA")
        assert rgba.size == (WIDTH, HEIGHT), name
    with open(os.path.join(folder, name + ".rgba"), "wb") as f:
        f.write(rgba.tobytes())


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name in list(png_files(folder)) + list(bmp_files(folder)):
        write_reference(folder, name)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Writes hostile project files, each aimed at one budget of the project
reader. Usage: make-hostile-projects.py FOLDER [--large]

  unnamed-bitmaps.pixvel  a sound project plus bitmap entries the manifest
                          never names, each declaring 1 GiB (--large: 1 GiB
                          of real deflated zeros each, a package of a few MB)
  long-texts.pixvel       sixty texts of 100,000 characters at 1638 points
                          (small: two texts of 60,000 characters)
  base-claim.pixvel       a base of 16384 x 16384 for a 64 x 48 bitmap
  pixel-bomb.pixvel       three named bitmaps of 16384 x 10000 pixels, each
                          within the decoders' limit, together beyond the
                          pixel budget (--large: whole PNGs of zero rows)
  inflated-bomb.pixvel    two named bitmaps declaring 600 MiB each inflated
                          (--large: 600 MiB of real deflated data each)
  one-long-text.pixvel    one text of 100,000 characters at 1638 points:
                          within every budget, so it opens
"""

import hashlib
import json
import os
import struct
import sys
import zlib

LARGE = "--large" in sys.argv
CHUNK = 16 << 20


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_head(width, height):
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6,
                                                                   0, 0, 0))


def small_png(width, height):
    rows = b"".join(b"\0" + bytes([200, 40, 40, 255]) * width for _ in range(height))
    return png_head(width, height) + png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND",
                                                                                          b"")


def zero_png(width, height):
    """A whole PNG of zero rows, its picture data deflated in pieces."""
    packer = zlib.compressobj(1)
    row = bytes(1 + 4 * width)
    rows_per_piece = max(1, CHUNK // len(row))
    pieces = []
    for start in range(0, height, rows_per_piece):
        pieces.append(packer.compress(row * min(rows_per_piece, height - start)))
    pieces.append(packer.flush())
    return png_head(width, height) + png_chunk(b"IDAT", b"".join(pieces)) + png_chunk(b"IEND", b"")


def bitmap_name(seed):
    return "bitmaps/%s.png" % hashlib.sha256(seed.encode()).hexdigest()


class Package:
    """A ZIP package written by hand, so that an entry may declare a size
    other than the one of its data (the reader budgets by declared sizes)."""

    def __init__(self, path):
        self.out = open(path, "wb")
        self.central = b""
        self.count = 0

    def add(self, name, data, declared=None, stored=False):
        packed = data if stored else self._deflate(data)
        self._entry(name, packed, zlib.crc32(data), len(data) if declared is None else declared,
                    0 if stored else 8)

    def add_zeros(self, name, prefix, size):
        """An entry of `prefix` and zeros up to `size` bytes, deflated in pieces."""
        packer = zlib.compressobj(1, zlib.DEFLATED, -15)
        crc = zlib.crc32(prefix)
        pieces = [packer.compress(prefix)]
        left = size - len(prefix)
        zeros = bytes(CHUNK)
        while left > 0:
            piece = zeros[:min(left, CHUNK)]
            crc = zlib.crc32(piece, crc)
            pieces.append(packer.compress(piece))
            left -= len(piece)
        pieces.append(packer.flush())
        self._entry(name, b"".join(pieces), crc, size, 8)

    @staticmethod
    def _deflate(data):
        packer = zlib.compressobj(1, zlib.DEFLATED, -15)
        return packer.compress(data) + packer.flush()

    def _entry(self, name, packed, crc, declared, method):
        encoded = name.encode()
        offset = self.out.tell()
        fields = struct.pack("<HHHIIIIHH", 20, 0x800, method, 0x52644567, crc, len(packed),
                             declared, len(encoded), 0)
        self.out.write(b"PK\x03\x04" + fields + encoded + packed)
        self.central += (b"PK\x01\x02" + struct.pack("<H", 20) + fields +
                         struct.pack("<HHHII", 0, 0, 0, 0, offset) + encoded)
        self.count += 1

    def close(self):
        start = self.out.tell()
        self.out.write(self.central)
        self.out.write(b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, self.count, self.count,
                                                   len(self.central), start, 0))
        self.out.close()


def corners(width, height, x=0, y=0):
    return [[x, y], [x + width, y], [x + width, y + height], [x, y + height]]


def picture_item(name, width, height):
    return {"kind": "picture", "label": "picture", "source": "picture.png", "bitmap": name,
            "rect": [0, 0, width, height], "corners": corners(width, height), "effects": {}}


def text_item(text, points):
    return {"kind": "text", "label": "text", "text": text, "rect": [0, 0, 100, 100],
            "corners": corners(100, 100, 10, 10), "effects": {},
            "format": {"height": points * 20, "face": "굴림"}}


def manifest(base, items):
    return json.dumps({"format": "pixvel-project", "version": 1, "base": list(base),
                       "items": items}).encode()


def sound_base(package, width=64, height=48):
    name = bitmap_name("base")
    package.add(name, small_png(width, height), stored=True)
    return picture_item(name, width, height)


def zeros_bitmap(package, seed, declared):
    """A bitmap entry of a 64 x 48 PNG header and zeros up to `declared`
    bytes: the zeros real with --large, else only declared."""
    name = bitmap_name(seed)
    if LARGE:
        package.add_zeros(name, png_head(64, 48), declared)
    else:
        package.add(name, png_head(64, 48), declared=declared)
    return name


def unnamed_bitmaps(path):
    package = Package(path)
    base = sound_base(package)
    package.add("manifest.json", manifest((64, 48), [base]))
    for index in range(3):
        zeros_bitmap(package, "unnamed%d" % index, 1 << 30)
    package.close()


def texts(path, count, length):
    package = Package(path)
    items = [sound_base(package)] + [text_item("가" * length, 1638) for _ in range(count)]
    package.add("manifest.json", manifest((64, 48), items))
    package.close()


def base_claim(path):
    package = Package(path)
    package.add("manifest.json", manifest((16384, 16384), [sound_base(package)]))
    package.close()


def pixel_bomb(path):
    package = Package(path)
    items = []
    for index in range(3):
        name = bitmap_name("pixels%d" % index)
        package.add(name, zero_png(16384, 10000) if LARGE else png_head(16384, 10000),
                    stored=True)
        items.append(picture_item(name, 16384, 10000))
    package.add("manifest.json", manifest((16384, 10000), items))
    package.close()


def inflated_bomb(path):
    package = Package(path)
    items = [sound_base(package)]
    for index in range(2):
        items.append(picture_item(zeros_bitmap(package, "inflated%d" % index, 600 << 20), 64, 48))
    package.add("manifest.json", manifest((64, 48), items))
    package.close()


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    at = lambda name: os.path.join(folder, name)
    unnamed_bitmaps(at("unnamed-bitmaps.pixvel"))
    texts(at("long-texts.pixvel"), 60 if LARGE else 2, 100000 if LARGE else 60000)
    base_claim(at("base-claim.pixvel"))
    pixel_bomb(at("pixel-bomb.pixvel"))
    inflated_bomb(at("inflated-bomb.pixvel"))
    texts(at("one-long-text.pixvel"), 1, 100000)


if __name__ == "__main__":
    main()

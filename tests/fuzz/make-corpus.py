#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/:

  corpus/zip          packages for zip_reader_fuzz
  corpus/update-info  information files for update_info_fuzz
  corpus/project      a project and its manifest for project_reader_fuzz
  corpus/pictures     small pictures for picture_load_fuzz: PNG, BMP, GIF and
                      SVG written here; JPEG, TIFF and WebP converted from the
                      PNG by pixvel-tool (usage: make-corpus.py [PIXVEL_TOOL]),
                      HEIC and AVIF (with its transparency) by heif-enc
"""
import io
import os
import struct
import subprocess
import sys
import zipfile
import zlib

corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
stamp = (2021, 3, 4, 8, 43, 14)


def write(folder, name, data):
    os.makedirs(os.path.join(corpus, folder), exist_ok=True)
    with open(os.path.join(corpus, folder, name), "wb") as out:
        out.write(data)


def package(name, entries, prefix=b"", comment=b"", stream=False):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        archive.comment = comment
        for entry_name, data, method in entries:
            info = zipfile.ZipInfo(entry_name, stamp)
            info.compress_type = method
            if stream:
                # Written as a stream: sizes follow the data in a descriptor.
                with archive.open(info, "w") as out:
                    out.write(data)
            else:
                archive.writestr(info, data)
    write("zip", name, prefix + buffer.getvalue())


text = b"".join(b"line %d of the item list\n" % i for i in range(60))
package("stored.zip", [("a.txt", b"hello", zipfile.ZIP_STORED)])
package("deflated.zip", [("items/a/b.txt", text, zipfile.ZIP_DEFLATED)])
package("folders.zip", [("dir/", b"", zipfile.ZIP_STORED),
                        ("dir/x.bin", bytes(range(256)), zipfile.ZIP_DEFLATED)])
package("descriptor.zip", [("s.txt", text, zipfile.ZIP_DEFLATED)], stream=True)
package("prefix-comment.zip", [("p.txt", b"stub", zipfile.ZIP_DEFLATED)],
        prefix=b"MZ" + bytes(200), comment=b"package comment")
package("traversal.zip", [("../up.txt", b"x", zipfile.ZIP_STORED),
                          ("C:\\win.txt", b"y", zipfile.ZIP_DEFLATED)])



def raw_package(name, entries):
    """A package written by hand, for what no archiver makes. Each entry is
    a dict: name, data (stored bytes), optional local_name, offset (of the
    local header it points at), size (recorded compressed size), declared
    (uncompressed size), crc, method;
    local headers are written only for entries without an offset."""
    body = b""
    central = b""
    for entry in entries:
        method = entry.get("method", 0)
        data = entry["data"]
        crc = entry.get("crc", zlib.crc32(data))
        declared = entry.get("declared", len(data))
        encoded = entry["name"].encode()
        local_name = entry.get("local_name", entry["name"]).encode()
        offset = entry.get("offset", len(body))
        fields = struct.pack("<HHHIII", 20, 0, method, 0x52644567, crc,
                             entry.get("size", len(data))) + struct.pack(
            "<IHH", declared, len(encoded), 0)
        if "offset" not in entry:
            body += b"PK\x03\x04" + fields[:-4] + struct.pack("<HH", len(local_name), 0) + \
                local_name + data
        central += (b"PK\x01\x02" + struct.pack("<H", 20) + fields +
                    struct.pack("<HHHII", 0, 0, 0, 0, offset) + encoded)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, len(entries), len(entries), len(central),
                                       len(body), 0)
    write("zip", name, body + central + end)


def raw_deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


# Hostile packages: entries sharing one entry's bytes, a local name other
# than the central one, data that grows past its declared size, data that
# runs into the central directory.
zeros = raw_deflate(bytes(1 << 20))
raw_package("shared-data.zip",
            [{"name": "a0.bin", "data": zeros, "method": 8, "crc": zlib.crc32(bytes(1 << 20)),
              "declared": 1 << 20}] +
            [{"name": "a%d.bin" % i, "data": zeros, "method": 8, "offset": 0,
              "crc": zlib.crc32(bytes(1 << 20)), "declared": 1 << 20} for i in range(1, 30)])
raw_package("local-name.zip", [{"name": "good.txt", "local_name": "evil.txt", "data": b"x"}])
raw_package("grows.zip", [{"name": "g.bin", "data": raw_deflate(bytes(300000)), "method": 8,
                           "crc": zlib.crc32(bytes(1000)), "declared": 1000}])
raw_package("into-directory.zip", [{"name": "t.txt", "data": raw_deflate(b"tail"), "method": 8,
                                    "size": len(raw_deflate(b"tail")) + 40,
                                    "crc": zlib.crc32(b"tail"), "declared": 4}])

write("update-info", "update.txt",
      b"VERSION:2.0\r\nUPDATE_DATE:2024-05-06\r\nUPDATE_URL:http://h/upd\r\n"
      b"UPDATE_PATH:Pixvel\r\nUPDATE_PATH:items/new.zip\r\n")
write("update-info", "hashed.txt",
      b"VERSION:2.0\r\nUPDATE_DATE:2024-05-06\r\nUPDATE_URL:http://h/upd\r\n"
      b"UPDATE_PATH:Pixvel\r\nUPDATE_SHA256:" + b"0123456789abcdef" * 4 + b"\r\n"
      b"UPDATE_PATH:items/new.zip\r\nUPDATE_SHA256:" + b"ABCDEF" * 10 + b"\r\n")
write("update-info", "signature.txt",
      b"untrusted comment: signature from minisign secret key\n"
      b"RUQAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\n"
      b"trusted comment: timestamp:1700000000\tfile:update.inf\thashed\n"
      b"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA==\n")
write("update-info", "same.txt", b"VERSION:1.0\r\nUPDATE_DATE:d\r\nUPDATE_URL:u\r\n")
write("update-info", "korean.txt",
      b"  VERSION: 1.5 \r\nUPDATE_URL:http://h\r\nUPDATE_DATE:x\r\n"
      b"UPDATE_PATH:\xc7\xcf\xc6\xae.png\r\nUPDATE_PATH:\r\nUPDATE_PATH:a b.png")


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


size = 8
rows = [b"".join(bytes((x * 32, y * 32, 128, 255 if x != y else 0)) for x in range(size))
        for y in range(size)]
write("pictures", "small.png", png(size, size, rows))

bmp_rows = b"".join(b"".join(bytes((128, y * 32, x * 32)) for x in range(size)) for y in range(size))
write("pictures", "small.bmp",
      b"BM" + struct.pack("<IHHI", 54 + len(bmp_rows), 0, 0, 54)
      + struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(bmp_rows), 2835, 2835, 0, 0)
      + bmp_rows)

# A 1×1 GIF with a two-colour table.
write("pictures", "dot.gif",
      b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff"
      b"!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")
write("pictures", "star.svg",
      b'<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">'
      b'<polygon points="8,1 10,6 15,6 11,9 13,15 8,11 3,15 5,9 1,6 6,6" fill="#fc0"/></svg>')

tool = sys.argv[1] if len(sys.argv) > 1 else "build/tools/pixvel-tool"
source = os.path.join(corpus, "pictures", "small.png")
for name in ("small.jpg", "small.tif", "small.webp"):
    subprocess.run([tool, "render", source, os.path.join(corpus, "pictures", name)], check=True)
for name in ("small.heic", "small.avif"):
    subprocess.run(["heif-enc", "-q", "50", "-o", os.path.join(corpus, "pictures", name), source],
                   check=True, stdout=subprocess.DEVNULL)

# Projects for project_reader_fuzz: a package with a sticker and a text made
# by pixvel-tool, and its manifest alone (read as a manifest).
project = os.path.join(corpus, "project", "small.pixvel")
os.makedirs(os.path.dirname(project), exist_ok=True)
subprocess.run([tool, "render", source, project, "--item", source + "@4,4,4,4", "--rotate", "30",
                "--hue", "40", "--text", "가@1,1", "--size", "6", "--bold"], check=True)
with zipfile.ZipFile(project) as archive:
    write("project", "manifest.json", archive.read("manifest.json"))

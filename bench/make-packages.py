#!/usr/bin/env python3
"""Makes the packages the unpack benchmark reads (never committed):

  small.zip  about 2000 files, 100 MB before compression
  large.zip  50 files, 500 MB before compression

Half of the files are text that compresses, half random bytes; every entry
is deflated. Usage: make-packages.py FOLDER
"""
import os
import random
import sys
import zipfile

folder = sys.argv[1] if len(sys.argv) > 1 else "/tmp/pixvel-bench"
os.makedirs(folder, exist_ok=True)
rng = random.Random(5)
words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10)))
         for _ in range(3000)]
text = " ".join(rng.choice(words) for _ in range(3_000_000)).encode()


def text_bytes(size):
    start = rng.randrange(0, len(text) - size)
    return text[start:start + size]


def make(name, count, size):
    path = os.path.join(folder, name)
    if os.path.exists(path):
        return
    with zipfile.ZipFile(path + ".part", "w", zipfile.ZIP_DEFLATED) as archive:
        for i in range(count):
            data = text_bytes(size) if i % 2 == 0 else os.urandom(size)
            archive.writestr(f"items/set{i % 20:02d}/file{i:04d}.bin", data)
    os.replace(path + ".part", path)


make("small.zip", 2000, 50 * 1024)
make("large.zip", 50, 10 * 1024 * 1024)

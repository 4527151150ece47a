#!/usr/bin/python3
"""The comparison side of bench/thumbnails.sh: makes the 60x60 thumbnails of
every item file in FOLDER whose position modulo COUNT is PART, as the item
library does (the picture scaled to fit, pasted on a white square).
Usage: pillow-thumbnails.py FOLDER PART COUNT"""

import os
import sys

from PIL import Image

EXTENSIONS = {"bmp", "gif", "jpe", "jpeg", "jpg", "png", "tif", "tiff"}


def thumbnail(path):
    square = Image.new("RGB", (60, 60), (255, 255, 255))
    try:
        with Image.open(path) as image:
            if image.format == "JPEG":
                image.draft("RGB", (60, 60))
            image.thumbnail((60, 60))
            left, top = (60 - image.width) // 2, (60 - image.height) // 2
            mask = image.getchannel("A") if image.mode == "RGBA" else None
            square.paste(image.convert("RGB"), (left, top), mask)
            return f"{image.width}x{image.height}+{left}+{top}"
    except OSError:
        return "-"


def main():
    folder, part, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    names = [n for n in os.listdir(folder) if n.rpartition(".")[2] in EXTENSIONS]
    lines = [f"{n}\t{thumbnail(os.path.join(folder, n))}" for n in names[part::count]]
    sys.stdout.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Makes the item folder of the thumbnail benchmark: 700 PNG stickers of
256x256 with transparency and 300 JPEG photos of 1600x1200, interleaved in
name order. Usage: make-thumbnail-folder.py FOLDER"""

import os
import random
import sys

from PIL import Image, ImageDraw, ImageFilter


def sticker(rng):
    image = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    for _ in range(rng.randint(3, 8)):
        box = sorted(rng.sample(range(256), 2)), sorted(rng.sample(range(256), 2))
        colour = tuple(rng.randrange(256) for _ in range(3)) + (rng.randint(128, 255),)
        shape = rng.choice((draw.ellipse, draw.rectangle))
        shape((box[0][0], box[1][0], box[0][1], box[1][1]), fill=colour)
    return image


def photo(rng):
    small = Image.effect_noise((200, 150), rng.randint(30, 90)).convert("RGB")
    tint = Image.new("RGB", small.size, tuple(rng.randrange(256) for _ in range(3)))
    small = Image.blend(small, tint, 0.5).filter(ImageFilter.GaussianBlur(2))
    image = small.resize((1600, 1200), Image.BICUBIC)
    noise = Image.effect_noise((1600, 1200), 12).convert("RGB")
    return Image.blend(image, noise, 0.15)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(15)
    for index in range(1000):
        if index % 10 < 7:
            sticker(rng).save(os.path.join(folder, f"sticker{index:04d}.png"))
        else:
            photo(rng).save(os.path.join(folder, f"photo{index:04d}.jpg"), quality=90)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Pictures as a family's archive holds them, made with Debian's Pillow (python3-pil):

    make_pictures.py fill FOLDER          every empty .jpg/.jpeg below FOLDER becomes a picture:
                                          in turn a camera's JPEG (EXIF orientation 1, 6, 3 or 8
                                          and an embedded 160 x 120 thumbnail) and a plain JPEG
                                          without EXIF; .heic, .mov and .mp4 get bytes that no
                                          codec of Wine decodes
    make_pictures.py set FOLDER N MP [--no-thumbnail]
                                          N camera pictures of MP megapixels (for the benchmark)

The pictures' content is noise over a gradient, so that they compress as photos do, not as flat
colour.
"""
import io
import os
import random
import struct
import sys

from PIL import Image


def picture(width, height, seed):
    rnd = random.Random(seed)
    base = Image.linear_gradient("L").resize((width, height)).convert("RGB")
    noise = Image.effect_noise((width, height), 40 + seed % 30).convert("RGB")
    tint = Image.new("RGB", (width, height), (rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)))
    return Image.blend(Image.blend(base, noise, 0.5), tint, 0.3)


def exif_with_thumbnail(orientation, thumbnail):
    """An APP1 EXIF segment: IFD0 with the orientation, IFD1 with the JPEG thumbnail."""
    ifd0 = struct.pack("<H", 1) + struct.pack("<HHII", 0x0112, 3, 1, orientation)
    ifd1_at = 8 + len(ifd0) + 4
    data_at = ifd1_at + 2 + 2 * 12 + 4
    ifd1 = struct.pack("<H", 2) + struct.pack("<HHII", 0x0201, 4, 1, data_at) + \
        struct.pack("<HHII", 0x0202, 4, 1, len(thumbnail)) + struct.pack("<I", 0)
    tiff = b"II*\0" + struct.pack("<I", 8) + ifd0 + struct.pack("<I", ifd1_at) + ifd1 + thumbnail
    body = b"Exif\0\0" + tiff
    return b"\xFF\xE1" + struct.pack(">H", len(body) + 2) + body


def camera_jpeg(width, height, seed, orientation, with_thumbnail=True):
    image = picture(width, height, seed)
    out = io.BytesIO()
    image.save(out, "JPEG", quality=88)
    jpeg = out.getvalue()
    if not with_thumbnail:
        return jpeg
    small = image.copy()
    small.thumbnail((160, 120))
    thumb = io.BytesIO()
    small.save(thumb, "JPEG", quality=80)
    return jpeg[:2] + exif_with_thumbnail(orientation, thumb.getvalue()) + jpeg[2:]


def fill(folder):
    made = 0
    for root, _, names in sorted(os.walk(folder)):
        for name in sorted(names):
            path = os.path.join(root, name)
            ext = name.lower().rsplit(".", 1)[-1]
            if os.path.getsize(path) > 0:
                continue
            if ext in ("jpg", "jpeg"):
                orientation = (1, 6, 3, 8)[(made // 2) % 4]
                with open(path, "wb") as handle:
                    if made % 2 == 0:
                        handle.write(camera_jpeg(1200, 900, made, orientation))
                    else:
                        handle.write(camera_jpeg(900, 1200, made, 1, with_thumbnail=False))
                made += 1
            elif ext in ("heic", "mov", "mp4"):
                with open(path, "wb") as handle:
                    handle.write(b"\0\0\0\x18ftyp" + (b"heic" if ext == "heic" else b"isom") +
                                 os.urandom(2000))
    print(f"{made} pictures made in {folder}")


def picture_set(folder, count, megapixels, with_thumbnail):
    os.makedirs(folder, exist_ok=True)
    width = int((megapixels * 1e6 * 4 / 3) ** 0.5)
    height = int(width * 3 / 4)
    for n in range(count):
        path = os.path.join(folder, f"IMG_{n:04d}.JPG")
        if not os.path.exists(path):
            with open(path, "wb") as handle:
                handle.write(camera_jpeg(width, height, n, 1, with_thumbnail))
    print(f"{count} pictures of {width} x {height} in {folder}")


if __name__ == "__main__":
    if sys.argv[1] == "fill":
        fill(sys.argv[2])
    else:
        picture_set(sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), "--no-thumbnail" not in sys.argv)

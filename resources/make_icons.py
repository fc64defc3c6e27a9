#!/usr/bin/env python3
"""Draws the program's two icons and writes them as ICO files of uncompressed BMP pictures.

help.ico      the help buttons' picture: a white question mark on a blue disc, in the 11 sizes
              and colour depths the program expects (32x32 first, at 4, 8 and 32 bits).
spurlese.ico  the application icon: a magnifying glass on an orange tile, 16, 32 and 48 at 32
              bits.
With --cpp it also writes the help icon as a C++ byte array for the program to carry.

Usage: make_icons.py OUTPUT_FOLDER [--cpp FILE]
"""
import math
import struct
import sys
from pathlib import Path

HELP_PICTURES = [(32, 4), (32, 8), (32, 32), (16, 4), (16, 8), (16, 32), (48, 8), (48, 32),
                 (40, 32), (24, 32), (20, 32)]
APP_PICTURES = [(16, 32), (32, 32), (48, 32)]

BLUE = (0x1F, 0x5F, 0xBF)
WHITE = (0xFF, 0xFF, 0xFF)
ORANGE = (0xE8, 0x7A, 0x1E)
DARK = (0x30, 0x30, 0x30)


def ring(x, y, cx, cy, radius, width, start=None, end=None):
    distance = math.hypot(x - cx, y - cy)
    if abs(distance - radius) > width / 2:
        return False
    if start is None:
        return True
    angle = math.degrees(math.atan2(cy - y, x - cx)) % 360  # 0 = right, 90 = up
    return angle >= start or angle <= end


def segment(x, y, x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2


def help_colour(x, y):
    """Colour at a point of the unit square, or None outside the picture."""
    if math.hypot(x - 0.5, y - 0.5) > 0.48:
        return None
    # The hook runs from the left over the top down to the lower right, then bends into the
    # stem; the dot stands apart below.
    hook_end = (0.5 + 0.15 * math.cos(math.radians(300)), 0.37 - 0.15 * math.sin(math.radians(300)))
    mark = (ring(x, y, 0.5, 0.37, 0.15, 0.1, start=300, end=180)
            or segment(x, y, hook_end[0], hook_end[1], 0.5, 0.56, 0.1)
            or segment(x, y, 0.5, 0.56, 0.5, 0.63, 0.1)
            or math.hypot(x - 0.5, y - 0.78) <= 0.065)
    return WHITE if mark else BLUE


def app_colour(x, y):
    inset = 0.06
    if not (inset <= x <= 1 - inset and inset <= y <= 1 - inset):
        return None
    if ring(x, y, 0.42, 0.42, 0.2, 0.08) or segment(x, y, 0.57, 0.57, 0.82, 0.82, 0.12):
        return DARK
    if math.hypot(x - 0.42, y - 0.42) < 0.16:
        return WHITE
    return ORANGE


def render(colour_at, size):
    """Rows top to bottom of (r, g, b, a), four by four samples per pixel."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(4):
                for sx in range(4):
                    c = colour_at((px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            row.append((r // a, g // a, b // a, a * 255 // 16) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def vga_palette():
    levels = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
              (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    return levels


def cube_palette():
    palette = vga_palette()
    steps = [0, 51, 102, 153, 204, 255]
    palette += [(r, g, b) for r in steps for g in steps for b in steps]
    palette += [(v, v, v) for v in range(8, 248, 10)][:256 - len(palette)]
    return palette + [(0, 0, 0)] * (256 - len(palette))


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def mask_rows(pixels, size):
    stride = (size + 31) // 32 * 4
    data = b""
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def picture(colour_at, size, depth):
    pixels = render(colour_at, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0, 0, 0, 0, 0, 0)
    if depth == 32:
        body = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
        return header + body + mask_rows(pixels, size)
    palette = vga_palette() if depth == 4 else cube_palette()
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    stride = (size * depth + 31) // 32 * 4
    body = b""
    for row in reversed(pixels):
        indexes = [nearest(palette, p) if p[3] >= 128 else 0 for p in row]
        if depth == 4:
            packed = bytes((indexes[i] << 4) | (indexes[i + 1] if i + 1 < size else 0)
                           for i in range(0, size, 2))
        else:
            packed = bytes(indexes)
        body += packed + bytes(stride - len(packed))
    return header + colours + body + mask_rows(pixels, size)


def icon(colour_at, pictures):
    images = [picture(colour_at, size, depth) for size, depth in pictures]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, depth), image in zip(pictures, images):
        colours = 16 if depth == 4 else 0  # 256 colours are written as 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, depth,
                                 len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def cpp_array(data):
    lines = ["// Written by resources/make_icons.py; do not edit.",
             '#include "app/help_icon.h"', "", "namespace spurlese {", "", "namespace {", "",
             "const unsigned char kHelpIcon[] = {"]
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(str(b) for b in data[i:i + 16]) + ",")
    lines += ["};", "", "}  // namespace", "",
              "std::string_view HelpIconFile() {",
              "    return {reinterpret_cast<const char*>(kHelpIcon), sizeof(kHelpIcon)};", "}", "",
              "}  // namespace spurlese", ""]
    return "\n".join(lines)


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    help_icon = icon(help_colour, HELP_PICTURES)
    (folder / "help.ico").write_bytes(help_icon)
    (folder / "spurlese.ico").write_bytes(icon(app_colour, APP_PICTURES))
    if "--cpp" in sys.argv:
        Path(sys.argv[sys.argv.index("--cpp") + 1]).write_text(cpp_array(help_icon))


if __name__ == "__main__":
    main()

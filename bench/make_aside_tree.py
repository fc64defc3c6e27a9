#!/usr/bin/env python3
"""A tree of 100,000 small media files in 1,000 folders named as families name them (dashes,
typographic quotes, umlauts, emoji), for timing how fast files are set aside."""
import os
import sys

root = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
folders = ["Urlaub 2019 \u2013 Italien", "Oma \u201eTag\u201c", "Geburtstag J\u00fcrgen",
           "Strand \U0001F3D6", "Schnee \u2744 Winter", "Hochzeit Anna & Bj\u00f6rn"]
names = ["IMG_{:04d}.JPG", "IMG_{:04d}.HEIC", "MVI_{:04d}.MOV", "Bild {} \u2013 Kopie.jpeg",
         "VID_{}.mp4"]
per_folder = 100
for f in range(count // per_folder):
    folder = os.path.join(root, f"{2000 + f // 60}", f"{folders[f % len(folders)]} {f:04d}")
    os.makedirs(folder, exist_ok=True)
    for k in range(per_folder):
        name = names[k % len(names)].format(f * per_folder + k)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(os.urandom(16))

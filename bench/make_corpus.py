#!/usr/bin/env python3
"""Makes a deterministic test corpus: a picture archive of FOLDERS x FILES empty media files and
PROJECTS project files (*.mph) of binary data with embedded paths, as a slideshow program writes
them: ASCII, Windows-1252, UTF-8 and UTF-16LE strings, slashes both ways, letter-case variants,
a double quote after some names, files that are missing, strings outside the base path.

    make_corpus.py OUT [--projects N] [--project-size BYTES] [--folders F] [--files M]
                       [--paths N] [--seed S] [--mixed-file BYTES] [--random-file BYTES]

OUT/archive holds the archive (map it to the drive of --base), OUT/projects the project files,
OUT/referenced.txt every existing archive file the projects name (as the base path spells it).
--mixed-file writes only OUT/mixed.bin: binary data with embedded strings, for throughput tests;
--random-file only OUT/random.bin: uniformly random bytes with a path every few kilobytes.
"""
import argparse
import os
import random

BASE = "D:\\Familienbilder Stand Juni 2022"
# Folder names as people, cameras and phones write them: dashes, typographic quotes, symbols,
# other scripts, an emoji.
TOPICS = ["Urlaub 2019 \u2013 Italien", "Geburtstag J\u00fcrgen", "\u201eSommerfest\u201c",
          "Omas 80. Geburtstag \u201919", "Party \U0001F389", "\u0391\u03b8\u03ae\u03bd\u03b1",
          "Flohmarkt 5 \u20ac", "Zugspitze -5 \u00b0C", "Lea 1\u00bd Jahre", "Und dann\u2026",
          "\u041c\u043e\u0441\u043a\u0432\u0430", "Ausflug K\u00f6ln", "Weihnachten",
          "Sch\u00fctzenfest", "Oma \u00c4nne"]
MEDIA = [("IMG_{:04d}", "JPG"), ("DSC{:04d}", "jpeg"), ("clip_{:04d}", "MOV"),
         ("img_{:04d}", "HEIC"), ("Video {:04d}", "mp4")]


def folder_name(i):
    return "{} {} ({})".format(TOPICS[i % len(TOPICS)], 2000 + i % 23, i)


def file_name(i):
    stem, ext = MEDIA[i % len(MEDIA)]
    return stem.format(i) + "." + ext


def noise(rnd, size):
    """Binary data as files hold it: runs of zeros, small numbers, and random bytes."""
    out = bytearray()
    while len(out) < size:
        kind = rnd.random()
        n = rnd.randint(1, 64)
        if kind < 0.5:
            out += bytes(n)
        elif kind < 0.75:
            out += bytes(rnd.randrange(32) for _ in range(n // 2 + 1))
        else:
            out += rnd.randbytes(n)
    return bytes(out[:size])


def encode(rnd, text):
    kind = rnd.random()
    if kind < 0.45:
        return text.encode("utf-16-le")
    if kind < 0.85:
        try:
            return text.encode("cp1252")
        except UnicodeEncodeError:  # Greek, Cyrillic, emoji: as the program would write them
            return text.encode("utf-16-le")
    return text.encode("utf-8")


def embedded_path(rnd, folders, files):
    """One path string and, when it names an existing archive file, that file."""
    f, m = rnd.randrange(folders), rnd.randrange(files)
    folder, name = folder_name(f), file_name(f * files + m)
    kind = rnd.random()
    existing = None
    if kind < 0.75:
        existing = BASE + "\\" + folder + "\\" + name
    elif kind < 0.85:
        name = "Fehlt_" + name  # a renamed or deleted photo
    elif kind < 0.95:
        return "C:\\Users\\Fotowart\\Pictures\\" + name, None  # outside the base path
    else:
        return "Titel: " + folder, None
    if rnd.random() < 0.2:
        name = name.swapcase()
    path = BASE + "\\" + folder + "\\" + name
    if rnd.random() < 0.2:
        path = path.replace("\\", "/")
    if rnd.random() < 0.1:
        path += '"'
    return path, existing


def make_archive(out, folders, files):
    root = os.path.join(out, "archive")
    for f in range(folders):
        folder = os.path.join(root, folder_name(f))
        os.makedirs(folder, exist_ok=True)
        for m in range(files):
            open(os.path.join(folder, file_name(f * files + m)), "wb").close()


def make_projects(out, rnd, projects, size, folders, files, paths):
    root = os.path.join(out, "projects")
    os.makedirs(root, exist_ok=True)
    referenced = set()
    per_file = max(1, paths // max(1, projects))
    for p in range(projects):
        pieces = []
        for _ in range(per_file):
            path, existing = embedded_path(rnd, folders, files)
            if existing:
                referenced.add(existing)
            pieces.append(encode(rnd, path))
        gap = max(16, (size - sum(len(x) for x in pieces)) // (len(pieces) + 1))
        data = bytearray()
        for piece in pieces:
            data += noise(rnd, gap) + bytes([rnd.randrange(1, 8)]) + piece + bytes(2)
        data += noise(rnd, max(0, size - len(data)))
        name = "{} {:03d}.mph".format(TOPICS[p % len(TOPICS)], p)
        with open(os.path.join(root, name), "wb") as handle:
            handle.write(bytes(data[:max(size, len(data))]))
    with open(os.path.join(out, "referenced.txt"), "w", encoding="utf-8") as handle:
        handle.write("\n".join(sorted(referenced)) + "\n")


def make_media_set(out, rnd, total):
    """Files as a camera and a phone leave them, of random bytes (compressed data looks random):
    pictures of 2-6 MB and, every fortieth file, a video of 50-300 MB, 25 files a folder in the
    corpus's folders, until `total` bytes."""
    written = 0
    n = 0
    while written < total:
        video = n % 40 == 39
        size = rnd.randint(50, 300) * 10**6 if video else rnd.randint(2 * 10**6, 6 * 10**6)
        stem, ext = ("Video {:04d}", "mp4") if video else MEDIA[n % 2]
        folder = os.path.join(out, folder_name(n // 25))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, stem.format(n) + "." + ext), "wb") as handle:
            handle.write(os.urandom(size))
        written += size
        n += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out")
    parser.add_argument("--projects", type=int, default=100)
    parser.add_argument("--project-size", type=int, default=400 * 1024)
    parser.add_argument("--folders", type=int, default=300)
    parser.add_argument("--files", type=int, default=100)
    parser.add_argument("--paths", type=int, default=30000)
    parser.add_argument("--seed", type=int, default=2022)
    parser.add_argument("--mixed-file", type=int, default=0)
    parser.add_argument("--random-file", type=int, default=0)
    parser.add_argument("--media-set", type=int, default=0)
    args = parser.parse_args()
    rnd = random.Random(args.seed)
    os.makedirs(args.out, exist_ok=True)
    if args.mixed_file:
        data = bytearray()
        while len(data) < args.mixed_file:
            data += noise(rnd, rnd.randint(64, 2048))
            data += encode(rnd, embedded_path(rnd, args.folders, args.files)[0])
        with open(os.path.join(args.out, "mixed.bin"), "wb") as handle:
            handle.write(bytes(data[:args.mixed_file]))
        return
    if args.random_file:
        # Compressed pictures inside project data look like uniformly random bytes.
        data = bytearray()
        while len(data) < args.random_file:
            data += rnd.randbytes(rnd.randint(1024, 8192))
            data += encode(rnd, embedded_path(rnd, args.folders, args.files)[0])
        with open(os.path.join(args.out, "random.bin"), "wb") as handle:
            handle.write(bytes(data[:args.random_file]))
        return
    if args.media_set:
        make_media_set(args.out, rnd, args.media_set)
        return
    make_archive(args.out, args.folders, args.files)
    make_projects(args.out, rnd, args.projects, args.project_size, args.folders, args.files,
                  args.paths)


if __name__ == "__main__":
    main()

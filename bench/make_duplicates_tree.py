#!/usr/bin/env python3
"""Makes a deterministic tree of media files for the duplicate finders: FILES files of about
SIZE bytes on average in folders of 100, a third of them byte-identical copies of others (in
other folders, under other names, with other times), the rest of few distinct sizes, so that
most files share their size with files that differ; among those, families that share their
first and last 64 KiB (a camera's header and trailer) and differ only in the middle.

    make_duplicates_tree.py OUT [--files N] [--size BYTES] [--seed S]
"""
import argparse
import os
import random

EDGE = 64 << 10


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--files", type=int, default=12000)
    parser.add_argument("--size", type=int, default=200 << 10)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    rnd = random.Random(args.seed)
    originals = args.files * 2 // 3
    sizes = [args.size // 2 + k * (args.size // 40) for k in range(40)]  # 40 sizes for all
    edges = {}  # size -> shared head and tail of one camera's family
    made = []
    for n in range(originals):
        size = rnd.choice(sizes)
        if n % 4 == 0 and size > 2 * EDGE + 1024:  # a family: same edges, another middle
            head, tail = edges.setdefault(size, (os.urandom(EDGE), os.urandom(EDGE)))
            data = head + os.urandom(size - 2 * EDGE) + tail
        else:
            data = os.urandom(size)
        made.append(data)
    copies = [rnd.randrange(originals) for _ in range(args.files - originals)]
    names = ["IMG_{:05d}.JPG".format(n) for n in range(originals)]
    count = 0

    def write(data, name, stamp):
        nonlocal count
        folder = os.path.join(args.out, "Ordner {:03d} \u2013 Import".format(count // 100))
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name)
        with open(path, "wb") as handle:
            handle.write(data)
        os.utime(path, (stamp, stamp))
        count += 1

    for n, data in enumerate(made):
        write(data, names[n], 1500000000 + n)
    for k, n in enumerate(copies):
        write(made[n], "Kopie {:05d} von {}".format(k, names[n]), 1600000000 + k)
    print("{} files, {} copies, {:.2f} GB".format(
        count, len(copies), sum(len(d) for d in made) / 1e9 * len(made + copies) / len(made)))


if __name__ == "__main__":
    main()

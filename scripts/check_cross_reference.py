#!/usr/bin/env python3
"""Reads a cross-reference saved by Spurlese with Python's csv module, as a spreadsheet program
imports it, and checks it against the archive on disk and the saved hit list:

    check_cross_reference.py CSV HITS DRIVE_D

Every row has the six columns; a file marked "vorhanden" is in the archive with the size and last
change given; one marked "fehlt" is not; every hit of the list has a row (the cross-reference
names a file as the archive writes it, the hit list as the project did: they are compared as
Windows compares paths). Prints a summary and
exits non-zero on the first disagreement.
"""
import csv
import datetime
import os
import re
import sys


def fail(message):
    sys.exit(f"cross-reference: {message}")


def same_file(path):
    """A path as Windows resolves it, for comparing: "." parts and doubled backslashes dropped,
    letter case ignored."""
    path = re.sub(r"\\\\+", r"\\", path)
    path = re.sub(r"\\(\.\\)+", r"\\", path)
    return path.lower()


def main(csv_path, hits_path, drive):
    # The archive as Windows sees it: letter case ignored.
    on_disk = {}
    for folder, _, names in os.walk(drive):
        for name in names:
            full = os.path.join(folder, name)
            windows = "D:" + full[len(drive):].replace("/", "\\")
            on_disk[windows.lower()] = full
    with open(csv_path, encoding="utf-8-sig", newline="") as handle:
        rows = list(csv.reader(handle, delimiter=";"))
    header = ["Projektdatei", "Mediendatei", "Status", "Größe (Bytes)", "Letzte Änderung",
              "Vermutlich jetzt unter"]
    if rows[0] != header:
        fail(f"header {rows[0]}")
    present = set()
    missing = 0
    for number, row in enumerate(rows[1:], start=2):
        if len(row) != 6:
            fail(f"row {number} has {len(row)} columns: {row}")
        project, media, status, size, changed, new_place = row
        if not project.lower().endswith(".mph"):
            fail(f"row {number}: project {project!r}")
        full = on_disk.get(media.lower())
        if status == "vorhanden":
            if full is None or os.path.getsize(full) != int(size):
                fail(f"row {number}: {media!r} is not in the archive with {size} bytes")
            stamp = datetime.datetime.fromisoformat(changed).timestamp()
            if abs(stamp - os.path.getmtime(full)) > 2:
                fail(f"row {number}: last change {changed}, on disk {os.path.getmtime(full)}")
            present.add(same_file(media))
        elif status == "fehlt":
            if full is not None or size or changed:
                fail(f"row {number}: {media!r} marked missing")
            if new_place and new_place.lower() not in on_disk:
                fail(f"row {number}: its new place {new_place!r} does not exist")
            missing += 1
        else:
            fail(f"row {number}: status {status!r}")
    with open(hits_path, encoding="utf-8-sig", newline="") as handle:
        hits = [line for line in handle.read().split("\r\n") if line]
    unlisted = [hit for hit in hits if same_file(hit) not in present]
    if unlisted:
        fail(f"hits without a row: {unlisted[:3]}")
    print(f"Cross-reference read with Python's csv module: {len(rows) - 1} rows, "
          f"{len(rows) - 1 - missing} present, {missing} missing, all {len(hits)} hits listed.")


if __name__ == "__main__":
    main(*sys.argv[1:])

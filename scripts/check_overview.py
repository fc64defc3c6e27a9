#!/usr/bin/python3
"""Opens an overview page saved by Spurlese in headless Chromium, offline, and checks it as a
browser shows it:

    check_overview.py PAGE DRIVE_D SCREENSHOT

Every thumbnail loads and decodes, every tile's address names an existing file (drive D: is the
folder DRIVE_D), no error on the console, no script, no address on the network. A screenshot of
the page goes to SCREENSHOT. Prints a summary and exits non-zero on the first disagreement.
"""
import html.parser
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import urllib.parse


def fail(message):
    sys.exit(f"overview: {message}")


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.images, self.links, self.scripts, self.lang = [], [], 0, None
        self.anchors, self.ids, self.eager = [], set(), 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "img":
            self.images.append(attrs.get("src", ""))
            if attrs.get("loading") != "lazy" or not attrs.get("width") or not attrs.get("height"):
                self.eager += 1
        elif tag == "a" and attrs.get("href", "").startswith("#"):
            self.anchors.append(attrs["href"][1:])
        elif tag == "a":
            self.links.append(attrs.get("href", ""))
        elif tag == "script":
            self.scripts += 1
        elif tag == "html":
            self.lang = attrs.get("lang")


def on_disk(url, drive):
    """The Linux path of a file: address on drive D:."""
    parsed = urllib.parse.urlparse(url)
    path = urllib.parse.unquote(parsed.path)
    if parsed.scheme != "file" or not re.match(r"^/[A-Za-z]:/", path):
        return None
    if path[1].upper() != "D":
        return None
    return os.path.join(drive, path[4:])


def chromium(*arguments):
    return subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                           "--no-first-run", "--allow-file-access-from-files",
                           "--enable-logging=stderr", "--v=0", *arguments],
                          capture_output=True, text=True, timeout=120)


def main(page, drive, screenshot):
    with open(page, encoding="utf-8") as handle:
        text = handle.read()
    parser = Links()
    parser.feed(text)
    if parser.lang != "de" or parser.scripts:
        fail(f"lang {parser.lang!r}, {parser.scripts} scripts")
    if re.search(r"(src|href)=\"(https?:)?//", text):
        fail("an address on the network")
    if parser.eager:
        fail(f"{parser.eager} pictures load before they come into view or have no size")
    for anchor in parser.anchors:
        if anchor not in parser.ids:
            fail(f"a link to #{anchor}, which the page does not have")
    folder = os.path.dirname(os.path.abspath(page))
    for src in parser.images:
        path = os.path.join(folder, urllib.parse.unquote(src))
        if not os.path.isfile(path):
            fail(f"thumbnail {src} is not there")
    for href in parser.links:
        path = on_disk(href, drive)
        if path is None or not os.path.isfile(path):
            fail(f"tile address {href} names no file")

    # The browser: a page of ours frames the overview and asks each picture whether it decoded.
    with tempfile.TemporaryDirectory() as work:
        harness = os.path.join(work, "harness.html")
        with open(harness, "w", encoding="utf-8") as handle:
            handle.write(
                "<!DOCTYPE html><html><body><iframe id=f src=\"" +
                pathlib.Path(page).absolute().as_uri() + "\"></iframe><script>"
                "document.getElementById('f').onload = function () {"
                "  var images = Array.from(this.contentDocument.images);"
                "  var left = images.length + 1, broken = 0;"
                "  function told(image) {"
                "    if (image && image.naturalWidth === 0) broken++;"
                "    if (--left > 0) return;"
                "    var p = document.createElement('p'); p.id = 'result';"
                "    p.textContent = 'IMAGES ' + images.length + ' BROKEN ' + broken;"
                "    document.body.appendChild(p); }"
                # Each picture loads as it comes into view: the others are asked for here.
                "  images.forEach(function (image) {"
                "    if (image.complete) { told(image); return; }"
                "    image.onload = image.onerror = function () { told(image); };"
                "    image.loading = 'eager'; });"
                "  told(null); };"
                "</script></body></html>")
        run = chromium("--virtual-time-budget=10000", f"--user-data-dir={work}/profile",
                       "--dump-dom", harness)
        found = re.search(r"IMAGES (\d+) BROKEN (\d+)", run.stdout)
        if not found:
            fail(f"the browser gave no result: {run.stdout[-500:]} {run.stderr[-2000:]}")
        images, broken = int(found.group(1)), int(found.group(2))
        if images != len(parser.images) or broken:
            fail(f"{images} pictures in the browser ({len(parser.images)} in the page), {broken} broken")
        shot = chromium("--window-size=1280,1400", "--hide-scrollbars",
                        f"--screenshot={os.path.abspath(screenshot)}", os.path.abspath(page))
        errors = [line for line in (run.stderr + shot.stderr).splitlines()
                  if "CONSOLE" in line and "overview" not in line.lower() and "harness" not in line]
        if errors:
            fail(f"console: {errors[:3]}")
    if not os.path.isfile(screenshot):
        fail("no screenshot")
    print(f"Overview page opened in headless Chromium: {len(parser.images)} thumbnails (loaded as "
          f"they come into view) loaded and decoded, {len(parser.links)} tile addresses name "
          f"existing files, {len(parser.anchors)} links within the page find their sections, "
          f"no console error.")


if __name__ == "__main__":
    main(*sys.argv[1:])

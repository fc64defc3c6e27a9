#!/usr/bin/env python3
"""Opens an overview page in headless Chromium (one process, so that its peak memory is the
page's) against the page of the same tiles as the overview was written before it had a list of
the shows, folded sections, lazy pictures and tiles of few elements: the tiles' markup and the
style as they were, every section open, no list, no back links, pictures loaded at once, no names
of other shows; the page with each show's tiles in a comment (the same bytes, nothing to lay
out); and a page of its heading alone, for what the browser
takes by itself. Prints, best of three each, taking turns: the time to first contentful paint and
to the load event inside a frame, and the peak resident memory, with and without what the
browser takes for the heading alone.

    overview_paint.py PAGE
"""
import os
import re
import resource
import subprocess
import sys
import tempfile


# The page's style before it listed and folded the shows.
FORMER_STYLE = (
    'body{font-family:"Segoe UI",sans-serif;margin:1.5em;background:#f4f4f4;color:#222}'
    "h1{font-size:1.6em;color:#1f5fbf}h2{font-size:1.2em;margin:1.5em 0 .2em}"
    ".summary,.project{color:#555}.tiles{display:flex;flex-wrap:wrap;gap:12px}"
    ".tile{display:flex;flex-direction:column;width:272px;padding:8px;background:#fff;"
    "border:1px solid #ddd;border-radius:6px;color:inherit;text-decoration:none;"
    "overflow-wrap:anywhere}.tile img{max-width:256px;max-height:256px;align-self:center}"
    ".picture{height:256px;display:flex;align-items:center;justify-content:center}"
    ".film,.nothumb{height:256px;display:flex;align-items:center;justify-content:center;"
    "background:#333;color:#eee;font-size:3em}.nothumb{background:#ccc;color:#333;font-size:1em}"
    ".name{font-weight:600;margin-top:6px}.folder,.facts{font-size:.9em;color:#666}"
    ".shared{font-size:.9em;color:#1f5fbf}.missing{border-color:#c33}"
    ".flag{color:#fff;background:#c33;border-radius:3px;padding:0 6px;align-self:flex-start}"
    ".places{display:flex;flex-wrap:wrap;gap:4px;margin-top:6px}"
    ".places img{max-width:84px;max-height:84px}")


def former_picture(css, image, name, kind):
    """A tile's picture as it was written: the thumbnail in its box, a film, or the name."""
    if image:
        return f'<span class="{kind}">{image}</span>'
    if css == "f":
        return '<span class="film">\u25B6</span>'
    return f'<span class="nothumb">{name}</span>'


def former_tile(match):
    css, href, image, name, folder, facts, shared = match.groups()
    tile = (f'<a class="tile" href="{href}">{former_picture(css, image, name, "picture")}'
            f'<span class="name">{name}</span><span class="folder">{folder}</span>')
    if facts:
        tile += f'<span class="facts">{facts}</span>'
    if shared:
        tile += f'<span class="shared">{shared}</span>'
    return tile + "</a>\n"


def former_place(match):
    css, href, title, image = match.groups()
    name = title.rsplit("\\", 1)[-1]
    return f'<a href="{href}" title="{title}">{former_picture(css, image, name, "place")}</a>'


def former_missing(match):
    name, folder, places = match.groups()
    tile = (f'<div class="tile missing"><span class="flag">fehlt</span>'
            f'<span class="name">{name}</span><span class="folder">{folder}</span>')
    if places is not None:
        places = re.sub(r'<a(?: class="([fn])")? href="([^"]*)" title="([^"]*)">(<img [^>]*>)?</a>',
                        former_place, places)
        tile += ('<span class="facts">vermutlich jetzt unter:</span>'
                 f'<span class="places">{places}</span>')
    return tile + "</div>\n"


def former(page):
    """The same tiles as the page before: its markup and style, sections open, no list, nothing
    lazy, no names of other shows."""
    text = re.sub(r"<style>.*?</style>", f"<style>{FORMER_STYLE}</style>", page, flags=re.S)
    text = re.sub(r'<a class="tile(?: ([fn]))?" href="([^"]*)">(<img [^>]*>)?<b>([^<]*)</b>'
                  r'<small>([^<\n]*)(?:\n([^<]*))?</small>(?:<em title="[^"]*">([^<]*)</em>)?</a>',
                  former_tile, text)
    text = re.sub(r'<div class="tile missing"><span class="flag">fehlt</span><b>([^<]*)</b>'
                  r'<small>([^<\n]*)(?:\nvermutlich jetzt unter:)?</small>'
                  r'(?:<span class="places">(.*?)</span>)?</div>', former_missing, text)
    text = text.replace('<div class="tiles">', '<div class="tiles">\n')
    text = re.sub(r'<nav id="shows">.*?</nav>\n', "", text, flags=re.S)
    text = re.sub(r'<section id="show-\d+"><details(?: open)?><summary><h2>(.*?)</h2> '
                  r'<span class="counts">.*?</span></summary>', r"<section><h2>\1</h2>", text)
    text = re.sub(r'<section id="show-\d+">', "<section>", text)
    text = re.sub(r'<p class="back">.*?</p>(</details>)?', "", text)
    text = text.replace('loading="lazy" ', "")
    return re.sub(r' width="\d+" height="\d+"', "", text)


MEASURE = r"""
import resource, subprocess, sys
run = subprocess.run(sys.argv[1:], capture_output=True, text=True, timeout=300)
print(run.stdout)
print("MAXRSS", resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
"""


def measure(harness, work, n):
    # A process of its own, so that the peak is this run's alone.
    out = subprocess.run(
        [sys.executable, "-c", MEASURE, "chromium", "--headless", "--no-sandbox", "--disable-gpu",
         "--single-process", "--no-zygote", "--no-first-run", "--allow-file-access-from-files",
         f"--user-data-dir={work}/profile-{n}", "--dump-dom", harness],
        capture_output=True, text=True).stdout
    paint = re.search(r"FCP ([\d.]+) LOAD ([\d.]+)", out)
    rss = re.search(r"MAXRSS (\d+)", out)
    if not paint or not rss:
        sys.exit(f"overview_paint: no measurement: {out[-300:]}")
    return float(paint.group(1)), float(paint.group(2)), int(rss.group(1)) / 1024


def main(page):
    with open(page, encoding="utf-8") as handle:
        new = handle.read()
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.dirname(os.path.abspath(page))
        pages = {"now": page, "before": os.path.join(folder, "before.html"),
                 "heading alone": os.path.join(folder, "heading.html"),
                 "tiles unparsed": os.path.join(folder, "unparsed.html")}
        with open(pages["before"], "w", encoding="utf-8") as handle:
            handle.write(former(new))
        # The same bytes with every show's tiles in one comment: when a page of this size first
        # paints does not depend on what its tiles are.
        with open(pages["tiles unparsed"], "w", encoding="utf-8") as handle:
            handle.write(re.sub(r'(<div class="tiles">)(.*?)(</div><p class="back">)',
                                lambda m: m[1] + "<!--" + m[2].replace("--", "==") + "-->" + m[3],
                                new, flags=re.S))
        with open(pages["heading alone"], "w", encoding="utf-8") as handle:
            handle.write(new[:new.index("</h1>") + 5] + "</body></html>")
        results = {kind: [] for kind in pages}
        for n, kind in enumerate(["now", "before", "heading alone", "tiles unparsed", "before",
                                  "now", "tiles unparsed", "heading alone", "now", "before",
                                  "heading alone", "tiles unparsed"]):
            harness = os.path.join(work, f"h{n}.html")
            with open(harness, "w", encoding="utf-8") as handle:
                handle.write(
                    "<!DOCTYPE html><html><body><iframe id=f style='width:1280px;height:1000px' "
                    f"src='file://{os.path.abspath(pages[kind])}'></iframe><script>"
                    "document.getElementById('f').onload = function () {"
                    "  var w = this.contentWindow;"
                    "  var nav = w.performance.getEntriesByType('navigation')[0];"
                    # The heading alone loads before it paints: only its memory counts.
                    "  var fcp = w.performance.getEntriesByName('first-contentful-paint')[0];"
                    "  var p = document.createElement('p');"
                    "  p.textContent = 'FCP ' + (fcp ? fcp.startTime : 0).toFixed(1) + ' LOAD ' +"
                    "      nav.loadEventStart.toFixed(1);"
                    "  document.body.appendChild(p); };</script></body></html>")
            results[kind].append(measure(harness, work, n))
        best = {kind: [min(r[i] for r in runs) for i in range(3)] for kind, runs in results.items()}
        sizes = {kind: os.path.getsize(path) / 1048576 for kind, path in pages.items()}
        for kind in ["now", "before"]:
            fcp, load, rss = best[kind]
            print(f"  {kind}: page {sizes[kind]:.1f} MB, first contentful paint {fcp:.0f} ms, "
                  f"load {load:.0f} ms, peak memory {rss:.0f} MB")
        print(f"  the heading alone: peak memory {best['heading alone'][2]:.0f} MB; the page with "
              f"its tiles in comments: first contentful paint {best['tiles unparsed'][0]:.0f} ms "
              f"(the browser paints first when its parser first pauses, the same for any page of "
              f"this size)")
        now, before, alone = best["now"], best["before"], best["heading alone"]
        print(f"  ratios (now / before): first paint {now[0] / before[0]:.2f} (target 0.3), "
              f"load {now[1] / before[1]:.2f}, memory {now[2] / before[2]:.2f} (target 0.5); "
              f"above what the browser takes for the heading alone: memory "
              f"{(now[2] - alone[2]) / (before[2] - alone[2]):.2f}")


if __name__ == "__main__":
    main(*sys.argv[1:])

#!/usr/bin/env python3
"""Opens an overview page in headless Chromium (one process, so that its peak memory is the
page's) against the page of the same tiles as the overview was written before it had a list of
the shows, folded sections and lazy pictures: every section open, no list, no back links, pictures
loaded at once, no names of other shows; and a page of its heading alone, for what the browser
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


def former(page):
    """The same tiles as the page before: sections open, no list, nothing lazy."""
    text = re.sub(r'<nav id="shows">.*?</nav>\n', "", page, flags=re.S)
    text = re.sub(r'<section id="show-\d+"><details(?: open)?><summary><h2>(.*?)</h2> '
                  r'<span class="counts">.*?</span></summary>', r"<section><h2>\1</h2>", text)
    text = re.sub(r'<section id="show-\d+">', "<section>", text)
    text = re.sub(r'<p class="back">.*?</p>(</details>)?', "", text)
    text = text.replace('loading="lazy" ', "")
    text = re.sub(r' width="\d+" height="\d+"', "", text)
    return re.sub(r' title="auch in: [^"]*"', "", text)


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
                 "heading alone": os.path.join(folder, "heading.html")}
        with open(pages["before"], "w", encoding="utf-8") as handle:
            handle.write(former(new))
        with open(pages["heading alone"], "w", encoding="utf-8") as handle:
            handle.write(new[:new.index("</h1>") + 5] + "</body></html>")
        results = {kind: [] for kind in pages}
        for n, kind in enumerate(["now", "before", "heading alone", "before", "now",
                                  "heading alone", "now", "before", "heading alone"]):
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
        print(f"  the heading alone: peak memory {best['heading alone'][2]:.0f} MB")
        now, before, alone = best["now"], best["before"], best["heading alone"]
        print(f"  ratios (now / before): first paint {now[0] / before[0]:.2f} (target 0.3), "
              f"load {now[1] / before[1]:.2f}, memory {now[2] / before[2]:.2f} (target 0.5); "
              f"above what the browser takes for the heading alone: memory "
              f"{(now[2] - alone[2]) / (before[2] - alone[2]):.2f}")


if __name__ == "__main__":
    main(*sys.argv[1:])

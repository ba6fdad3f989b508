#!/usr/bin/python3
"""The web page's speed in headless Chromium on SwiftShader (the processor draws every pixel):
frames a second in each scene (?from=S, a few seconds live, from the page's own console count)
and the scene's mean step in WebAssembly (the show's work for a frame, drawing calls included),
the page's download, the WebAssembly memory's peak, the time from opening the page to the show
started up and waiting for the click, and from the click to the first frame. Prints each run, then the medians.
    bench/page-speed.py [RUN_DIR] [--runs N] [--seconds T]"""

import argparse
import os
import re
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from page import Browser, Server  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# A second well inside each scene, 1 to 8.
SCENE_SECONDS = {1: 30, 2: 80, 3: 120, 4: 180, 5: 220, 6: 255, 7: 290, 8: 330}
PAGE_FILES = ("index.html", "index.js", "index.wasm", "index.data")


def live(browser, url, seconds):
    """Opens the page at `url`, starts it, lets it play, ends it: its console lines."""
    browser.seen = []
    browser.driver.get(url)
    browser.wait_for_line("click or press a key to start", 240)  # after the start-up and any run-up
    ActionChains(browser.driver).move_by_offset(10, 10).click().perform()
    browser.wait_for_console("tolva: first frame", 180)
    time.sleep(seconds)
    ActionChains(browser.driver).send_keys(Keys.ESCAPE).perform()
    browser.wait_for_console("tolva: the show has ended", 60)
    return [e["message"] for e in browser.seen]


def figure(lines, pattern):
    for line in lines:
        found = re.search(pattern, line)
        if found:
            return float(found.group(1))
    raise AssertionError("no line matching %r" % pattern)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    parser.add_argument("run_dir", nargs="?", default=os.path.join(top, "build-web", "run"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=5)
    args = parser.parse_args()

    weight = sum(os.path.getsize(os.path.join(args.run_dir, f)) for f in PAGE_FILES)
    print("page download: %.1f MB (%s)" % (weight / 1e6, ", ".join(
        "%s %.2f MB" % (f, os.path.getsize(os.path.join(args.run_dir, f)) / 1e6) for f in PAGE_FILES)))
    fps = {scene: [] for scene in SCENE_SECONDS}
    steps = {scene: [] for scene in SCENE_SECONDS}
    first = []
    ready = []
    memory = []
    with Server(args.run_dir) as server, Browser() as browser:
        for run in range(args.runs):
            lines = live(browser, server.url + "index.html", 1)
            first.append(figure(lines, r"first frame (\d+) ms"))
            ready.append(figure(lines, r"ready (\d+) ms"))
            for scene, second in SCENE_SECONDS.items():
                lines = live(browser, server.url + "index.html?from=%d" % second, args.seconds)
                frames = figure(lines, r"tolva: (\d+) frames in")
                spent = figure(lines, r"frames in ([\d.]+) s")
                fps[scene].append(frames / spent if spent > 0 else 0.0)
                steps[scene].append(figure(lines, r"scene %d: ([\d.]+) ms a step" % scene))
                memory.append(figure(lines, r"memory ([\d.]+) MB"))
            print("run %d: ready %.0f ms after the page opened, first frame %.0f ms after the click; fps %s" % (
                run + 1, ready[-1], first[-1], " ".join(
                "s%d %.1f" % (scene, values[-1]) for scene, values in fps.items())), flush=True)
    print("median: show started up and waiting %.0f ms after the page opened, first frame %.0f ms after the "
          "click; memory peak %.1f MB" % (statistics.median(ready), statistics.median(first), max(memory)))
    print("median frames a second: " + " ".join(
        "scene %d %.1f," % (scene, statistics.median(values)) for scene, values in fps.items()))
    print("median step (ms): " + " ".join(
        "scene %d %.2f," % (scene, statistics.median(values)) for scene, values in steps.items()))
    print("load: " + " ".join(open("/proc/loadavg").read().split()[:3]))


if __name__ == "__main__":
    main()

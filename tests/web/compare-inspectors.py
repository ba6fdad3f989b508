#!/usr/bin/python3
"""Holds the browser build's inspector to the native one.

    compare-inspectors.py NATIVE_RUN WEB_RUN SCENE_MOMENTS_H timelines|moments|lost-font

Runs `tolva-inspect` natively and `node tolva-inspect.js` at every scene moment and over both
timelines. The timelines must be identical byte for byte. At the moments the two C libraries'
float functions may differ in the last bit, so a moment may differ only line for line, in the
same operations with the same keys, every string, flag and integer equal, and every number that
differs a float within MAX_ULPS units of the last place (single precision) of the larger of the two, or of
2048 (a screen coordinate's scale) for smaller values.
Anything else fails. The web inspector must print nothing on stderr (a glyph missing from the
export is named there). The moments' figures end with the differing values by kind, each with
its largest gap. TOLVA_SURVEY=1 lists every difference by kind instead of failing.

lost-font: a glyph export that is cut short, or missing, must leave its font empty as a font file
that is missing leaves it natively: the moments that draw with it equal the native ones without
the font, and the console names the font.
"""

import atexit
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

MAX_ULPS = 8
SURVEY = os.environ.get("TOLVA_SURVEY") == "1"
TIMELINES = ["period_us=16667 startup_us=250000", "period_us=100000 startup_us=250000"]


def moments(header):
    pattern = re.compile(r'^\s*\{"(s[1-8][a-z])", ([1-8]), "([^"]*)"')
    with open(header) as f:
        return [m.groups() for m in map(pattern.match, f) if m]


def run(command, cwd):
    done = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(command)} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout, done.stderr


def native(run_dir, words):
    return run(["./tolva-inspect"] + words, run_dir)[0]


def web(run_dir, words, quiet=True):
    out, err = run(["node", "--no-experimental-fetch", "tolva-inspect.js"] + words, run_dir)
    if not quiet:
        return out, err
    if err.strip():
        raise SystemExit(f"web inspector {' '.join(words)} printed on stderr:\n{err.strip()}")
    return out


def screen_ulps(a, b):
    """The gap in units of the last place of the larger value, or of 2048 for smaller ones: a
    coordinate worked out from screen-sized terms carries their rounding even where it ends near
    zero (so 1e-7 against 2e-7 is a last-bit difference there, not a factor of two)."""
    a32, b32 = (struct.unpack("<f", struct.pack("<f", x))[0] for x in (a, b))
    scale = max(abs(a32), abs(b32), 2048.0)
    ulp = 2.0 ** (math.floor(math.log2(scale)) - 23)
    return abs(a32 - b32) / ulp


def compare_values(path, a, b, found):
    """Appends (path, ulps) for each float that differs; raises ValueError for anything else."""
    if isinstance(a, bool) or isinstance(b, bool) or isinstance(a, str) or a is None:
        if a != b:
            raise ValueError(f"{path}: {a!r} against {b!r}")
    elif isinstance(a, (int, float)) and isinstance(b, (int, float)):
        if a == b:
            return
        if isinstance(a, int) and isinstance(b, int):
            if SURVEY:
                found.append((path + " (whole)", abs(a - b), abs(a - b), max(abs(a), abs(b))))
                return
            raise ValueError(f"{path}: whole number {a} against {b}")
        if not (math.isfinite(a) and math.isfinite(b)):
            raise ValueError(f"{path}: {a} against {b}")
        distance = screen_ulps(float(a), float(b))
        if distance > MAX_ULPS and not SURVEY:
            raise ValueError(f"{path}: {a} against {b}, {distance:.3g} units of the last place apart")
        found.append((path, distance, abs(a - b), max(abs(a), abs(b))))
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for k, (x, y) in enumerate(zip(a, b)):
            compare_values(f"{path}[{k}]", x, y, found)
    elif isinstance(a, dict) and isinstance(b, dict) and list(a) == list(b):
        for key in a:
            compare_values(f"{path}.{key}", a[key], b[key], found)
    else:
        raise ValueError(f"{path}: {json.dumps(a)} against {json.dumps(b)}")


def kind_of(line, path):
    """A differing value's kind: the operation, the grid or text, and the key (indices dropped)."""
    what = line.get("op", "?")
    owner = line.get("grid") or line.get("object") or line.get("name") or ""
    key = re.sub(r"\[\d+\]", "", path)
    return f"{what} {owner} {key}".replace("  ", " ")


def compare_moment(name, native_out, web_out, kinds):
    a_lines = native_out.splitlines()
    b_lines = web_out.splitlines()
    if len(a_lines) != len(b_lines):
        raise SystemExit(f"{name}: {len(a_lines)} lines natively, {len(b_lines)} on the web")
    differing = 0
    for number, (a, b) in enumerate(zip(a_lines, b_lines), 1):
        if a == b:
            continue
        differing += 1
        found = []
        try:
            left = json.loads(a)
            compare_values("", left, json.loads(b), found)
        except ValueError as error:
            raise SystemExit(f"{name} line {number}: {error}\n  native: {a}\n  web:    {b}")
        for path, distance, gap, size in found:
            entry = kinds.setdefault(kind_of(left, path), {"count": 0, "ulps": 0, "gap": 0, "at": 0, "moments": set()})
            entry["count"] += 1
            entry["ulps"] = max(entry["ulps"], distance)
            if gap > entry["gap"]:
                entry["gap"], entry["at"] = gap, size
            entry["moments"].add(name)
    return differing, len(a_lines)


TEMPORARY = tempfile.mkdtemp(prefix="tolva-web-")
atexit.register(shutil.rmtree, TEMPORARY, True)


def main():
    if len(sys.argv) != 5 or sys.argv[4] not in ("timelines", "moments", "lost-font"):
        raise SystemExit(__doc__)
    native_run, web_run, header, part = sys.argv[1:5]
    if part == "timelines":
        compare_timelines(native_run, web_run)
    elif part == "lost-font":
        compare_lost_font(native_run, web_run, header)
    else:
        compare_moments(native_run, web_run, header)


def compare_timelines(native_run, web_run):
    for period in TIMELINES:
        words = ["timeline"] + period.split()
        if native(native_run, words) != web(web_run, words):
            raise SystemExit(f"the timeline ({period}) differs")
        print(f"timeline {period}: identical")


def compare_moments(native_run, web_run, header):
    kinds = {}
    total_differing = total_lines = 0
    for name, scene, settings in moments(header):
        words = ["scene", scene] + settings.split()
        differing, lines = compare_moment(name, native(native_run, words), web(web_run, words), kinds)
        total_differing += differing
        total_lines += lines
        print(f"{name}: {differing} of {lines} lines differ in the last bits of floats")
    print(f"all moments: {total_differing} of {total_lines} lines differ")
    for kind, entry in sorted(kinds.items()):
        print(f"  {kind}: {entry['count']} values, up to {entry['ulps']:.3g} ulp, "
              f"largest gap {entry['gap']:.3g} (at {entry['at']:.6g}), in "
              f"{' '.join(sorted(entry['moments']))}")


def linked_copy(run_dir, into, leave_out):
    """A run folder of links to run_dir's files, without the files named in leave_out."""
    os.makedirs(into)
    for entry in os.listdir(run_dir):
        path = os.path.join(run_dir, entry)
        if entry == "fonts":
            os.makedirs(os.path.join(into, entry))
            for font_file in os.listdir(path):
                if font_file not in leave_out:
                    os.symlink(os.path.join(path, font_file), os.path.join(into, entry, font_file))
        else:
            os.symlink(path, os.path.join(into, entry))


def compare_lost_font(native_run, web_run, header):
    with_font = {name: (scene, settings) for name, scene, settings in moments(header)}
    native_without = os.path.join(TEMPORARY, "native")
    linked_copy(os.path.abspath(native_run), native_without, {"Noot.ttf"})
    for how in ("cut", "missing"):
        web_without = os.path.join(TEMPORARY, how)
        linked_copy(os.path.abspath(web_run), web_without, {"Noot.ttf.glyphs"})
        if how == "cut":
            with open(os.path.join(web_run, "fonts", "Noot.ttf.glyphs"), "rb") as whole:
                data = whole.read()
            with open(os.path.join(web_without, "fonts", "Noot.ttf.glyphs"), "wb") as cut:
                cut.write(data[: len(data) // 2])
        for name in ("s1b", "s3b"):  # the credit letters; the welcome letters and greetings line
            scene, settings = with_font[name]
            words = ["scene", scene] + settings.split()
            out, err = web(web_without, words, quiet=False)
            if "Failed to load font" not in err or "Noot.ttf" not in err:
                raise SystemExit(f"{how} export, {name}: the console does not name the font: {err!r}")
            differing, lines = compare_moment(f"{name} ({how} export)", native(native_without, words), out, {})
            print(f"{name} with the export {how}: as natively without the font "
                  f"({differing} of {lines} lines differ in the last bits of floats)")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Renders the image kit's frames listed as passing and fails when one fails.

Usage: image_ratchet.py --kit IMAGE_DIR --shot SWFSHOT --list PASSING.TXT
                        --out DIR [--jobs 2] [--only PREFIX] [--all [--write]]

The list holds one frame per line, as the kit's folder and picture name
(`blend/add/output.expected.png`); '#' lines and blank lines are ignored.
Only the listed frames are rendered, so the step stays quick. With --all
every frame is rendered, and the kit's two figures are printed per category:
frames within the row's tolerance, and frames with under 1% of their pixels
differing by more than 16 in a channel. Frames that pass but are not listed
are printed (--write adds them to the list).

A missing kit exits with 77, which ctest reports as skipped.
"""
import argparse
import collections
import concurrent.futures as cf
import os
import shlex
import subprocess
import sys

SKIP = 77
CLOSE_DIFF = 16       # a channel off by more than this makes a pixel differ
CLOSE_SHARE = 0.01    # a frame is close when under this share of pixels differ


def read_list(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as fh:
        return [ln.strip() for ln in fh if ln.strip() and not ln.startswith("#")]


def differing_share(compare, actual, expected):
    diff = compare.difference(actual, expected)
    if diff is None:
        return 1.0
    over = diff.translate(bytes(CLOSE_DIFF + 1) + b"\1" * (255 - CLOSE_DIFF))
    pixels = len(over) // 4
    # one 0/1 byte per pixel: any of its four channels over the limit
    anyc = 0
    for c in range(4):
        anyc |= int.from_bytes(over[c::4], "little")
    return bin(anyc).count("1") / max(pixels, 1)


def render(kit, compare, row, shot, out_root):
    d = os.path.join(kit, row["dir"])
    out = os.path.join(out_root, row["dir"], row["expected_png"])
    os.makedirs(os.path.dirname(out), exist_ok=True)
    if os.path.exists(out):
        os.remove(out)
    w, h = row["png_size"].split("x")
    inp = os.path.join(d, "input.json") if row.get("needs") == "input.json" else ""
    with open(out + ".in", "w") as script:
        subprocess.run([sys.executable, os.path.join(kit, "input2script.py"), inp,
                        row["frame_to_compare"]], stdout=script, check=True)
    cmd = [shot, "-q", "-s", "%sx%s" % (w, h), "--quality", row.get("quality") or "high",
           "--input", out + ".in", "-o", out, os.path.join(d, "test.swf")]
    try:
        run = subprocess.run(cmd, capture_output=True, timeout=60)
        err = run.stderr.decode(errors="replace").strip().splitlines()[-1:]
    except subprocess.TimeoutExpired:
        err = ["timeout: " + " ".join(shlex.quote(c) for c in cmd)]
    try:
        actual = compare.read_png(out)
        expected = compare.read_png(os.path.join(d, row["expected_png"]))
        ok, msg = compare.compare(actual, expected, compare.checks_from_row(row))
        share = differing_share(compare, actual, expected)
    except (OSError, compare.PngError) as e:
        ok, msg, share = False, "no image: %s %s" % (e, " ".join(err)), 1.0
    return row, ok, msg, share


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--kit", required=True, help="the kit's image folder")
    ap.add_argument("--shot", required=True)
    ap.add_argument("--list", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--all", action="store_true", help="render every frame, print the figures")
    ap.add_argument("--write", action="store_true", help="with --all: add new passes to the list")
    ap.add_argument("--only", default="", help="only the frames whose folder starts so")
    args = ap.parse_args()

    manifest = os.path.join(args.kit, "manifest.tsv")
    if not os.path.exists(manifest):
        print("image kit not found at %s: skipped" % args.kit)
        return SKIP
    sys.path.insert(0, args.kit)
    import compare

    key = lambda r: r["dir"] + "/" + r["expected_png"]
    rows = [r for r in compare.read_manifest(manifest) if r["dir"].startswith(args.only)]
    listed = [n for n in read_list(args.list) if n.startswith(args.only)]
    known = {key(r) for r in rows}
    everything = read_list(args.list)
    if not args.all:
        rows = [r for r in rows if key(r) in set(listed)]
    out = os.path.abspath(args.out)
    shot = os.path.abspath(args.shot)
    with cf.ThreadPoolExecutor(args.jobs) as pool:
        results = list(pool.map(lambda r: render(args.kit, compare, r, shot, out), rows))

    passed = {key(r) for r, ok, _, _ in results if ok}
    bad = ["%s: not in the kit's manifest" % n for n in listed if n not in known]
    bad += ["%s: %s" % (key(r), msg) for r, ok, msg, _ in results
            if not ok and key(r) in set(listed)]
    if args.all:
        cats = collections.defaultdict(lambda: [0, 0, 0])
        for r, ok, _, share in results:
            c = cats[r["dir"].split("/")[0]]
            c[0] += ok
            c[1] += share < CLOSE_SHARE
            c[2] += 1
        print("%-18s %9s %9s" % ("category", "pass", "close"))
        for name in sorted(cats) + ["all"]:
            p, c, n = [sum(v[i] for v in cats.values()) for i in range(3)] \
                if name == "all" else cats[name]
            print("%-18s %4d/%-4d %4d/%-4d" % (name, p, n, c, n))
        # the kit's results.tsv, so its side-by-side tool reads it, plus the share
        with open(os.path.join(out, "results.tsv"), "w") as fh:
            for r, ok, msg, share in results:
                fh.write("%s\t%d\t%s\t%.4f\n" % (key(r), ok, msg, share))
    print("%d listed frames, %d regressed" % (len(listed), len(bad)))
    for b in bad:
        print("REGRESSION " + b)
    fresh = sorted(passed - set(listed))
    if fresh:
        print("%d frames pass but are not listed in %s:" % (len(fresh), args.list))
        for n in fresh:
            print("  " + n)
        if args.write:
            with open(args.list, "w", encoding="utf-8") as fh:
                fh.write("".join(n + "\n" for n in sorted(set(everything) | passed)))
            print("added to the list")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())

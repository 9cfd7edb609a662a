#!/usr/bin/env python3
"""Runs a conformance kit's tests listed as passing and fails when one fails.

Usage: kit_ratchet.py --runner RUN_TRACE.PY --shot SWFSHOT --list PASSING.TXT
                      --out DIR [--jobs 2] [--all]

The list holds one test folder per line (as the kit's manifest names it);
lines starting with '#' and blank lines are ignored. Only the listed tests
run, so the step stays quick. A test that passed before and fails now is a
regression: it is printed with its first differing line. With --all the
whole kit runs and tests that pass but are not yet listed are printed, to
grow the list (--write adds them to it).

A missing kit (a checkout without ../shared beside it) skips with a message
and exit code 77, which ctest reports as skipped.
"""
import argparse
import csv
import os
import subprocess
import sys

SKIP = 77


def read_list(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as fh:
        return [ln.strip() for ln in fh if ln.strip() and not ln.startswith("#")]


def read_results(out):
    with open(os.path.join(out, "results.tsv"), encoding="utf-8") as fh:
        return {r["dir"]: r for r in csv.DictReader(fh, delimiter="\t", quoting=csv.QUOTE_NONE)}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--runner", required=True)
    ap.add_argument("--shot", required=True)
    ap.add_argument("--list", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--all", action="store_true", help="run the whole kit, list new passes")
    ap.add_argument("--write", action="store_true", help="with --all: add new passes to the list")
    args = ap.parse_args()

    if not os.path.exists(args.runner):
        print("conformance kit not found at %s: skipped" % os.path.dirname(args.runner))
        return SKIP
    listed = read_list(args.list)
    if not listed and not args.all:
        print("no passing tests listed in %s: nothing to check" % args.list)
        return 0
    cmd = [sys.executable, args.runner, "--shot", os.path.abspath(args.shot),
           "--out", os.path.abspath(args.out), "--jobs", str(args.jobs)]
    if not args.all:
        cmd += ["--only", ",".join(listed)]
    run = subprocess.run(cmd, capture_output=True, text=True)
    if run.returncode != 0:
        print(run.stdout + run.stderr)
        print("the kit's runner failed (exit %d)" % run.returncode)
        return 1
    results = read_results(args.out)

    bad = []
    for name in listed:
        r = results.get(name)
        if r is None:
            bad.append("%s: not in the kit's manifest" % name)
        elif r["status"] != "pass":
            bad.append("%s: %s at line %s: expected %r, got %r %s" % (
                name, r["status"], r["line"], r["expected"], r["got"], r["note"]))
    fresh = sorted(d for d, r in results.items()
                   if r["status"] == "pass" and r.get("set", "main") == "main" and d not in listed)
    print("%d listed tests, %d regressed" % (len(listed), len(bad)))
    for b in bad:
        print("REGRESSION " + b)
    if fresh:
        print("%d tests pass but are not listed in %s:" % (len(fresh), args.list))
        for d in fresh:
            print("  " + d)
        if args.write:
            with open(args.list, "w", encoding="utf-8") as fh:
                fh.write("".join(d + "\n" for d in sorted(set(listed) | set(fresh))))
            print("added to the list")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())

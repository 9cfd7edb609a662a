#!/usr/bin/env python3
"""Keeps the engine's folders layered: a file in swf/ may include files of its
own folder and of folders on lower layers, never a higher or a sibling layer.

The layers, lowest first (swf/README.md explains each):
  model                     parsed data: geometry, colours, shapes, the movie
  host                      what the engine asks of its host (fonts, files, keys)
  decode                    inflate, image and sound decoding
  read, render, sound,      tag readers; rasteriser and compositor; mixer;
  shader                    the pixel-shader reader and interpreter
  text, svg, classes        text layout; SVG writer; the engine half of script classes
  avm1, avm2, display       the two script machines; display objects
  bind                      script classes bound to display objects
  play                      timeline, events, loading
  Player.h, Player.cpp, ... the engine's front door (files at swf/ top level)

Usage: check-includes.py SOURCE_DIR. Prints each offending include and exits 1.
"""
import os
import re
import sys

LAYERS = [
    ["model"],
    ["host"],
    ["decode"],
    ["read", "render", "sound", "shader"],
    ["text", "svg", "classes"],
    ["avm1", "avm2", "display"],
    ["bind"],
    ["play"],
    [""],  # files at swf/ top level
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"swf/([^"]+)"')


def folder_of(path_in_swf):
    parts = path_in_swf.split("/")
    return parts[0] if len(parts) > 1 else ""


def main():
    root = os.path.join(sys.argv[1] if len(sys.argv) > 1 else ".", "swf")
    problems = []
    for dirpath, _, names in os.walk(root):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/")
            src = folder_of(rel)
            if src not in RANK:
                problems.append(f"swf/{rel}: folder swf/{src}/ has no layer (add it to LAYERS)")
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    dst = folder_of(m.group(1))
                    if dst == src:
                        continue
                    if dst not in RANK or RANK[dst] >= RANK[src]:
                        problems.append(f"swf/{rel}:{number}: includes swf/{m.group(1)}, "
                                        f"which is not on a lower layer")
    for p in problems:
        print(p)
    print(f"{len(problems)} include(s) against the layers")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layer map (written by cmake/layers.cmake) has one line per layer, from the bottom up:
"<rank> <name> <path>...", where a path ending in "/" is a folder and any other path a single
file. A file belongs to the layer that names it as a file, else to the layer of the longest
folder that holds it. An include "x/y.h" is resolved against the source root; an include that
names no file of any layer (a system header, a test's own header) is not checked.

Usage: check_layers.py <source root> <layer map> [--expect "<file> -> <header>"]...
With --expect, succeeds only when the back-edges found are exactly the ones given (the check's
own test runs it on a fixture tree with a deliberate back-edge).
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = (".cpp", ".h")


def read_map(path):
    files, dirs = {}, []
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        rank, name, *paths = line.split()
        for p in paths:
            if p.endswith("/"):
                dirs.append((p, int(rank), name))
            else:
                files[p] = (int(rank), name)
    dirs.sort(key=lambda d: len(d[0]), reverse=True)
    return files, dirs


def layer_of(rel, files, dirs):
    if rel in files:
        return files[rel]
    for prefix, rank, name in dirs:
        if rel.startswith(prefix):
            return rank, name
    return None


def sources(root, files, dirs):
    found = set(p for p in files if os.path.isfile(os.path.join(root, p)))
    for prefix, _, _ in dirs:
        top = os.path.join(root, prefix)
        for folder, _, names in os.walk(top):
            for n in names:
                if n.endswith(SOURCE_SUFFIXES):
                    found.add(os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/"))
    return sorted(found)


def back_edges(root, files, dirs):
    edges = []
    for rel in sources(root, files, dirs):
        own = layer_of(rel, files, dirs)
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            for number, text in enumerate(f, 1):
                m = INCLUDE.match(text)
                if not m:
                    continue
                target = layer_of(m.group(1), files, dirs)
                if target and target[0] > own[0]:
                    edges.append((rel, number, m.group(1), own, target))
    return edges


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("layer_map")
    parser.add_argument("--expect", action="append", default=[])
    args = parser.parse_args()
    files, dirs = read_map(args.layer_map)
    if not files and not dirs:
        print(f"{args.layer_map}: no layers", file=sys.stderr)
        return 2
    edges = back_edges(args.root, files, dirs)
    for rel, number, header, own, target in edges:
        print(f"{rel}:{number}: includes {header} of layer {target[1]} ({target[0]}), "
              f"above its own layer {own[1]} ({own[0]})")
    if args.expect:
        found = sorted(f"{rel} -> {header}" for rel, _, header, _, _ in edges)
        wanted = sorted(args.expect)
        if found != wanted:
            print(f"expected back-edges {wanted}, found {found}", file=sys.stderr)
            return 1
        print(f"found exactly the {len(wanted)} expected back-edge(s)")
        return 0
    if edges:
        return 1
    print(f"no include goes up a layer ({len(sources(args.root, files, dirs))} files)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

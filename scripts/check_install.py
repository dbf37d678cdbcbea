#!/usr/bin/env python3
"""Installs a build into a temporary prefix and checks that every file is in its freedesktop
place: the two programs, the desktop entry made from data/pinewood-browser.desktop.in, the
icon as SVG and as PNGs of the sizes their folders name, the licence and the translations.

usage: check_install.py BUILD_DIR CMAKE SOURCE_DIR
"""
import os
import struct
import subprocess
import sys
import tempfile

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    build, cmake, source = sys.argv[1:4]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as prefix:
        run = subprocess.run([cmake, "--install", build, "--prefix", prefix],
                             capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr)
            return 1
        for program in ("pinbro", "pinbro-cli"):
            path = os.path.join(prefix, "bin", program)
            check(os.path.isfile(path) and os.access(path, os.X_OK), "bin/" + program)

        entry_path = os.path.join(prefix, "share/applications/pinewood-browser.desktop")
        check(os.path.isfile(entry_path), "share/applications/pinewood-browser.desktop")
        if os.path.isfile(entry_path):
            with open(os.path.join(source, "data/pinewood-browser.desktop.in")) as f:
                wanted = (f.read().replace("@PINBRO_ENTRY_NAME@", "Pinewood Browser")
                          .replace("@PINBRO_ENTRY_EXEC@", "pinbro"))
            with open(entry_path) as f:
                check(f.read() == wanted, "the entry is the template with Exec=pinbro")

        apps = os.path.join(prefix, "share/icons/hicolor")
        check(os.path.isfile(os.path.join(apps, "scalable/apps/pinewood-browser.svg")),
              "the scalable icon")
        for size in SIZES:
            png = os.path.join(apps, "%dx%d/apps/pinewood-browser.png" % (size, size))
            check(os.path.isfile(png) and png_size(png) == (size, size),
                  "a %d pixel PNG icon" % size)

        for licence in ("share/doc/pinewood-browser/copyright",
                        "share/licenses/pinewood-browser/LICENSE"):
            check(os.path.isfile(os.path.join(prefix, licence)), licence)
        qm_dir = os.path.join(prefix, "share/pinewood-browser/translations")
        check(os.path.isdir(qm_dir) and any(n.endswith(".qm") for n in os.listdir(qm_dir)),
              "the translations")
        # Nothing of the tests or the benchmarks.
        for top in os.listdir(prefix):
            check(top in ("bin", "share"), "unexpected folder " + top)

    for failure in failures:
        print("missing or wrong:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

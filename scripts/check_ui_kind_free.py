#!/usr/bin/env python3
"""Fails when a file of the desktop windows decides by a list source's kind or a file's
extension: that belongs to the list sources (browse/list_source.h) and their factory.

Usage: check_ui_kind_free.py <folder>...
Reports each line that names a source kind or an entry type (ePanelSrc_*, eEntry_*), asks a
panel for its source kind, tests entry types by range, or compares a path with an extension
literal (".zip", ".enc", ...).
"""

import os
import re
import sys

PATTERNS = [
    (re.compile(r"\bePanelSrc_\w+"), "names a source kind"),
    (re.compile(r"\beEntry_\w+"), "names an entry type"),
    (re.compile(r"\bSourceKind\s*\("), "asks for the source kind"),
    (re.compile(r"\.kind\s*[!=]="), "tests a location kind"),
    (re.compile(r"\bIsFileSystemEntryType\s*\("), "tests entry types"),
    (re.compile(r"endsWith\s*\(\s*(QLatin1String|QStringLiteral|u)?\s*\(?\s*\"\.\w+\""),
     "tests a file extension"),
]


def main():
    found = 0
    for top in sys.argv[1:]:
        for folder, _, names in os.walk(top):
            for name in sorted(names):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        for pattern, what in PATTERNS:
                            if pattern.search(line):
                                print(f"{path}:{number}: {what}: {line.strip()}")
                                found += 1
    if found:
        return 1
    print("no kind or extension test in " + ", ".join(sys.argv[1:]))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Compiles a translation source (.ts) into the binary file QTranslator loads (.qm).

The build uses lrelease of Qt's translation tools when it is installed and this script
otherwise, so that a machine without those tools still builds and tests its translations.
It writes the messages and their hash table, which is all QTranslator needs: unfinished
and obsolete messages are left out, as lrelease leaves them out.

usage: ts_to_qm.py input.ts output.qm
"""
import struct
import sys
import xml.etree.ElementTree as ET

MAGIC = bytes([0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95,
               0xCD, 0x21, 0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD])
TAG_END, TAG_TRANSLATION, TAG_SOURCE, TAG_CONTEXT, TAG_COMMENT = 1, 3, 6, 7, 8
BLOCK_HASHES, BLOCK_MESSAGES = 0x42, 0x69


def elf_hash(data):
    """The hash QTranslator looks messages up by (of source text and comment, in UTF-8)."""
    h = 0
    for byte in data:
        h = ((h << 4) + byte) & 0xFFFFFFFF
        g = h & 0xF0000000
        if g:
            h ^= g >> 24
        h &= ~g & 0xFFFFFFFF
    return h or 1


def field(tag, data):
    return struct.pack(">BI", tag, len(data)) + data


def messages(ts_path):
    """(context, source, comment, translation) of every finished message."""
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "obsolete",
                                                                  "vanished"):
                continue
            yield (name, message.findtext("source", ""), message.findtext("comment", ""),
                   translation.text or "")


def compile_ts(ts_path):
    body, hashes = b"", []
    for context, source, comment, translation in messages(ts_path):
        source_bytes, comment_bytes = source.encode(), comment.encode()
        hashes.append((elf_hash(source_bytes + comment_bytes), len(body)))
        body += (field(TAG_TRANSLATION, translation.encode("utf-16-be"))
                 + field(TAG_SOURCE, source_bytes) + field(TAG_CONTEXT, context.encode())
                 + field(TAG_COMMENT, comment_bytes) + bytes([TAG_END]))
    table = b"".join(struct.pack(">II", h, offset) for h, offset in sorted(hashes))
    return (MAGIC + struct.pack(">BI", BLOCK_HASHES, len(table)) + table
            + struct.pack(">BI", BLOCK_MESSAGES, len(body)) + body)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[2], "wb") as out:
        out.write(compile_ts(argv[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

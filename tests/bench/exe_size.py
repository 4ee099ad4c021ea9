#!/usr/bin/env python3
"""What makes up a Windows exe: its sections and its resources by kind, in bytes of the file.

    exe_size.py EXE [FLOOR_EXE]
"""
import os
import struct
import sys

RESOURCE_KINDS = {1: "cursors", 2: "bitmaps", 3: "icons", 4: "menus", 5: "dialogs", 6: "strings",
                  12: "cursors", 14: "icons", 16: "version", 24: "manifest"}


def Sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    resource_rva, resource_size = struct.unpack_from("<II", data, optional + 112 + 2 * 8)
    sections = []
    at = optional + optional_size
    for _ in range(count):
        name, vsize, va, raw_size, raw_at = struct.unpack_from("<8sIIII", data, at)
        sections.append((name.rstrip(b"\0").decode(), va, vsize, raw_size, raw_at))
        at += 40
    return sections, resource_rva


def FileOffset(sections, rva):
    for _, va, vsize, raw_size, raw_at in sections:
        if va <= rva < va + max(vsize, raw_size):
            return raw_at + rva - va
    raise ValueError("rva outside every section")


def Resources(data, sections, resource_rva):
    """Bytes per resource kind; named kinds by their name."""
    base = FileOffset(sections, resource_rva)

    def Entries(offset):
        named, numbered = struct.unpack_from("<12xHH", data, base + offset)
        for i in range(named + numbered):
            key, child = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield key, child

    def Name(key):
        if key & 0x80000000:
            at = base + (key & 0x7FFFFFFF)
            length = struct.unpack_from("<H", data, at)[0]
            return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return RESOURCE_KINDS.get(key, "type %d" % key)

    def Size(child):
        if child & 0x80000000:
            return sum(Size(grandchild) for _, grandchild in Entries(child & 0x7FFFFFFF))
        return struct.unpack_from("<4xI", data, base + child)[0]

    totals = {}
    for key, child in Entries(0):
        name = Name(key)
        totals[name] = totals.get(name, 0) + Size(child)
    return totals


def Describe(path):
    data = open(path, "rb").read()
    sections, resource_rva = Sections(data)
    parts = {}
    for name, _, _, raw_size, _ in sections:
        kind = "code" if name == ".text" else "resources" if name == ".rsrc" else "data and tables"
        parts[kind] = parts.get(kind, 0) + raw_size
    resources = Resources(data, sections, resource_rva) if resource_rva else {}
    return len(data), parts, resources


def Main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    size, parts, resources = Describe(argv[1])
    floor = os.path.getsize(argv[2]) if len(argv) > 2 else 0
    ratio = " (%.1fx the floor, an empty static Win32 program of %d bytes)" % (size / floor, floor) if floor else ""
    print("%s: %d bytes = %.1f KiB%s" % (os.path.basename(argv[1]), size, size / 1024, ratio))
    for kind in ("code", "data and tables", "resources"):
        print("    %-18s %7d bytes" % (kind, parts.get(kind, 0)))
    for name, bytes_ in sorted(resources.items(), key=lambda item: -item[1]):
        label = "language archive" if name == "PNG" else name
        print("        %-22s %7d bytes" % (label, bytes_))
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv))

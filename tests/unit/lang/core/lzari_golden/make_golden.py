#!/usr/bin/env python3
"""Writes the LZARI golden pairs that tests/unit/lang/core/lzari_test.cpp reads: NAME.in, a text,
and NAME.lzari, the payload this repository's encoder makes of it (the size, 4 bytes little-endian,
then the stream).

    tests/unit/lang/core/lzari_golden/make_golden.py build/native/tools

The tools folder holds the native build's lzari_file (the encoder) and pack_lang (for the shipped
text). Run it only when the encoder changes on purpose, then run the tests: they decode every pair
with the program's decoder and with the independent simple decoder of the tests, and both must give
the text back.
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(HERE)))))


def Random(count, seed):
    """Bytes of a fixed linear congruential sequence: the same on every machine."""
    out = bytearray()
    for _ in range(count):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        out.append(seed >> 16 & 0xFF)
    return bytes(out)


def Inputs(tools):
    block = Random(4096, 7)
    inputs = {
        "one_byte": b"A",
        "short_text": "##=English\tEnglisch\r\n20=Exit\r\n".encode("utf-16-le"),
        # Copies from the ring's start spaces, overlapping runs at distances 3 and 1, every byte value.
        "runs": b" " * 300 + b"abc" * 40 + bytes(200) + bytes(range(256)) * 2,
        # The second copy of the block lies exactly as far back as the ring reaches.
        "ring_edge": block + block,
    }
    with tempfile.TemporaryDirectory() as temp:
        text = os.path.join(temp, "text.bin")
        subprocess.run([os.path.join(tools, "pack_lang"), os.path.join(ROOT, "res", "lang"),
                        os.path.join(temp, "archive.bin"), text], check=True)
        with open(text, "rb") as f:
            inputs["shipped_text"] = f.read()
    return inputs


def Main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    tools = argv[1]
    for name, data in Inputs(tools).items():
        source = os.path.join(HERE, name + ".in")
        with open(source, "wb") as f:
            f.write(data)
        subprocess.run([os.path.join(tools, "lzari_file"), source, os.path.join(HERE, name + ".lzari")], check=True)
        print(f"{name}: {len(data)} bytes -> {os.path.getsize(os.path.join(HERE, name + '.lzari'))} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv))

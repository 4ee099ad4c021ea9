#!/usr/bin/env python3
"""The first occurrence of each archive marker in huepeek.exe is the archive's own: the loader
assembles the markers at run time, so the program's code and data never hold them in one piece.
The packed file is the archive followed by the four bytes of its text's checksum."""
import sys

START = b"\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n"
END = b"\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n"
CHECKSUM_SIZE = 4

exe = open(sys.argv[1], "rb").read()
archive = open(sys.argv[2], "rb").read()
at = exe.find(archive)
if at < 0:
    sys.exit("the packed archive is not in the exe")
first_start, first_end = exe.find(START), exe.find(END)
print(f"archive at {at}, {len(archive)} bytes; first start marker at {first_start}, first end marker at {first_end}")
if first_start != at:
    sys.exit("a start marker occurs before the archive")
if first_end != at + len(archive) - CHECKSUM_SIZE - len(END):
    sys.exit("an end marker occurs before the archive's end")
if exe.count(START) != 1 or exe.count(END) != 1:
    sys.exit("a marker occurs more than once")
print("ok")

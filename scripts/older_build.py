#!/usr/bin/python3
"""Copies a DLL as another build of itself: version 1.0.0.0 (or the one given) in the fixed part of its
version resource, which is what GetFileVersionInfo and the setup program read. For trying upgrades, roll
backs and downgrades. Usage: older_build.py SOURCE.dll TARGET.dll [VERSION]"""
import struct
import sys

OLDER_VERSION = "1.0.0.0"


def older_build(source, target, version=OLDER_VERSION):
    data = bytearray(open(source, "rb").read())
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    numbers = [int(n) for n in version.split(".")]
    ms, ls = numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]
    # dwFileVersionMS/LS and dwProductVersionMS/LS follow the signature and the structure's version.
    struct.pack_into("<IIII", data, fixed + 8, ms, ls, ms, ls)
    open(target, "wb").write(bytes(data))


if __name__ == "__main__":
    older_build(*sys.argv[1:4])

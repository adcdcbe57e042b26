#!/usr/bin/python3
"""Packs a folder into a zip whose names read right on every Chinese Windows. Explorer on Windows XP and
on Windows 7 without an update ignores the UTF-8 flag and reads every name in the system code page, so
names are stored in GBK without that flag; "made by" says MS-DOS, because 7-Zip reads unflagged names
of a Unix-made archive as UTF-8; and each name also goes into the Info-ZIP Unicode Path extra field
(0x7075: version 1, CRC-32 of the stored name, the name in UTF-8), which 7-Zip, WinRAR, Bandizip and
unzip read. Usage: zip_gbk.py FOLDER ARCHIVE.zip"""
import os
import struct
import sys
import zipfile
import zlib

UNICODE_PATH = 0x7075


class GbkName(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def entry(path, name):
    info = GbkName.from_file(path, name)
    info.create_system = 0
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
    info.compress_type = zipfile.ZIP_DEFLATED
    stored = name.encode("gbk")
    utf8 = name.encode("utf-8")
    if stored != utf8:
        info.extra = struct.pack("<HHBI", UNICODE_PATH, 5 + len(utf8), 1, zlib.crc32(stored)) + utf8
    return info


def main(folder, target):
    with zipfile.ZipFile(target, "w") as archive:
        for parent, dirs, files in os.walk(folder):
            dirs.sort()
            for name in sorted(files):
                path = os.path.join(parent, name)
                with open(path, "rb") as data:
                    archive.writestr(entry(path, os.path.relpath(path, folder).replace(os.sep, "/")), data.read())


if __name__ == "__main__":
    main(*sys.argv[1:3])

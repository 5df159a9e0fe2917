#!/usr/bin/env python3
"""Checks a Windows program's version resource: its fixed part gives the
expected file and product version (e.g. 0.1.0.0), and its LegalCopyright
string the expected copyright line.

Usage: pe_version.py PROGRAM.exe VERSION COPYRIGHT
"""

import struct
import sys

FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
COPYRIGHT_KEY = "LegalCopyright\0".encode("utf-16-le")


def fixed_versions(data):
    """File and product version of the VS_FIXEDFILEINFO in the file."""
    start = data.find(FIXED_FILE_INFO_SIGNATURE)
    if start < 0:
        raise ValueError("no version resource")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from(
        "<IIII", data, start + 8)
    return tuple(
        ".".join(str(part) for part in (ms >> 16, ms & 0xFFFF, ls >> 16,
                                        ls & 0xFFFF))
        for ms, ls in ((file_ms, file_ls), (product_ms, product_ls)))


def legal_copyright(data):
    """The LegalCopyright string: UTF-16 after its key and the padding to
    the next 32-bit boundary, up to its terminating zero."""
    start = data.find(COPYRIGHT_KEY)
    if start < 0:
        raise ValueError("no LegalCopyright string")
    start += len(COPYRIGHT_KEY)
    start += -start % 4
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le")


def main():
    program, want_version, want_copyright = sys.argv[1:4]
    with open(program, "rb") as f:
        data = f.read()
    file_version, product_version = fixed_versions(data)
    copyright_line = legal_copyright(data)
    print(f"file version {file_version}, product version {product_version}")
    print(f"LegalCopyright: {copyright_line}")
    versions_ok = file_version == want_version == product_version
    return 0 if versions_ok and copyright_line == want_copyright else 1


if __name__ == "__main__":
    sys.exit(main())

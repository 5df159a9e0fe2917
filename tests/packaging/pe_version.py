#!/usr/bin/env python3
"""Checks that a Windows program's version resource (its fixed part) gives
the expected file and product version, e.g. 0.1.0.0.

Usage: pe_version.py PROGRAM.exe VERSION
"""

import struct
import sys

FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


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


def main():
    program, want = sys.argv[1], sys.argv[2]
    with open(program, "rb") as f:
        file_version, product_version = fixed_versions(f.read())
    print(f"file version {file_version}, product version {product_version}")
    return 0 if file_version == want == product_version else 1


if __name__ == "__main__":
    sys.exit(main())

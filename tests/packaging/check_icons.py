#!/usr/bin/env python3
"""Checks the checked-in application icons: that make_icons.py reproduces
them byte for byte, that the Windows icon holds the three expected classic
images with a working transparency mask, and that every PNG is a valid RGBA
image of its folder's size with a transparent corner and an opaque centre.

Usage: check_icons.py [REPO_ROOT]   Prints 'icons: N passed, N failed'.
"""

import filecmp
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

ROOT = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parents[2])
ICONS = ROOT / "resources" / "icons"
ICO_IMAGES = (  # width = height, colour count, bits per pixel
    (32, 2, 1),
    (32, 16, 4),
    (16, 16, 4),
)
sys.path.insert(0, str(ROOT / "resources"))
from make_icons import PNG_SIZES  # noqa: E402  (the drawing's own list)


class CheckFailed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise CheckFailed(message)


def check_reproducible():
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(
            [sys.executable, str(ROOT / "resources" / "make_icons.py"),
             "--out", out],
            check=True, stdout=subprocess.DEVNULL)
        made = sorted(p.relative_to(out) for p in Path(out).rglob("*")
                      if p.is_file())
        held = sorted(p.relative_to(ICONS) for p in ICONS.rglob("*")
                      if p.is_file())
        expect(made == held, f"generated files {made} != checked in {held}")
        differing = [str(p) for p in made
                     if not filecmp.cmp(Path(out) / p, ICONS / p,
                                        shallow=False)]
        expect(not differing, f"regenerated files differ: {differing}")


def mask_bit(mask_rows, row_bytes, size, x, y):
    """The AND-mask bit of pixel (x, y), y counted from the top."""
    row = mask_rows[(size - 1 - y) * row_bytes:(size - y) * row_bytes]
    return row[x // 8] >> (7 - x % 8) & 1


def check_ico_image(data, index, expected):
    size, colours, bits = expected
    header = struct.unpack_from("<IiiHHIIiiII", data)
    (header_size, width, height, planes, bit_count, compression, image_size,
     _, _, used, _) = header
    expect(header_size == 40, f"image {index}: header size {header_size}")
    expect((width, height) == (size, 2 * size),
           f"image {index}: {width}x{height}, want {size}x{2 * size}")
    expect((planes, bit_count, compression) == (1, bits, 0),
           f"image {index}: planes/bits/compression "
           f"{planes}/{bit_count}/{compression}")
    expect(used in (0, colours), f"image {index}: {used} colours used")
    xor_row = (size * bits + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    bitmaps = size * (xor_row + and_row)
    expect(len(data) == 40 + 4 * colours + bitmaps,
           f"image {index}: {len(data)} bytes, want "
           f"{40 + 4 * colours + bitmaps}")
    expect(image_size in (0, bitmaps), f"image {index}: biSizeImage")
    mask = data[40 + 4 * colours + size * xor_row:]
    corner_and_centre = (mask_bit(mask, and_row, size, 0, 0),
                         mask_bit(mask, and_row, size, size // 2, size // 2))
    expect(corner_and_centre == (1, 0),
           f"image {index}: corner/centre mask bits {corner_and_centre}, "
           "want transparent corner and opaque centre")


def check_ico():
    data = (ICONS / "text-to-md5.ico").read_bytes()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    expect((reserved, kind, count) == (0, 1, len(ICO_IMAGES)),
           f"ICO header {reserved}/{kind}/{count}")
    end_of_previous = 6 + 16 * count
    for index, expected in enumerate(ICO_IMAGES):
        (width, height, colours, _, planes, bits, length,
         offset) = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        size, want_colours, want_bits = expected
        expect((width, height, colours, planes, bits) ==
               (size, size, want_colours, 1, want_bits),
               f"entry {index}: {width}x{height} {colours} colours "
               f"{planes} planes {bits} bpp, want {expected}")
        expect(offset >= end_of_previous and offset + length <= len(data),
               f"entry {index}: data at {offset}+{length} out of place")
        end_of_previous = offset + length
        check_ico_image(data[offset:offset + length], index, expected)


def png_chunks(data):
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature")
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack_from(">I", data, pos)
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack_from(">I", data, pos + 8 + length)
        expect(crc == zlib.crc32(kind + body), f"bad CRC in {kind!r}")
        yield kind, body
        pos += 12 + length


def alpha_at(rows, size, x, y):
    stride = 1 + 4 * size
    expect(rows[y * stride] == 0, "row filter other than None")
    return rows[y * stride + 1 + 4 * x + 3]


def check_png(size):
    path = ICONS / "hicolor" / f"{size}x{size}" / "apps" / "text-to-md5.png"
    chunks = list(png_chunks(path.read_bytes()))
    kinds = [kind for kind, _ in chunks]
    expect(kinds[0] == b"IHDR" and kinds[-1] == b"IEND", f"chunks {kinds}")
    width, height, depth, colour_type = struct.unpack_from(">IIBB",
                                                           chunks[0][1])
    expect((width, height, depth, colour_type) == (size, size, 8, 6),
           f"{path.name}: {width}x{height} depth {depth} type {colour_type}")
    rows = zlib.decompress(b"".join(b for k, b in chunks if k == b"IDAT"))
    expect(len(rows) == size * (1 + 4 * size), f"{size}px: pixel data length")
    expect(alpha_at(rows, size, 0, 0) == 0, f"{size}px: corner not clear")
    expect(alpha_at(rows, size, size // 2, size // 2) == 255,
           f"{size}px: centre not opaque")


def check_svg():
    text = (ICONS / "hicolor" / "scalable" / "apps" /
            "text-to-md5.svg").read_text()
    expect(text.startswith("<svg ") and 'viewBox="0 0 16 16"' in text,
           "SVG root element or viewBox")


def main():
    checks = [("reproducible", check_reproducible), ("ico", check_ico),
              ("svg", check_svg)]
    checks += [(f"png {n}", lambda n=n: check_png(n)) for n in PNG_SIZES]
    failed = 0
    for name, check in checks:
        try:
            check()
            print(f"ok   {name}")
        except (CheckFailed, OSError, struct.error, zlib.error,
                subprocess.CalledProcessError) as error:
            failed += 1
            print(f"FAIL {name}: {error}")
    print(f"icons: {len(checks) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Draws the application icon from the vector description below and writes
every form of it: the Windows icon (three classic BMP-format images), the
hicolor PNGs (antialiased by supersampling) and the scalable SVG.

Only the standard library is used, and the output depends on nothing but
this file, so running it again reproduces the checked-in files byte for byte.

Usage: make_icons.py [--out DIR]   (default: the icons/ folder beside it)
"""

import argparse
import struct
import zlib
from dataclasses import dataclass
from pathlib import Path

NAME = "text-to-md5"
UNITS = 16  # the drawing's coordinates run from 0 to UNITS on both axes


def read_png_sizes():
    """The hicolor PNG sizes, listed in icon-sizes.txt beside this file."""
    lines = (Path(__file__).resolve().parent / "icon-sizes.txt").read_text()
    return tuple(int(line) for line in lines.splitlines()
                 if line and not line.startswith("#"))


PNG_SIZES = read_png_sizes()

# The standard 16-colour VGA palette, in the order Windows uses.
VGA = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
VGA_BLACK, VGA_NAVY, VGA_TEAL, VGA_YELLOW, VGA_WHITE = 0, 4, 6, 11, 15
MONO = ((0, 0, 0), (255, 255, 255))
MONO_BLACK, MONO_WHITE = 0, 1


@dataclass(frozen=True)
class Gradient:
    """A vertical linear gradient from `top` at y0 to `bottom` at y1."""
    y0: float
    top: tuple
    y1: float
    bottom: tuple

    def at(self, y):
        t = min(1.0, max(0.0, (y - self.y0) / (self.y1 - self.y0)))
        return tuple(a + (b - a) * t for a, b in zip(self.top, self.bottom))


@dataclass(frozen=True)
class RoundRect:
    x0: float
    y0: float
    x1: float
    y1: float
    r: float

    def contains(self, x, y):
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        inside_box = self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1
        return inside_box and (x - cx)**2 + (y - cy)**2 <= self.r**2

    def bounds(self):
        return self.x0, self.y0, self.x1, self.y1


@dataclass(frozen=True)
class Polygon:
    """A convex polygon, corners in clockwise order (y pointing down)."""
    points: tuple

    def contains(self, x, y):
        corners = self.points
        for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1]):
            if (bx - ax) * (y - ay) - (by - ay) * (x - ax) < 0:
                return False
        return True

    def bounds(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs), min(ys), max(xs), max(ys)


@dataclass(frozen=True)
class Layer:
    """One filled shape. `fill` is RGBA (0-255, alpha 0-1) or a Gradient;
    `vga` and `mono` are its palette indices in the 16- and 2-colour icon
    images, None where the layer is left out of them."""
    shape: object
    fill: object
    vga: object
    mono: object

    def colour_at(self, y):
        return self.fill.at(y) if isinstance(self.fill, Gradient) else self.fill


def slanted_bar(x_mid, y0, y1, width, slant):
    """A bar from y0 to y1 whose centre line passes x_mid halfway down and
    leans right by `slant` units per unit of height."""
    half_height = (y1 - y0) / 2
    top_x = x_mid + slant * half_height
    bottom_x = x_mid - slant * half_height
    w = width / 2
    return Polygon(((top_x - w, y0), (top_x + w, y0), (bottom_x + w, y1),
                    (bottom_x - w, y1)))


def hash_sign(dx=0.0, dy=0.0):
    """The four bars of a leaning "#", moved by (dx, dy)."""
    return (
        slanted_bar(6.0 + dx, 3.0 + dy, 13.0 + dy, 2.0, 0.18),
        slanted_bar(10.0 + dx, 3.0 + dy, 13.0 + dy, 2.0, 0.18),
        Polygon(((3.0 + dx, 5.0 + dy), (13.0 + dx, 5.0 + dy),
                 (13.0 + dx, 7.0 + dy), (3.0 + dx, 7.0 + dy))),
        Polygon(((3.0 + dx, 9.0 + dy), (13.0 + dx, 9.0 + dy),
                 (13.0 + dx, 11.0 + dy), (3.0 + dx, 11.0 + dy))),
    )


def drawing():
    """The icon: a teal tile with a dark rim carrying a white "#", bottom
    layer first."""
    rim = Layer(RoundRect(1, 1, 15, 15, 3), (10, 62, 74, 1.0), VGA_BLACK,
                MONO_BLACK)
    tile_fill = Gradient(1.75, (38, 160, 170, 1.0), 14.25, (12, 104, 122, 1.0))
    tile = Layer(RoundRect(1.75, 1.75, 14.25, 14.25, 2.25), tile_fill,
                 VGA_TEAL, MONO_BLACK)
    shadow = [Layer(bar, (4, 48, 58, 0.45), None, None)
              for bar in hash_sign(0.5, 0.5)]
    sign = [Layer(bar, (255, 255, 255, 1.0), VGA_WHITE, MONO_WHITE)
            for bar in hash_sign()]
    return [rim, tile, *shadow, *sign]


# --- Rasterising -------------------------------------------------------------


def sample_points(size):
    """Sample offsets within a pixel, in drawing units: a k-by-k grid with
    about 256 samples across the image, and at least 4 per pixel edge."""
    k = max(4, 256 // size)
    scale = UNITS / size
    return [((i + 0.5) / k * scale, (j + 0.5) / k * scale) for j in range(k)
            for i in range(k)]


def layers_near(layers, x0, y0, x1, y1):
    """The layers whose bounds meet the rectangle, with their level (0 for
    the bottom layer), so each sample tests only shapes that can contain it."""
    near = []
    for level, layer in enumerate(layers):
        bx0, by0, bx1, by1 = layer.shape.bounds()
        if bx0 <= x1 and x0 <= bx1 and by0 <= y1 and y0 <= by1:
            near.append((level, layer))
    return near


def pixel_layers(layers, size):
    """For every pixel (row by row): its sample points and the layers that
    may cover them."""
    scale = UNITS / size
    offsets = sample_points(size)
    for py in range(size):
        for px in range(size):
            x0, y0 = px * scale, py * scale
            near = layers_near(layers, x0, y0, x0 + scale, y0 + scale)
            yield [(x0 + dx, y0 + dy) for dx, dy in offsets], near


def composite(layers, x, y):
    """Premultiplied RGBA of the (level, layer) pairs painted over each other
    at (x, y)."""
    r = g = b = a = 0.0
    for _, layer in layers:
        if layer.shape.contains(x, y):
            cr, cg, cb, ca = layer.colour_at(y)
            keep = 1.0 - ca
            r, g, b = cr * ca + r * keep, cg * ca + g * keep, cb * ca + b * keep
            a = ca + a * keep
    return r, g, b, a


def render_rgba(layers, size):
    """The drawing as size-by-size RGBA pixels, antialiased by averaging the
    premultiplied colour of every sample."""
    pixels = []
    for samples, near in pixel_layers(layers, size):
        sums = [0.0, 0.0, 0.0, 0.0]
        for x, y in samples:
            for i, v in enumerate(composite(near, x, y)):
                sums[i] += v
        r, g, b, a = (v / len(samples) for v in sums)
        if a <= 0.0:
            pixels.append((0, 0, 0, 0))
        else:
            pixels.append((round(r / a), round(g / a), round(b / a),
                           round(a * 255)))
    return pixels


def render_indexed(layers, size, index_of):
    """The drawing as palette indices (None = transparent): each pixel takes
    the index that covers most of its samples, so edges stay crisp; a tie
    goes to the upper layer, the same way on every side."""
    pixels = []
    for samples, near in pixel_layers(layers, size):
        votes = {None: (0, -1)}  # index: (samples, highest layer)
        for x, y in samples:
            index, level = None, -1
            for layer_level, layer in near:
                if index_of(layer) is not None and layer.shape.contains(x, y):
                    index, level = index_of(layer), layer_level
            count, top = votes.get(index, (0, -1))
            votes[index] = (count + 1, max(top, level))
        pixels.append(max(votes, key=votes.get))
    return pixels


# --- PNG ---------------------------------------------------------------------


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(
        ">I", zlib.crc32(body))


def encode_png(pixels, size):
    rows = b"".join(b"\x00" + bytes(c for p in pixels[y * size:(y + 1) * size]
                                    for c in p) for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) +
            png_chunk(b"IEND", b""))


# --- ICO ---------------------------------------------------------------------


def pack_bits(values, bits_per_value, size):
    """Bottom-up bitmap rows, most significant bits first, each row padded
    to a multiple of four bytes."""
    row_bytes = (size * bits_per_value + 31) // 32 * 4
    rows = []
    for y in reversed(range(size)):
        number = 0
        for v in values[y * size:(y + 1) * size]:
            number = (number << bits_per_value) | v
        number <<= row_bytes * 8 - size * bits_per_value
        rows.append(number.to_bytes(row_bytes, "big"))
    return b"".join(rows)


def encode_icon_image(indices, size, palette, bit_count):
    """One icon image: BITMAPINFOHEADER (height doubled for the mask), the
    palette, the colour (XOR) bitmap and the transparency (AND) mask.
    Transparent pixels are index 0 in the colour bitmap and 1 in the mask."""
    colours = [0 if i is None else i for i in indices]
    mask = [1 if i is None else 0 for i in indices]
    xor_bits = pack_bits(colours, bit_count, size)
    and_bits = pack_bits(mask, 1, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor_bits + and_bits


def encode_ico(images):
    """The icon file: directory of (size, colour count, bit count, data)."""
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, colour_count, bit_count, data in images:
        directory += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1,
                                 bit_count, len(data), offset)
        offset += len(data)
    return directory + b"".join(image[3] for image in images)


def windows_icon(layers):
    """32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours."""
    images = []
    for size, palette, bit_count, index_of in (
        (32, MONO, 1, lambda layer: layer.mono),
        (32, VGA, 4, lambda layer: layer.vga),
        (16, VGA, 4, lambda layer: layer.vga),
    ):
        indices = render_indexed(layers, size, index_of)
        data = encode_icon_image(indices, size, palette, bit_count)
        images.append((size, len(palette), bit_count, data))
    return encode_ico(images)


# --- SVG ---------------------------------------------------------------------


def svg_number(v):
    return f"{v:.3f}".rstrip("0").rstrip(".")


def svg_colour(rgb):
    return "#" + "".join(f"{round(c):02x}" for c in rgb[:3])


def svg_shape(shape, paint, opacity):
    extra = f' fill-opacity="{svg_number(opacity)}"' if opacity < 1 else ""
    if isinstance(shape, RoundRect):
        x, y, width, height, r = (
            svg_number(v) for v in (shape.x0, shape.y0, shape.x1 - shape.x0,
                                    shape.y1 - shape.y0, shape.r))
        return (f'<rect x="{x}" y="{y}" width="{width}" height="{height}"'
                f' rx="{r}" fill="{paint}"{extra}/>')
    points = " ".join(f"{svg_number(x)},{svg_number(y)}"
                      for x, y in shape.points)
    return f'<polygon points="{points}" fill="{paint}"{extra}/>'


def encode_svg(layers):
    defs, body = [], []
    for layer in layers:
        fill = layer.fill
        if isinstance(fill, Gradient):
            gradient_id = f"g{len(defs)}"
            defs.append(
                f'<linearGradient id="{gradient_id}"'
                ' gradientUnits="userSpaceOnUse"'
                f' x1="0" y1="{svg_number(fill.y0)}"'
                f' x2="0" y2="{svg_number(fill.y1)}">'
                f'<stop offset="0" stop-color="{svg_colour(fill.top)}"/>'
                f'<stop offset="1" stop-color="{svg_colour(fill.bottom)}"/>'
                f"</linearGradient>")
            body.append(svg_shape(layer.shape, f"url(#{gradient_id})", 1.0))
        else:
            body.append(svg_shape(layer.shape, svg_colour(fill), fill[3]))
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128"'
        f' viewBox="0 0 {UNITS} {UNITS}">',
        "<defs>", *defs, "</defs>", *body, "</svg>", ""
    ]
    return "\n".join(lines).encode("ascii")


# --- Output ------------------------------------------------------------------


def outputs(layers):
    """Every generated file: relative path and content."""
    files = {f"{NAME}.ico": windows_icon(layers)}
    for size in PNG_SIZES:
        png = encode_png(render_rgba(layers, size), size)
        files[f"hicolor/{size}x{size}/apps/{NAME}.png"] = png
    files[f"hicolor/scalable/apps/{NAME}.svg"] = encode_svg(layers)
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=Path,
                        default=Path(__file__).resolve().parent / "icons")
    args = parser.parse_args()
    for relative, content in outputs(drawing()).items():
        path = args.out / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
        print(path)


if __name__ == "__main__":
    main()

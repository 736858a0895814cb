#!/usr/bin/env python3
"""Build Tarrowby Companion's icons and bitmaps from the pixel-art sources.

Usage:
    python3 make_images.py OUTPUT_DIR [--preview PREVIEW_DIR]
    python3 make_images.py --preview PREVIEW_DIR
    python3 make_images.py OUTPUT_DIR --hicolor HICOLOR_DIR
    python3 make_images.py --png PNG_DIR

Reads the *.txt pixel-art files that sit next to this script and writes

    tarrowby.ico        application icon, 32x32 and 16x16
    charge_delta.ico    Charge Delta Calculator button, 32x32
    current_finder.ico  Station Current Finder button, 32x32
    tessary_lookup.ico  Tessary Lookup button, 32x32
    token_table.ico     Token Collection Table button, 32x32
    about_strip.bmp     About box strip, 86x7

All images are 4 bits per pixel with the standard 16-colour Windows palette,
so they look the same on every display the program runs on.  The output is
byte-for-byte reproducible: nothing depends on the time, the machine or the
order files happen to be listed in.

With --hicolor, the application icon is also written as the PNG files of a
freedesktop.org icon theme, HICOLOR_DIR/NxN/apps/tarrowby.png for every size in
HICOLOR_SIZES, each from the source that divides the size, scaled by whole
pixels so that the pixel art stays sharp.

With --png, every source image is also written as PNG_DIR/NAME.png at its own
size and as PNG_DIR/NAME@2x.png with every pixel doubled, for the native Linux
program, whose toolkit picks the @2x image on a display scaled twice.

With --preview, enlarged PNG pictures of every image (and a sheet showing
them at their real size on a button face) are written to PREVIEW_DIR.

Only the Python standard library is used.
"""

import argparse
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard Windows VGA palette, in palette order.
# Every image uses this palette, entry for entry.
PALETTE = [
    ("black", 0x000000),
    ("dark red", 0x800000),
    ("dark green", 0x008000),
    ("olive", 0x808000),
    ("navy", 0x000080),
    ("purple", 0x800080),
    ("teal", 0x008080),
    ("light grey", 0xC0C0C0),
    ("grey", 0x808080),
    ("red", 0xFF0000),
    ("green", 0x00FF00),
    ("yellow", 0xFFFF00),
    ("blue", 0x0000FF),
    ("magenta", 0xFF00FF),
    ("cyan", 0x00FFFF),
    ("white", 0xFFFFFF),
]
PALETTE_INDEX = {rgb: i for i, (_, rgb) in enumerate(PALETTE)}

TRANSPARENT = None  # pixel value of a see-through pixel

# What gets built, from which sources, and the size each source must have.
ICONS = [
    ("tarrowby.ico", [("app_icon_32.txt", 32, 32), ("app_icon_16.txt", 16, 16)]),
    ("charge_delta.ico", [("charge_delta.txt", 32, 32)]),
    ("current_finder.ico", [("current_finder.txt", 32, 32)]),
    ("tessary_lookup.ico", [("tessary_lookup.txt", 32, 32)]),
    ("token_table.ico", [("token_table.txt", 32, 32)]),
]
BITMAPS = [
    ("about_strip.bmp", ("about_strip.txt", 86, 7)),
]


class SourceError(Exception):
    """A problem in a pixel-art source, reported as 'file:line: message'."""

    def __init__(self, path, line, message):
        where = os.path.basename(path)
        if line:
            where += ":%d" % line
        super().__init__("%s: %s" % (where, message))


class Image:
    def __init__(self, name, width, height, rows):
        self.name = name
        self.width = width
        self.height = height
        self.rows = rows  # top row first; each a list of palette index or TRANSPARENT

    def has_transparency(self):
        return any(p is TRANSPARENT for row in self.rows for p in row)


# ---------------------------------------------------------------------------
# Reading the sources
# ---------------------------------------------------------------------------

def parse_colour(text):
    """'C0C0C0', '#c0c0c0' or 'transparent' -> palette index or TRANSPARENT."""
    word = text.lower()
    if word == "transparent":
        return TRANSPARENT
    if word.startswith("#"):
        word = word[1:]
    if len(word) != 6 or any(c not in "0123456789abcdef" for c in word):
        raise ValueError("'%s' is not a colour: write RRGGBB in hex, or 'transparent'" % text)
    rgb = int(word, 16)
    if rgb not in PALETTE_INDEX:
        names = ", ".join("%06X" % c for _, c in PALETTE)
        raise ValueError("%06X is not one of the 16 palette colours (%s)" % (rgb, names))
    return PALETTE_INDEX[rgb]


def read_source(path, want_width, want_height):
    """Parse one pixel-art file and check it against the size it must have."""
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as e:
        raise SourceError(path, 0, "cannot read: %s" % e.strerror)

    size = None
    legend = {}
    section = None  # None, "legend" or "pixels"
    rows = []  # (line number, text)
    for number, raw in enumerate(lines, 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        key = line.lower()
        if section != "pixels" and key.startswith("size:"):
            parts = line[5:].strip().lower().split("x")
            try:
                size = tuple(int(p) for p in parts)
                if len(size) != 2 or min(size) < 1 or max(size) > 256:
                    raise ValueError
            except ValueError:
                raise SourceError(path, number, "size must look like 'size: 32x32'")
            continue
        if key == "legend:":
            if section is not None:
                raise SourceError(path, number, "'legend:' must come before 'pixels:'")
            section = "legend"
            continue
        if key == "pixels:":
            if not legend:
                raise SourceError(path, number, "'pixels:' before any legend entry")
            section = "pixels"
            continue
        if section == "legend":
            parts = line.split(None, 2)
            if len(parts) < 2 or len(parts[0]) != 1:
                raise SourceError(path, number,
                                  "a legend line is: CHAR RRGGBB [name]  or  CHAR transparent")
            char = parts[0]
            if char in legend:
                raise SourceError(path, number, "character '%s' is in the legend twice" % char)
            try:
                legend[char] = parse_colour(parts[1])
            except ValueError as e:
                raise SourceError(path, number, str(e))
            continue
        if section == "pixels":
            rows.append((number, line))
            continue
        raise SourceError(path, number, "unexpected line (expected 'size:', 'legend:' or 'pixels:')")

    if size is None:
        raise SourceError(path, 0, "no 'size: WxH' line")
    if section != "pixels":
        raise SourceError(path, 0, "no 'pixels:' section")
    width, height = size
    if (width, height) != (want_width, want_height):
        raise SourceError(path, 0, "this image must be %dx%d, the file says %dx%d"
                          % (want_width, want_height, width, height))
    if len(rows) != height:
        last = rows[-1][0] if rows else 0
        raise SourceError(path, last, "%d pixel rows, expected %d" % (len(rows), height))

    pixels = []
    for y, (number, text) in enumerate(rows):
        if len(text) != width:
            raise SourceError(path, number, "pixel row %d is %d characters long, expected %d"
                              % (y, len(text), width))
        row = []
        for x, char in enumerate(text):
            if char not in legend:
                raise SourceError(path, number, "pixel row %d column %d: character '%s' is not "
                                  "in the legend" % (y, x, char))
            row.append(legend[char])
        pixels.append(row)
    name = os.path.splitext(os.path.basename(path))[0]
    return Image(name, width, height, pixels)


# ---------------------------------------------------------------------------
# Writing .ico and .bmp
# ---------------------------------------------------------------------------

def palette_bytes():
    """16 RGBQUADs (blue, green, red, 0)."""
    out = bytearray()
    for _, rgb in PALETTE:
        out += bytes((rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF, 0))
    return bytes(out)


def row_stride(width, bits):
    """Bytes per DIB row: rows are padded to a multiple of 4 bytes."""
    return ((width * bits + 31) // 32) * 4


def pack_4bpp(row):
    """One row of palette indices (TRANSPARENT counts as black) -> padded bytes."""
    values = [0 if p is TRANSPARENT else p for p in row]
    if len(values) % 2:
        values.append(0)
    data = bytes((values[i] << 4) | values[i + 1] for i in range(0, len(values), 2))
    return data + b"\0" * (row_stride(len(row), 4) - len(data))


def pack_mask(row):
    """AND mask row: bit set where the pixel is transparent, MSB first."""
    data = bytearray(row_stride(len(row), 1))
    for x, p in enumerate(row):
        if p is TRANSPARENT:
            data[x // 8] |= 0x80 >> (x % 8)
    return bytes(data)


def info_header(width, height, image_size, pels_per_metre=0):
    # BITMAPINFOHEADER: 4 bits per pixel, BI_RGB; biClrUsed 0 means the full
    # 16-entry palette follows.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size,
                       pels_per_metre, pels_per_metre, 0, 0)


def icon_image(image):
    """One icon image as stored in a .ico: header, palette, XOR bitmap, AND mask."""
    xor = b"".join(pack_4bpp(row) for row in reversed(image.rows))
    mask = b"".join(pack_mask(row) for row in reversed(image.rows))
    # An icon's header gives the height of XOR and AND bitmaps together.
    header = info_header(image.width, image.height * 2, len(xor) + len(mask))
    return header + palette_bytes() + xor + mask


def ico_file(images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    blobs = [icon_image(im) for im in images]
    offset = 6 + 16 * count
    for im, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", im.width % 256, im.height % 256, 16, 0, 1, 4,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def bmp_file(image):
    bits = b"".join(pack_4bpp(row) for row in reversed(image.rows))
    header = info_header(image.width, image.height, len(bits), 2835)  # 72 dpi
    offset = 14 + len(header) + 64
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return file_header + header + palette_bytes() + bits


# ---------------------------------------------------------------------------
# PNG previews
# ---------------------------------------------------------------------------

def png_file(width, height, pixel, alpha=False):
    """A plain 8-bit RGB PNG; pixel(x, y) returns 0xRRGGBB. With alpha, an
    RGBA one, where a pixel of None is fully see-through."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter: none
        for x in range(width):
            c = pixel(x, y)
            if alpha:
                raw += bytes((0, 0, 0, 0)) if c is None else bytes(
                    ((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, 0xFF))
            else:
                raw += bytes(((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


BUTTON_FACE = 0xC0C0C0

# The sizes of the application icon in the desktop's icon theme.
HICOLOR_SIZES = (16, 32, 48, 64, 128, 256)
HICOLOR_NAME = "tarrowby.png"


def block_png(image, scale):
    """The image with every pixel a scale x scale block, see-through kept:
    pixel art scaled without blur."""
    def pixel(x, y):
        p = image.rows[y // scale][x // scale]
        return None if p is TRANSPARENT else PALETTE[p][1]
    return png_file(image.width * scale, image.height * scale, pixel, alpha=True)


def scaled_png(image, size):
    """The square image blown up by a whole factor to size x size."""
    return block_png(image, size // image.width)


def hicolor_pngs(images):
    """(relative path, PNG) for every theme size, each from the largest of the
    icon's images whose side divides it (48 is the 16x16 image times three)."""
    out = []
    for size in HICOLOR_SIZES:
        image = max((im for im in images if size % im.width == 0), key=lambda im: im.width)
        out.append(("%dx%d/apps/%s" % (size, size, HICOLOR_NAME), scaled_png(image, size)))
    return out


def darker(c):
    r, g, b = (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF
    return (r * 7 // 8) << 16 | (g * 7 // 8) << 8 | (b * 7 // 8)


def enlarged_png(image, scale):
    """The image blown up, with a checkerboard where it is transparent and a
    faint grid between pixels so rows and columns can be counted."""
    half = max(1, scale // 2)

    def pixel(x, y):
        p = image.rows[y // scale][x // scale]
        if p is TRANSPARENT:
            c = 0xE8E8E8 if (x // half + y // half) % 2 else 0xB8B8B8
        else:
            c = PALETTE[p][1]
        if scale >= 6 and (x % scale == scale - 1 or y % scale == scale - 1):
            c = darker(c)
        return c
    return png_file(image.width * scale, image.height * scale, pixel)


def sheet_png(images):
    """All images side by side on a button face, at 1x and at 3x."""
    pad = 8
    placed = []  # (image, scale, x, y)
    y = pad
    for scale in (1, 3):
        x = pad
        for im in images:
            placed.append((im, scale, x, y))
            x += im.width * scale + pad
        y += max(im.height for im in images) * scale + pad
    width = max(px + im.width * s for im, s, px, _ in placed) + pad
    height = y
    canvas = [[BUTTON_FACE] * width for _ in range(height)]
    for im, scale, ox, oy in placed:
        for yy in range(im.height * scale):
            for xx in range(im.width * scale):
                p = im.rows[yy // scale][xx // scale]
                if p is not TRANSPARENT:
                    canvas[oy + yy][ox + xx] = PALETTE[p][1]
    return png_file(width, height, lambda x, y: canvas[y][x])


# ---------------------------------------------------------------------------

def load_all():
    """Read and check every source; returns (icons, bitmaps) or raises with
    all problems found."""
    errors = []
    icons = []
    bitmaps = []
    for out_name, sources in ICONS:
        images = []
        for src, w, h in sources:
            try:
                images.append(read_source(os.path.join(HERE, src), w, h))
            except SourceError as e:
                errors.append(str(e))
        icons.append((out_name, images))
    for out_name, (src, w, h) in BITMAPS:
        try:
            im = read_source(os.path.join(HERE, src), w, h)
            if im.has_transparency():
                errors.append("%s: a bitmap cannot have transparent pixels" % src)
            bitmaps.append((out_name, im))
        except SourceError as e:
            errors.append(str(e))
    if errors:
        raise SystemExit("\n".join("make_images.py: error: " + e for e in errors))
    return icons, bitmaps


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    parser = argparse.ArgumentParser(
        description="Build the program's .ico and .bmp files from the pixel-art sources.")
    parser.add_argument("output_dir", nargs="?", help="where to write the .ico and .bmp files")
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews to DIR")
    parser.add_argument("--hicolor", metavar="DIR",
                        help="also write the application icon as icon-theme PNGs under DIR")
    parser.add_argument("--png", metavar="DIR",
                        help="also write every image as NAME.png and pixel-doubled NAME@2x.png under DIR")
    args = parser.parse_args(argv)
    if not args.output_dir and not args.preview and not args.png:
        parser.error("give OUTPUT_DIR, --preview DIR, --png DIR, or several")

    icons, bitmaps = load_all()

    try:
        if args.output_dir:
            os.makedirs(args.output_dir, exist_ok=True)
            for out_name, images in icons:
                write(os.path.join(args.output_dir, out_name), ico_file(images))
            for out_name, im in bitmaps:
                write(os.path.join(args.output_dir, out_name), bmp_file(im))
        if args.hicolor:
            for name, data in hicolor_pngs(icons[0][1]):
                path = os.path.join(args.hicolor, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                write(path, data)
        if args.png:
            os.makedirs(args.png, exist_ok=True)
            every = [im for _, images in icons for im in images] + [im for _, im in bitmaps]
            for im in every:
                write(os.path.join(args.png, im.name + ".png"), block_png(im, 1))
                write(os.path.join(args.png, im.name + "@2x.png"), block_png(im, 2))
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            every = [im for _, images in icons for im in images] + [im for _, im in bitmaps]
            for im in every:
                scale = 8 if im.width >= 32 else 16
                write(os.path.join(args.preview, im.name + ".png"), enlarged_png(im, scale))
            write(os.path.join(args.preview, "sheet.png"), sheet_png(every))
    except OSError as e:
        raise SystemExit("make_images.py: error: cannot write %s: %s" % (e.filename, e.strerror))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

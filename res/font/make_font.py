#!/usr/bin/env python3
"""Build MS Serif as a Windows bitmap font file (.fon) from BDF strikes.

Usage: python3 make_font.py <out.fon> [bdf files...]
Without BDF files, every *.bdf beside this script is used.

The .fon is an MZ stub plus a 16-bit NE image whose resource table holds a
FONTDIR and one FONT (FNT 2.0) per strike, and one more for each smaller em
height a strike also answers to (ALSO_ANSWERS).  The program adds it at
start-up with AddFontMemResourceEx.  The output depends only on the input files.
"""
import glob
import os
import struct
import sys

FACE = b"MS Serif"
FIRST = 0x20
DPI = 96
ALIGN_SHIFT = 4          # NE resources are placed on 16-byte boundaries

# Font matching gives a request the strike with the largest em height that is
# not larger than the request's, and the smallest strike when every one is
# larger.  A strike listed here (by its em, PIXEL_SIZE) also answers to the
# smaller em heights given, through another FONT resource with the same
# glyphs, the same cell and more internal leading; the resources share one
# copy of the glyph bitmaps.  So the 6-point request at 96 dpi (em 8) keeps
# the 8-point strike, as Windows gives it, while the one at 120 dpi (em 10)
# gets the next larger strike.
ALSO_ANSWERS = {11: (8,), 12: (10,)}


def read_bdf(path):
    """Return (properties, glyphs); glyphs maps code -> (advance, bbx, rows)."""
    props, glyphs = {}, {}
    with open(path, encoding="latin-1") as f:
        lines = iter(f.read().splitlines())
    for line in lines:
        key, _, val = line.partition(" ")
        if key == "SIZE":
            props["SIZE"] = [int(v) for v in val.split()]
        elif key == "STARTCHAR":
            code, adv, bbx, rows = None, 0, None, []
            for line in lines:
                key, _, val = line.partition(" ")
                if key == "ENCODING":
                    code = int(val.split()[0])
                elif key == "DWIDTH":
                    adv = int(val.split()[0])
                elif key == "BBX":
                    bbx = [int(v) for v in val.split()]
                elif key == "BITMAP":
                    rows = [int(next(lines), 16) for _ in range(bbx[1])]
                    # left-align each row in an int: bit (width-1-x) is pixel x
                    nbits = 8 * ((bbx[0] + 7) // 8)
                    rows = [r >> (nbits - bbx[0]) for r in rows]
                elif key == "ENDCHAR":
                    if code is not None and code >= 0:
                        glyphs[code] = (adv, bbx, rows)
                    break
        elif key in ("FONT_ASCENT", "FONT_DESCENT", "PIXEL_SIZE",
                     "RESOLUTION_X", "RESOLUTION_Y", "DEFAULT_CHAR"):
            props[key] = int(val)
        elif key in ("FAMILY_NAME", "COPYRIGHT"):
            props[key] = val.strip().strip('"')
    return props, glyphs


def cell_bitmap(glyph, ascent, height):
    """Glyph as (width, FNT bytes): byte columns of 8 pixels, each top to bottom.

    FNT has no bearings, so a glyph whose ink reaches left of its origin or
    past its advance gets a cell wide enough to keep every pixel.
    """
    adv, (w, h, xoff, yoff), rows = glyph
    left = min(0, xoff) if w else 0
    width = max(adv, xoff + w) - left if w else adv
    width = max(width, 1)
    grid = [[0] * width for _ in range(height)]
    for i, bits in enumerate(rows):
        r = ascent - yoff - h + i
        if not 0 <= r < height:
            raise ValueError("glyph outside the cell; raise FONT_ASCENT/DESCENT")
        for x in range(w):
            if bits >> (w - 1 - x) & 1:
                grid[r][xoff - left + x] = 1
    out = bytearray()
    for col in range(0, width, 8):
        for row in grid:
            byte = 0
            for x in range(col, col + 8):
                byte = byte << 1 | (row[x] if x < width else 0)
            out.append(byte)
    return width, bytes(out)


def build_strike(props, glyphs):
    """The FONT resources (FNT 2.0) of one strike as one block of bytes.

    The block holds a header and character table for each em height the
    strike answers to, then the glyph bitmaps and the face name.  Each FONT
    resource starts at its own header and runs to the end of the block.
    Returns (block, [(start in block, points, em, 113-byte FONTDIR prefix)]).
    """
    points = props["SIZE"][0]
    ascent, descent = props["FONT_ASCENT"], props["FONT_DESCENT"]
    height = ascent + descent
    # PIXEL_SIZE is the em height at 96 dpi; the cell above it is internal
    # leading.  Font matching compares requested em heights with this.
    own_em = props["PIXEL_SIZE"]
    ems = sorted((own_em,) + ALSO_ANSWERS.get(own_em, ()))
    if props.get("RESOLUTION_Y", DPI) != DPI or height < max(ems):
        raise ValueError("strike is not set up for %d dpi" % DPI)
    if props.get("FAMILY_NAME") != FACE.decode():
        raise ValueError("strike is not of the MS Serif family")
    default = glyphs.get(props.get("DEFAULT_CHAR", 0))
    if default is None:  # no default glyph in the BDF: draw a hollow box
        w, h = own_em // 2, own_em * 2 // 3
        edge, side = (1 << w) - 1, 1 << (w - 1) | 1
        default = (w + 1, (w, h, 0, 0), [edge] + [side] * (h - 2) + [edge])

    # A strike of printable ASCII ends with the default glyph at 0x7F; one
    # with Latin-1 too keeps it at 0x80, the first code with no glyph there.
    # The smaller em heights are asked for only by the launcher's 6-point
    # texts, all printable ASCII: their resources stop at the default glyph.
    latin1 = any(code > 0x7F for code in glyphs)
    default_at = 0x80 if latin1 else 0x7F
    lasts = [0xFF if latin1 and em == own_em else default_at for em in ems]
    bits, entries, seen = bytearray(), [], {}
    for code in range(FIRST, max(lasts) + 1):
        # every code without a glyph shares the default's bitmap
        glyph = glyphs.get(code) if code != default_at else None
        key = code if glyph else default_at
        if key not in seen:
            width, data = cell_bitmap(glyph or default, ascent, height)
            seen[key] = (width, len(bits))
            bits += data
        entries.append(seen[key])
    avg = seen[ord("x")][0]              # FNT convention: width of "x"
    blank = (avg, len(bits))             # the sentinel after the last character
    bits += bytes(((avg + 7) // 8) * height)
    # Each header and its table (+1: the sentinel), 16-byte aligned.
    slots = [len(pad(bytes(118 + 4 * (last - FIRST + 2)))) for last in lasts]
    bits_start = sum(slots)
    block_size = bits_start + len(bits) + len(FACE) + 1

    copyright = b""
    for sentence in props.get("COPYRIGHT", "").encode("latin-1").split(b". "):
        longer = copyright + (b" " if copyright else b"") + sentence.rstrip(b".") + b"."
        if len(longer) > 60:
            break
        copyright = longer
    block, resources = bytearray(), []
    for em, last in zip(ems, lasts):
        start = len(block)
        bits_at = bits_start - start        # from this resource's start
        face_at = bits_at + len(bits)
        size = block_size - start
        if size > 0xFFFF:
            raise ValueError("strike too large for FNT 2.0 offsets")
        own = entries[:last - FIRST + 1]
        widths = [w for w, _ in own]
        nominal = points if em == own_em else em * 72 // DPI
        header = struct.pack(
            "<HI60sHHHHHHHBBBHBHHBHHBBBBHIIIIB",
            0x0200, size, copyright, 0, nominal, DPI, DPI, ascent, height - em, 0,
            0, 0, 0, 400, 0,              # not italic/underlined/struck, normal weight, ANSI
            0, height, 0x11,              # variable pitch (bit 0 set), FF_ROMAN
            avg, max(widths), FIRST, last, default_at - FIRST, ord(" ") - FIRST,
            sum((w + 7) // 8 for w in widths) + 1 & ~1,
            0, face_at, 0, bits_at, 0)
        assert len(header) == 118
        table = b"".join(struct.pack("<HH", w, bits_at + off) for w, off in own + [blank])
        block += pad(header + table)
        resources.append((start, nominal, em, header[:113]))
    block += bits + FACE + b"\0"
    return bytes(block), resources


def pad(data, unit=1 << ALIGN_SHIFT):
    return data + bytes(-len(data) % unit)


def build_fon(strikes):
    """MZ stub + NE header + tables, then the FONTDIR and FONT resources.

    `strikes` holds build_strike's (block, resources) for each strike.
    """
    msg = b"This file holds Windows fonts; it is not a DOS program.\r\n$"
    code = bytes.fromhex("0e1fba0e00b409cd21b8014ccd21") + msg
    stub_len = (64 + len(code) + 15) // 16 * 16
    mz = struct.pack("<2sHHHHHHHHHHHHH8sHH20sI", b"MZ", stub_len % 512,
                     (stub_len + 511) // 512, 0, 4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0,
                     0x40, 0, b"", 0, 0, b"", stub_len)
    assert len(mz) == 64
    stub = pad(mz + code)

    fonts = [(i, start, len(block) - start, points, prefix)
             for i, (block, resources) in enumerate(strikes)
             for start, points, _, prefix in resources]
    sizes = ", ".join(str(p) for _, _, _, p, _ in fonts)
    fontdir = struct.pack("<H", len(fonts)) + b"".join(
        struct.pack("<H", i + 1) + prefix + b"\0" + FACE + b"\0"
        for i, (_, _, _, _, prefix) in enumerate(fonts))
    resources = [fontdir] + [block for block, _ in strikes]

    # Tables after the 64-byte NE header, offsets relative to it.
    n = len(fonts)
    res_len = 2 + 8 + 12 + 8 + 12 * n + 2 + 8 + 1   # + "FONTDIR" name + end
    res_at = 64
    resident = bytes([7]) + b"MSSERIF" + b"\0\0" + b"\0"
    resident_at = res_at + res_len
    modref_at = imports_at = resident_at + len(resident)
    imports = b"\0"
    entry_at = imports_at + len(imports)
    entry = b"\0\0"
    desc = b"FONTRES 100,%d,%d : MS Serif %s" % (DPI, DPI, sizes.encode())
    nonres = bytes([len(desc)]) + desc + b"\0\0" + b"\0"
    nonres_at = len(stub) + entry_at + len(entry)
    data_at = (nonres_at + len(nonres) + 15) // 16 * 16

    # Resource table: FONTDIR (named) then the FONTs, ids 1..n.
    offsets, at = [], data_at
    for r in resources:
        offsets.append(at)
        at += len(pad(r))
    unit = lambda v: (v + 15) >> ALIGN_SHIFT
    restab = struct.pack("<H", ALIGN_SHIFT)
    restab += struct.pack("<HHI", 0x8007, 1, 0)
    restab += struct.pack("<HHHHI", offsets[0] >> 4, unit(len(fontdir)),
                          0x0C50, res_len - 9, 0)
    restab += struct.pack("<HHI", 0x8008, n, 0)
    for i, (strike, start, length, _, _) in enumerate(fonts):
        restab += struct.pack("<HHHHI", (offsets[strike + 1] + start) >> 4,
                              unit(length), 0x1C30, 0x8001 + i, 0)
    restab += struct.pack("<H", 0) + bytes([7]) + b"FONTDIR" + b"\0"
    assert len(restab) == res_len

    ne = struct.pack(
        "<2sBBHHIHHHHIIHHHHHHHHIHHHBBHHHH",
        b"NE", 5, 10, entry_at, len(entry), 0, 0x8300, 0, 0, 0, 0, 0,
        0, 0, len(nonres), 64, res_at, resident_at, modref_at, imports_at,
        nonres_at, 0, ALIGN_SHIFT, 0, 2, 0, 0, 0, 0, 0x0300)
    assert len(ne) == 64
    head = stub + ne + restab + resident + imports + entry + nonres
    return pad(head) + b"".join(pad(r) for r in resources)


def main(argv):
    if len(argv) < 2:
        sys.exit("usage: make_font.py <out.fon> [bdf files...]")
    paths = argv[2:] or sorted(glob.glob(os.path.join(os.path.dirname(
        os.path.abspath(__file__)), "*.bdf")))
    strikes = sorted((build_strike(*read_bdf(p)) for p in paths),
                     key=lambda strike: strike[1][0][2])
    ems = [em for _, resources in strikes for _, _, em, _ in resources]
    if len(set(ems)) != len(ems):
        sys.exit("make_font.py: two strikes answer to the same em height")
    with open(argv[1], "wb") as f:
        f.write(build_fon(strikes))


if __name__ == "__main__":
    main(sys.argv)

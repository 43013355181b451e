#!/usr/bin/python3
"""Turn a text pixel map into a Windows .ico file.

Usage: make_ico.py MAP.txt OUT.ico

The map file holds a palette legend and one or more images:

    # comment
    bits 4                  colour depth of every image: 4 (16 colours) or 8 (256)
    colour K 000000         one character per colour, RGB in hex
    colour . none           a character that is transparent (set in the AND mask)
    image 32                a square image of 32 x 32; the next 32 lines are its rows
    ...

Each image becomes one ICONDIRENTRY with a DIB of a BITMAPINFOHEADER, a
colour table, the XOR pixels and the AND mask, rows stored bottom-up and padded
to 4 bytes.  Colour table entry 0 is always black: transparent pixels use it, so
(screen AND 1) XOR 0 leaves the screen as it was.  The output depends only on
the map, so it is byte-identical from run to run.
"""

import struct
import sys


class MapError(Exception):
    pass


def parse_map(text):
    """Return (bits, legend, images): legend maps a character to an RGB tuple or
    None (transparent); images is a list of (size, rows)."""
    bits = None
    legend = {}
    images = []
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        line = lines[i].rstrip()
        i += 1
        if not line or line.startswith("#"):
            continue
        words = line.split()
        if words[0] == "bits" and len(words) == 2:
            bits = int(words[1])
            if bits not in (4, 8):
                raise MapError(f"line {i}: bits must be 4 or 8")
        elif words[0] == "colour" and len(words) == 3 and len(words[1]) == 1:
            legend[words[1]] = None if words[2] == "none" else parse_rgb(words[2], i)
        elif words[0] == "image" and len(words) == 2:
            size = int(words[1])
            rows = [row.rstrip() for row in lines[i:i + size]]
            for n, row in enumerate(rows, start=i + 1):
                if len(row) != size:
                    raise MapError(f"line {n}: expected {size} pixels, found {len(row)}")
            if len(rows) != size:
                raise MapError(f"image at line {i}: expected {size} rows")
            images.append((size, rows))
            i += size
        else:
            raise MapError(f"line {i}: cannot read {line!r}")
    if bits is None or not images:
        raise MapError("a map needs a 'bits' line and at least one image")
    return bits, legend, images


def parse_rgb(word, line_no):
    if len(word) != 6:
        raise MapError(f"line {line_no}: colour must be RRGGBB or 'none'")
    value = int(word, 16)
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF


def build_palette(bits, legend):
    """Colour table (list of RGB) and character -> index; index 0 is black."""
    table = [(0, 0, 0)]
    index = {}
    for char, rgb in legend.items():
        if rgb is None:
            index[char] = 0
            continue
        if rgb not in table:
            table.append(rgb)
        index[char] = table.index(rgb)
    size = 1 << bits
    if len(table) > size:
        raise MapError(f"{len(table)} colours do not fit in {bits} bits")
    return table + [(0, 0, 0)] * (size - len(table)), index


def pack_row(values, bits):
    """Pack pixel values of `bits` each, most significant first, padded to 4 bytes."""
    acc = 0
    for v in values:
        acc = (acc << bits) | v
    nbits = len(values) * bits
    stride = (nbits + 31) // 32 * 4
    acc <<= stride * 8 - nbits
    return acc.to_bytes(stride, "big")


def build_dib(size, rows, bits, table, index, legend):
    unknown = {c for row in rows for c in row} - legend.keys()
    if unknown:
        raise MapError(f"characters without a colour: {''.join(sorted(unknown))}")
    xor = b"".join(pack_row([index[c] for c in row], bits) for row in reversed(rows))
    mask = b"".join(pack_row([1 if legend[c] is None else 0 for c in row], 1)
                    for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII",
                         40,            # biSize
                         size,          # biWidth
                         size * 2,      # biHeight: XOR image and AND mask
                         1,             # biPlanes
                         bits,          # biBitCount
                         0,             # biCompression: BI_RGB
                         len(xor) + len(mask),  # biSizeImage
                         0, 0,          # biXPelsPerMeter, biYPelsPerMeter
                         0, 0)          # biClrUsed, biClrImportant: full table
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    return header + colours + xor + mask


def build_ico(bits, legend, images):
    table, index = build_palette(bits, legend)
    dibs = [build_dib(size, rows, bits, table, index, legend) for size, rows in images]
    out = struct.pack("<HHH", 0, 1, len(dibs))        # ICONDIR: reserved, type icon, count
    offset = 6 + 16 * len(dibs)
    for (size, _), dib in zip(images, dibs):
        out += struct.pack("<BBBBHHII",
                           size % 256,                # bWidth (0 means 256)
                           size % 256,                # bHeight
                           16 if bits == 4 else 0,    # bColorCount
                           0,                         # bReserved
                           1,                         # wPlanes
                           bits,                      # wBitCount
                           len(dib),                  # dwBytesInRes
                           offset)                    # dwImageOffset
        offset += len(dib)
    return out + b"".join(dibs)


def main(argv):
    if len(argv) != 3:
        print("usage: make_ico.py MAP.txt OUT.ico", file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        text = f.read()
    try:
        data = build_ico(*parse_map(text))
    except (MapError, ValueError) as e:
        print(f"{argv[1]}: {e}", file=sys.stderr)
        return 1
    with open(argv[2], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/python3
"""Write the sample EUDC font: a small TrueType file with simple shapes at
U+E000 onwards.

Usage: make_sample_tte.py OUT.tte

Needs Debian's python3-fonttools; run it with /usr/bin/python3.  The output has
fixed timestamps and no other varying data, so it is byte-identical each run.
"""

import math
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

FAMILY = "Tavrel Sample EUDC"
UPEM = 1024
ASCENT, DESCENT = 880, 144
ADVANCE = UPEM                   # every character is full width
TIMESTAMP = timestampFromString("Mon Jan  1 00:00:00 2024")

# Every shape is drawn in the box (LEFT, BOTTOM) - (RIGHT, TOP).
LEFT, RIGHT = 112, 912
BOTTOM, TOP = -32, 768
CX, CY = (LEFT + RIGHT) // 2, (BOTTOM + TOP) // 2
R = (RIGHT - LEFT) // 2


def area(points):
    """Twice the signed area; positive when the points run anticlockwise."""
    return sum(x0 * y1 - x1 * y0
               for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))


def polygon(pen, points, hole=False):
    """Draw a closed polygon: clockwise for an outline, anticlockwise for a
    hole, as TrueType's fill rule expects."""
    points = [(round(x), round(y)) for x, y in points]
    if (area(points) > 0) != hole:
        points.reverse()
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def circle(pen, cx, cy, r, hole=False):
    """A circle of eight quadratic arcs: on-curve points on the circle, control
    points where the tangents of neighbouring ones meet."""
    step = math.pi / 4
    sign = 1 if hole else -1           # clockwise for an outline
    pen.moveTo((round(cx + r), round(cy)))
    for i in range(8):
        mid = sign * (i + 0.5) * step
        end = sign * (i + 1) * step
        k = r / math.cos(step / 2)
        control = (round(cx + k * math.cos(mid)), round(cy + k * math.sin(mid)))
        on = (round(cx + r * math.cos(end)), round(cy + r * math.sin(end)))
        if i == 7:
            pen.qCurveTo(control, (round(cx + r), round(cy)))
        else:
            pen.qCurveTo(control, on)
    pen.closePath()


def star_points(n, outer, inner):
    points = []
    for i in range(2 * n):
        a = math.pi / 2 + i * math.pi / n
        rad = outer if i % 2 == 0 else inner
        points.append((CX + rad * math.cos(a), CY + rad * math.sin(a)))
    return points


def square(pen):
    polygon(pen, [(LEFT, BOTTOM), (LEFT, TOP), (RIGHT, TOP), (RIGHT, BOTTOM)])


def disc(pen):
    circle(pen, CX, CY, R)


def cross(pen):
    w = 120
    polygon(pen, [(CX - w, BOTTOM), (CX - w, CY - w), (LEFT, CY - w), (LEFT, CY + w),
                  (CX - w, CY + w), (CX - w, TOP), (CX + w, TOP), (CX + w, CY + w),
                  (RIGHT, CY + w), (RIGHT, CY - w), (CX + w, CY - w), (CX + w, BOTTOM)])


def triangle(pen):
    polygon(pen, [(LEFT, BOTTOM), (CX, TOP), (RIGHT, BOTTOM)])


def star(pen):
    polygon(pen, star_points(5, R, R * 0.4))


def diamond(pen):
    polygon(pen, [(CX, BOTTOM), (LEFT, CY), (CX, TOP), (RIGHT, CY)])


def ring(pen):
    circle(pen, CX, CY, R)
    circle(pen, CX, CY, R * 0.55, hole=True)


def frame(pen):
    square(pen)
    d = 140
    polygon(pen, [(LEFT + d, BOTTOM + d), (LEFT + d, TOP - d),
                  (RIGHT - d, TOP - d), (RIGHT - d, BOTTOM + d)], hole=True)


def saltire(pen):
    w = 100
    for sx in (1, -1):
        polygon(pen, [(CX - sx * (R - w), BOTTOM), (CX - sx * R, BOTTOM + w),
                      (CX + sx * (R - w), TOP), (CX + sx * R, TOP - w)])


def arrow(pen):
    w = 130
    polygon(pen, [(LEFT, CY - w), (LEFT, CY + w), (CX, CY + w), (CX, TOP),
                  (RIGHT, CY), (CX, BOTTOM), (CX, CY - w)])


def notdef(pen):
    polygon(pen, [(128, 0), (128, 768), (896, 768), (896, 0)])
    polygon(pen, [(192, 64), (192, 704), (832, 704), (832, 64)], hole=True)


SHAPES = [square, disc, cross, triangle, star, diamond, ring, frame, saltire, arrow]
FIRST_CODE = 0xE000


def build():
    glyphs, cmap = {}, {}
    for name, draw in [(".notdef", notdef), ("space", None)]:
        pen = TTGlyphPen(None)
        if draw:
            draw(pen)
        glyphs[name] = pen.glyph()
    cmap[0x20] = "space"
    for i, draw in enumerate(SHAPES):
        name = f"uni{FIRST_CODE + i:04X}"
        pen = TTGlyphPen(None)
        draw(pen)
        glyphs[name] = pen.glyph()
        cmap[FIRST_CODE + i] = name

    fb = FontBuilder(UPEM, isTTF=True)
    fb.updateHead(created=TIMESTAMP, modified=TIMESTAMP, fontRevision=1.0)
    fb.setupGlyphOrder(list(glyphs))
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    fb.setupHorizontalMetrics({name: (ADVANCE if name != "space" else UPEM // 2,
                                      getattr(glyf[name], "xMin", 0))
                               for name in glyphs})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"Ferroday: {FAMILY}: 1.000",
        "fullName": FAMILY,
        "psName": FAMILY.replace(" ", "") + "-Regular",
        "version": "Version 1.000",
        "manufacturer": "Ferroday",
    }, mac=False)
    fb.setupOS2(
        version=4,
        achVendID="FRDY",
        fsType=0,                           # installable
        fsSelection=0x40,                   # REGULAR
        sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=DESCENT,
        ulUnicodeRange1=0, ulUnicodeRange2=1 << (60 - 32),  # Private Use Area
        ulCodePageRange1=1 << 17,           # JIS/Japan, code page 932
        yStrikeoutSize=50, yStrikeoutPosition=300,
        sxHeight=500, sCapHeight=700,
    )
    fb.setupPost(underlinePosition=-100, underlineThickness=50)
    return fb, cmap


def check(path, cmap):
    """Read the file back and make sure the characters are where they belong."""
    font = TTFont(path)
    best = font["cmap"].getcmap(3, 1)
    assert best is not None and best.format == 4, "no format 4 subtable for 3/1"
    assert best.cmap == cmap, "character map did not survive the round trip"
    assert font["name"].getDebugName(1) == FAMILY
    for name in cmap.values():
        if name != "space":
            assert font["glyf"][name].numberOfContours > 0, f"{name} is empty"


def main(argv):
    if len(argv) != 2:
        print("usage: make_sample_tte.py OUT.tte", file=sys.stderr)
        return 2
    fb, cmap = build()
    fb.save(argv[1])
    check(argv[1], cmap)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/python3
"""Draws the app's icon font "qvicons" from our own outlines and writes it as a TrueType file.

Run with the system interpreter (fontforge imports only there) and SOURCE_DATE_EPOCH set, so the
same outlines give the same file:  SOURCE_DATE_EPOCH=0 /usr/bin/python3 make_icon_font.py out.ttf
"""
import sys

import fontforge

EM = 1000
ASCENT, DESCENT = 800, 200
# Icons sit in the box x 100..900, y -100..700: centred in the advance and between ascent and descent,
# so a glyph centred by its line box is centred by its shape too.
MID_X, MID_Y = 500, 300


def polygon(*points):
    return [list(points)]


def play():
    return polygon((230, -60), (230, 660), (770, 300))


def pause():
    return polygon((250, -50), (430, -50), (430, 650), (250, 650)) + \
        polygon((570, -50), (750, -50), (750, 650), (570, 650))


def arrow(up):
    """A shaft with a head, pointing up or down."""
    s = 1 if up else -1
    tip, neck, tail = MID_Y + s * 400, MID_Y + s * 60, MID_Y - s * 400
    head, shaft = 330, 80
    points = [(MID_X, tip), (MID_X + head, neck), (MID_X + shaft, neck), (MID_X + shaft, tail),
              (MID_X - shaft, tail), (MID_X - shaft, neck), (MID_X - head, neck)]
    return [points]


def triangle(up):
    """A solid wedge, pointing up or down."""
    s = 1 if up else -1
    return polygon((MID_X, MID_Y + s * 360), (MID_X + 400, MID_Y - s * 280), (MID_X - 400, MID_Y - s * 280))


# Code points the screens ask for.
GLYPHS = {
    0xF215: ("play", play()),
    0xF210: ("pause", pause()),
    0xF262: ("arrow-up", arrow(True)),
    0xF260: ("arrow-down", arrow(False)),
    0xF10D: ("wedge-up", triangle(True)),
    0xF104: ("wedge-down", triangle(False)),
}


def main(out_path):
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.fontname = font.familyname = font.fullname = "qvicons"
    font.em = EM
    font.ascent, font.descent = ASCENT, DESCENT
    for attr in ("os2_winascent_add", "os2_windescent_add", "os2_typoascent_add", "os2_typodescent_add",
                 "hhea_ascent_add", "hhea_descent_add"):
        setattr(font, attr, False)
    font.os2_winascent, font.os2_windescent = ASCENT, DESCENT
    font.os2_typoascent, font.os2_typodescent, font.os2_typolinegap = ASCENT, -DESCENT, 0
    font.hhea_ascent, font.hhea_descent, font.hhea_linegap = ASCENT, -DESCENT, 0
    font.os2_use_typo_metrics = True

    space = font.createChar(0x20, "space")
    space.width = EM
    for code, (name, contours) in sorted(GLYPHS.items()):
        glyph = font.createChar(code, name)
        pen = glyph.glyphPen()
        for contour in contours:
            pen.moveTo(contour[0])
            for point in contour[1:]:
                pen.lineTo(point)
            pen.closePath()
        pen = None
        glyph.width = EM
        glyph.correctDirection()
    font.generate(out_path)


if __name__ == "__main__":
    main(sys.argv[1])

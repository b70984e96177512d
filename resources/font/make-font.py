#!/usr/bin/python3
"""Makes ZELOrvane.ttf, the tape label's font, from Debian's fonts-kristi.

The label is written in Kristi (Birgit Pulk, SIL Open Font License 1.1, no
reserved font name), a felt-tip hand that looks like a marker on tape. The
plug-in looks its font up by the family name "ZELOrvane", style "Regular",
so this script renames the copy, marks it upright and regular (the original
carries the italic flags, which would make GDI and DirectWrite treat it as
an italic face and slant it a second time), and records the cap and x
heights that the original file leaves out, so every platform reads the same
design metrics. The glyphs are not touched.

Needs python3-fonttools and fonts-kristi (apt-get install both), then:
    resources/font/make-font.py [SOURCE.ttf] [OUTPUT.ttf]
The result is committed; run this again only to remake it.
"""

import os
import sys

from fontTools.pens.boundsPen import BoundsPen
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables.O_S_2f_2 import Panose

SOURCE = "/usr/share/fonts/truetype/kristi/Kristi.ttf"
HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "ZELOrvane.ttf")

FAMILY = "ZELOrvane"
STYLE = "Regular"
COPYRIGHT = ("Copyright (c) 2010, Birgit Pulk (birgitpulk@gmail.com). "
             "Modified Version renamed ZELOrvane for the ZEL Orvane label.")
LICENSE = ("This Font Software is licensed under the SIL Open Font License, "
           "Version 1.1. The license is in OFL.txt beside this file and at "
           "https://openfontlicense.org")
LICENSE_URL = "https://openfontlicense.org"


def glyph_height(font, char):
    """Top of the glyph that the character maps to, in font units."""
    name = font.getBestCmap().get(ord(char))
    if name is None:
        return 0
    glyphs = font.getGlyphSet()
    pen = BoundsPen(glyphs)
    glyphs[name].draw(pen)
    return int(round(pen.bounds[3])) if pen.bounds else 0


def rename(font):
    names = font["name"]
    version = font["head"].fontRevision
    values = {
        0: COPYRIGHT,
        1: FAMILY,
        2: STYLE,
        3: "%.3f;ZELOrvane-Regular" % version,
        4: FAMILY + " " + STYLE,
        5: "Version %.3f" % version,
        6: FAMILY + "-" + STYLE,
        13: LICENSE,
        14: LICENSE_URL,
    }
    # Only the names written here survive: nothing of the original family
    # name is left for a system to match on.
    names.names = []
    for name_id, text in sorted(values.items()):
        names.setName(text, name_id, 3, 1, 0x409)  # Windows, Unicode BMP, en-US
        names.setName(text, name_id, 1, 0, 0)  # Macintosh, Roman, English


def make_upright_regular(font):
    os2 = font["OS/2"]
    if os2.version < 4:
        # Version 4 adds the x and cap heights; the fields after them take
        # the values a font without such tables carries.
        os2.version = 4
        os2.sxHeight = glyph_height(font, "x")
        os2.sCapHeight = glyph_height(font, "H")
        os2.usDefaultChar = 0
        os2.usBreakChar = 32
        os2.usMaxContext = 2
        if not hasattr(os2, "ulCodePageRange1"):
            os2.ulCodePageRange1 = 1  # Latin 1
            os2.ulCodePageRange2 = 0
    os2.usWeightClass = 400
    os2.fsSelection = 1 << 6  # REGULAR; not italic, not bold
    if not isinstance(getattr(os2, "panose", None), Panose):
        os2.panose = Panose()
    font["head"].macStyle = 0
    font["post"].italicAngle = 0


def main(argv):
    source = argv[1] if len(argv) > 1 else SOURCE
    output = argv[2] if len(argv) > 2 else OUTPUT
    font = TTFont(source)
    rename(font)
    make_upright_regular(font)
    # A fixed modification date keeps the file the same on every run.
    font["head"].modified = font["head"].created
    font.recalcTimestamp = False
    font.save(output)
    print("wrote %s (family %r, style %r)" % (output, FAMILY, STYLE))


if __name__ == "__main__":
    main(sys.argv)

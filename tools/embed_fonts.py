#!/usr/bin/python3
"""The game's own fonts, cut to the characters it writes and compiled in: every edition sets
its captions in the same faces, whatever fonts the machine has.

    /usr/bin/python3 tools/embed_fonts.py OUT.cpp

- "Arial" is Liberation Sans Bold (fonts-liberation2), with Arial Bold's advance widths. Its
  licence, the SIL Open Font License 1.1, reserves the name "Liberation" to the fonts as
  published: the cut is renamed "Mazeblast Sans".
- "Arial Black" is Inter Black and Inter Black Italic (fonts-inter, SIL Open Font License 1.1
  with no reserved name), a heavy face with a true italic.

Printable ASCII, no hinting, kerning kept, the copyright and licence entries of each face's
name table kept. The bytes go into a C++ source as arrays; nothing reads a font file at run
time. The licences are in data/fonts/ and in the packages' copyright file.
"""
import io
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FACES = [
    # family as the layout names it, weight, italic, file, new name or None
    ("Arial", 700, False, "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
     "Mazeblast Sans"),
    ("Arial Black", 900, False, "/usr/share/fonts/opentype/inter/Inter-Black.otf", None),
    ("Arial Black", 900, True, "/usr/share/fonts/opentype/inter/Inter-BlackItalic.otf", None),
]


def cut(path, rename):
    options = subset.Options()
    options.hinting = False
    options.layout_features = ["kern"]
    options.legacy_kern = True
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.glyph_names = False
    font = TTFont(path)
    cutter = subset.Subsetter(options)
    cutter.populate(unicodes=range(0x20, 0x7F))
    cutter.subset(font)
    if rename:
        # The family's own name, the full and the PostScript names: the reserved name goes.
        style = font["name"].getDebugName(2) or "Bold"
        names = {1: rename, 3: f"{rename} {style}; cut for RMO Mazeblast", 4: f"{rename} {style}",
                 6: f"{rename.replace(' ', '')}-{style}", 16: rename, 17: style}
        for record in font["name"].names:
            if record.nameID in names:
                record.string = names[record.nameID]
    out = io.BytesIO()
    font.save(out)
    return out.getvalue()


def main(target):
    lines = ["// Made by tools/embed_fonts.py from Debian's font packages: do not edit.",
             '#include "screen/fonts.h"', "", "namespace mazeblast {", "namespace {", ""]
    table = []
    for i, (family, weight, italic, path, rename) in enumerate(FACES):
        data = cut(path, rename)
        lines.append(f"// {path}{', renamed ' + rename if rename else ''}: {len(data)} bytes")
        lines.append(f"const unsigned char kFace{i}[] = {{")
        for at in range(0, len(data), 24):
            lines.append("    " + ",".join(str(b) for b in data[at:at + 24]) + ",")
        lines.append("};")
        table.append(f'    {{"{family}", {weight}, {"true" if italic else "false"}, kFace{i}, '
                     f"sizeof kFace{i}}},")
    lines += ["", "}  // namespace", "", "const FontFile kFontFiles[] = {"] + table + [
        "};", f"const int kFontFileCount = {len(FACES)};", "", "}  // namespace mazeblast", ""]
    with open(target, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main(sys.argv[1])

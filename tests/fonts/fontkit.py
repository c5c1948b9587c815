"""What the font tests share: a BDF read as the glyphs it places, a BDF
written from glyphs, Unicode's spaces, and a C compiler that must stay quiet."""
import os

from testkit import check, run

# Unicode's White_Space characters: every font format draws them blank.
SPACES = {*range(0x09, 0x0E), 0x20, 0x85, 0xA0, 0x1680, *range(0x2000, 0x200B), 0x2028, 0x2029,
          0x202F, 0x205F, 0x3000}


def read_bdf(path):
    """({code point: (advance, frozenset of lit (x, y) from the origin, y up)},
    ascent, descent); a glyph past U+FFFF (ENCODING -1) by its U+ name."""
    glyphs, props, code, adv, box, rows, name = {}, {}, None, 0, None, None, ""
    for line in open(path):
        word = line.split()
        if not word:
            continue
        key = word[0]
        if key in ("FONT_ASCENT", "FONT_DESCENT"):
            props[key] = int(word[1])
        elif key == "STARTCHAR":
            name = word[1]
        elif key == "ENCODING":
            code = int(word[1])
            if code == -1 and name.startswith("U+"):
                code = int(name[2:].split("_")[0], 16)
        elif key == "DWIDTH":
            adv = int(word[1])
        elif key == "BBX":
            box = [int(v) for v in word[1:5]]
        elif key == "BITMAP":
            rows = []
        elif key == "ENDCHAR":
            w, h, xoff, yoff = box
            dots = set()
            for r, row in enumerate(rows):
                bits = bin(int(row, 16))[2:].zfill(len(row) * 4)
                dots |= {(xoff + c, yoff + h - 1 - r) for c in range(w) if bits[c] == "1"}
            glyphs[code] = (adv, frozenset(dots))
            rows = None
        elif rows is not None:
            rows.append(word[0])
    return glyphs, props.get("FONT_ASCENT", 0), props.get("FONT_DESCENT", 0)


def bdf_text(glyphs, ascent=12, descent=3):
    """glyphs: (code, advance, w, h, xoff, yoff, rows of '0'/'1')."""
    out = ["STARTFONT 2.1", "FONT test", "SIZE 16 72 72",
           f"FONTBOUNDINGBOX 16 {ascent + descent} 0 {-descent}", "STARTPROPERTIES 2",
           f"FONT_ASCENT {ascent}", f"FONT_DESCENT {descent}", "ENDPROPERTIES",
           f"CHARS {len(glyphs)}"]
    for code, adv, w, h, xoff, yoff, rows in glyphs:
        out += [f"STARTCHAR U+{code:04X}", f"ENCODING {code}", f"DWIDTH {adv} 0",
                f"BBX {w} {h} {xoff} {yoff}", "BITMAP"]
        for row in rows:
            bits = row + "0" * (-len(row) % 8)
            out.append("%0*X" % (len(bits) // 4, int(bits, 2)) if bits else "00")
        out.append("ENDCHAR")
    return "\n".join(out + ["ENDFONT"]) + "\n"


def write_bdf(path, glyphs, **line):
    with open(path, "w") as f:
        f.write(bdf_text(glyphs, **line))
    return path


def compiles(what, sources, *flags, compiler="cc", std="-std=c99", out=None, pedantic=True):
    """Compiles SOURCES with warnings as errors; False after a failed check
    that it compiled without a word."""
    out = out or os.path.splitext(sources[0])[0] + ".out"
    strict = ["-Wpedantic"] if pedantic else []
    built = run(compiler, std, "-Wall", "-Wextra", *strict, "-Werror", *flags, "-o", out,
                *sources, ok=False)
    check(built.returncode == 0 and not built.stderr, f"{what}: compiles: {built.stderr[:800]}")
    return built.returncode == 0


# File names that end up in a font's comment: "*/" must not end it nor "/*"
# warn, and a direction mark (U+202E) must not reach the compiler
# (-Wbidi-chars). The first stands in a folder of its own name.
HOSTILE_SOURCES = ["a*/ #error x /*.bdf", "rtl\u202eevil.bdf"]
# Names of the C library (compiler built-ins): refused, or the font compiles.
LIBRARY_NAMES = ["memcpy", "printf", "abs"]


def hostile_sources(work):
    """Paths of HOSTILE_SOURCES under WORK, each a small BDF."""
    os.makedirs(os.path.join(work, "a*", " #error x "), exist_ok=True)
    glyphs = [(65, 8, 8, 2, 0, 0, ["11111111", "10000001"]),
              (66, 8, 8, 2, 0, 0, ["10000001", "11111111"])]
    return [write_bdf(os.path.join(work, name), glyphs, ascent=14, descent=2)
            for name in HOSTILE_SOURCES]

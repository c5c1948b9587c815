"""Adafruit GFX fonts read back by a decoder written here from GFXfont's
definition (glyphs first to last, bits run on MSB first from bitmapOffset,
dot (xx, yy) at cursor + (xOffset + xx, yOffset + yy), the cursor's row the
lowest row above the baseline, as the library's converter places glyphs)
and compared with the BDF that font-export writes of the same glyphs (the
writer's refusals of boxes and names are in its core test); the C text compiles warning-free as C and C++ against stand-in
declarations, and the remap's UTF-8 helper gives the codes Python gives.
Usage: gfxfont_test.py DEDUR_CLI SOURCE_DIR"""
import os
import random
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run  # noqa: E402
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fontkit import (LIBRARY_NAMES, SPACES, compiles as cc, hostile_sources,  # noqa: E402
                     read_bdf, write_bdf)

CLI = os.path.abspath(sys.argv[1])
GOLDEN = os.path.join(sys.argv[2], "tests", "fonts", "golden", "gfx")
work = tempfile.mkdtemp(prefix="dedur-gfx-")
rng = random.Random(20261207)

# GFXglyph and GFXfont as the library's gfxfont.h documents them.
STAND_IN = """#include <stdint.h>
#define PROGMEM
typedef struct {
  uint16_t bitmapOffset;
  uint8_t width, height, xAdvance;
  int8_t xOffset, yOffset;
} GFXglyph;
typedef struct {
  uint8_t *bitmap;
  GFXglyph *glyph;
  uint16_t first, last;
  uint8_t yAdvance;
} GFXfont;
"""
with open(os.path.join(work, "gfxfont.h"), "w") as f:
    f.write(STAND_IN)


def path(name):
    return os.path.join(work, name)


def text_of(file):
    """A file the program wrote; its comment may quote bytes of a path."""
    with open(file, encoding="utf-8", errors="replace") as f:
        return f.read()


def read_gfx(text):
    """The font the C text holds, drawn as GFX draws it: {code: (dots,
    xAdvance, (w, h))}, first, last, yAdvance, and the remap's code points
    (code 0x20 + i draws the i-th) or None."""
    bare = "\n".join(line.split("//")[0] for line in text.splitlines())
    name = re.search(r"const GFXfont (\w+) PROGMEM = \{", bare).group(1)
    body = re.search(r"const uint8_t " + name + r"Bitmaps\[\] PROGMEM = \{([^}]*)\};", bare)
    bitmap = [int(b, 16) for b in re.findall(r"0x([0-9A-F]{2})", body.group(1))]
    table = bare.split(name + "Glyphs[] PROGMEM = {")[1].split("const GFXfont")[0]
    entries = [tuple(int(v) for v in e) for e in re.findall(r"\{([^{}]*)\}", table)
               for e in [e.split(",")]]
    font = re.search(r"const GFXfont " + name + r" PROGMEM = \{\s*\(uint8_t\s*\*\)" + name +
                     r"Bitmaps,\s*\(GFXglyph \*\)" + name +
                     r"Glyphs,\s*(\w+),\s*(\w+),\s*(\d+)\s*\};", bare)
    first, last, y_advance = (int(v, 0) for v in font.groups())
    check(len(entries) == last - first + 1, f"{name}: one glyph per code from first to last")
    glyphs = {}
    for code in range(first, last + 1):
        offset, w, h, advance, xo, yo = entries[code - first]
        check(0 <= w <= 255 and 0 <= h <= 255 and 0 <= advance <= 255 and -128 <= xo <= 127
              and -128 <= yo <= 127 and 0 <= offset <= 65535, f"{name} {code:#x}: fields fit")
        dots = set()
        for k in range(w * h):
            if bitmap[offset + k // 8] >> (7 - k % 8) & 1:
                dots.add((xo + k % w, -(yo + k // w)))  # y up from the baseline
        glyphs[code] = (dots, advance, (w, h))
    remap = re.search(r"static const uint32_t " + name + r"_code_points\[(\d+)\] = \{([^}]*)\};",
                      bare)
    points = None
    if remap:
        points = [int(v, 16) for v in re.findall(r"0x([0-9A-F]+)", remap.group(2))]
        check(len(points) == int(remap.group(1)), f"{name}: the table's length")
    return glyphs, first, last, y_advance, points


def drawn(glyphs, points):
    """{code point: (advance, dots)} from what read_gfx gives."""
    if points is None:
        return {code: (g[1], frozenset(g[0])) for code, g in glyphs.items()}
    return {points[code - 0x20]: (g[1], frozenset(g[0])) for code, g in glyphs.items()}


def compiles(header, what, main_body=None):
    """The header compiles warning-free as C and C++ with the font used; with
    main_body, the C program's output."""
    name = re.search(r"const GFXfont (\w+) PROGMEM", open(header).read()).group(1)
    source = path(what + ".c")
    body = main_body or f'printf("%d\\n", {name}.last);'
    with open(source, "w") as f:
        f.write(f'#include <stdio.h>\n#include "gfxfont.h"\n#include "{header}"\n'
                f"int main(void) {{\n{body}\nreturn 0;\n}}\n")
    out = None
    for compiler, std in [("cc", "-std=c99"), ("c++", "-std=c++17")]:
        program = path(what + "-" + compiler)
        lang = ["-x", "c++"] if compiler == "c++" else []
        if cc(f"{what} with {compiler}", [source], *lang, compiler=compiler, std=std, out=program):
            ran = run(program).stdout
            check(out is None or ran == out, f"{what}: C and C++ print the same")
            out = ran
    return out


def same_glyphs(got, want, what):
    wrong = [hex(c) for c, (advance, dots) in want.items()
             if got.get(c) != (advance, frozenset() if c in SPACES else dots)]
    check(not wrong, f"{what}: the dots and advances of {wrong[:5]} differ from the BDF")


def export(source, out, *args):
    return run(CLI, "font-export", source, out, *args)


# The glyph files made from the free fonts, and the BDF of each as reference.
fonts = path("fonts")
os.mkdir(fonts)
run(CLI, "make-fonts", fonts)
reference = {}
for file in ["ASCFONT.15", "STD16X15.fon", "SPCFONT.15", "SPCFSUPP.15"]:
    export(os.path.join(fonts, file), path(file + ".bdf"))
    reference[file] = read_bdf(path(file + ".bdf"))

# Every glyph of the ASCII file; the codes between its glyphs are empty.
export(os.path.join(fonts, "ASCFONT.15"), path("ascii.h"), "--format", "gfx", "--name", "ascii")
glyphs, first, last, y_advance, points = read_gfx(open(path("ascii.h")).read())
want, *line = reference["ASCFONT.15"]
same_glyphs(drawn(glyphs, points), want, "ASCFONT.15")
check((first, last) == (min(want), max(want)), "ASCFONT.15: first and last are its codes")
check(y_advance == sum(line), f"ASCFONT.15: yAdvance {y_advance} is ascent + descent {line}")
check(all(g == (set(), 0, (0, 0)) for c, g in glyphs.items() if c not in want),
      "ASCFONT.15: the gaps are empty glyphs")
check(glyphs[0x20] == (set(), 8, (0, 0)), "ASCFONT.15: the space has its advance and no bits")
check(compiles(path("ascii.h"), "ascii") == f"{max(want)}\n", "ascii: compiles and runs")


def subset_reference(text):
    """What a 16x15 subset draws: ASCII from the 8x15 file, the rest from the
    16x15 file, then the symbol files."""
    want = {}
    for c in map(ord, text):
        for file in ["ASCFONT.15"] if 0x20 <= c <= 0x7E else [
                "STD16X15.fon", "SPCFONT.15", "SPCFSUPP.15"]:
            glyph = reference[file][0].get(c)
            if glyph and (glyph[1] or c in (0x20, 0x3000)):
                want[c] = glyph
                break
    return want


# A remapped subset with CJK, and its UTF-8 helper against Python's mapping.
text = "Ag y,中文。①ぁ\u3000"
with open(path("cjk.txt"), "w") as f:
    f.write(text)
run(CLI, "font-subset", "--text", path("cjk.txt"), "--fonts", fonts, "--format", "gfx",
    "--gfx-remap", "--name", "cjk", "--output", path("cjk.h"))
glyphs, first, last, y_advance, points = read_gfx(open(path("cjk.h")).read())
check(points == sorted(set(map(ord, text))), "cjk: every character, in code-point order")
same_glyphs(drawn(glyphs, points), subset_reference(text), "cjk subset")
check(glyphs[0x20 + points.index(0x3000)] == (set(), 16, (0, 0)),
      "cjk: the ideographic space has its advance and no bits")
# Unknown characters, a lone continuation byte, a cut sequence, an overlong
# form, an encoded surrogate and a byte no UTF-8 has are left out.
probe = ("文A中é😀".encode() + b"\x80" + b"\xe4\xb8" + b"g" + b"\xc0\xa0" + b"\xed\xa0\x80" +
         b"\xf8" + "。①".encode())
literal = "".join(f"\\x{b:02x}" for b in probe)
calls = [(64, "big"), (3, "small"), (1, "one"), (0, "none")]
body = "".join(
    f'{{ uint8_t out[{max(n, 1)}] = {{0}}; size_t n = cjk_codes("{literal}", out, {n}); '
    f'size_t i; printf("{label} %u:", (unsigned)n); '
    f'for (i = 0; i < n; ++i) printf(" %02X", out[i]); '
    f'printf(" end %u\\n", (unsigned)({"out[n]" if n else "0"})); }}\n'
    for n, label in calls)
printed = compiles(path("cjk.h"), "cjk", body)
codes = [0x20 + points.index(ord(c)) for c in probe.decode("utf-8", "ignore") if ord(c) in points]
expected = ""
for n, label in calls:
    kept = codes[:max(n - 1, 0)]
    expected += f"{label} {len(kept)}:" + "".join(f" {c:02X}" for c in kept) + " end 0\n"
check(printed == expected, f"cjk: the helper's codes\n{printed}\nwant\n{expected}")

# 224 random characters of a random 16x15 file, the most a remap takes
# (the 8x15 file beside it is random too).
ascii_records = [bytes(15)] + [rng.randbytes(15) if rng.random() < 0.9 else bytes(15)
                               for _ in range(127)]
random_fonts = path("random")
os.mkdir(random_fonts)
with open(os.path.join(random_fonts, "ASCFONT.15"), "wb") as f:
    f.write(b"".join(ascii_records))
with open(os.path.join(random_fonts, "STD16X15.fon"), "wb") as f:
    f.write(rng.randbytes(13094 * 30))
export(os.path.join(random_fonts, "STD16X15.fon"), path("random-STD16X15.fon.bdf"))
random_big5 = read_bdf(path("random-STD16X15.fon.bdf"))[0]
chosen = sorted(rng.sample([c for c in random_big5 if c > 0x7E], 225))
with open(path("random224.txt"), "w") as f:
    f.write("".join(map(chr, chosen[:224])))
run(CLI, "font-subset", "--text", path("random224.txt"), "--fonts", random_fonts, "--format",
    "gfx", "--gfx-remap", "--name", "random224", "--output", path("random224.h"))
glyphs, first, last, y_advance, points = read_gfx(open(path("random224.h")).read())
check((first, last) == (0x20, 0xFF) and points == chosen[:224],
      "random 224: codes 0x20 to 0xFF, the i-th code point on 0x20 + i")
same_glyphs(drawn(glyphs, points), {c: random_big5[c] for c in chosen[:224]}, "random 16x15")
compiles(path("random224.h"), "random224")

# Hostile: each refused with its reason and nothing written (a file standing
# at the output is left as it was, --force or not).
with open(path("random225.txt"), "w") as f:
    f.write("".join(map(chr, chosen)))


# What the format cannot hold of a glyph's box is refused by the writer's
# own test; here the refusals that come of the glyph files and the remap.
big5 = reference["STD16X15.fon"][0]
cases = [
    (["font-subset", "--text", path("cjk.txt"), "--fonts", fonts, "--format", "gfx"],
     "cannot hold U+2460 ①", "draws codes 0 to 255 only"),
    (["font-export", os.path.join(fonts, "STD16X15.fon"), "--format", "gfx"],
     f"cannot hold U+{min(c for c in big5 if c > 255):04X}", "draws codes 0 to 255 only"),
    (["font-subset", "--text", path("random225.txt"), "--fonts", random_fonts, "--format", "gfx",
      "--gfx-remap"], "cannot hold 225 characters", "0x20 to 0xFF, 224 at most"),
    (["font-export", os.path.join(fonts, "STD16X15.fon"), "--format", "gfx", "--gfx-remap"],
     "characters", "224 at most"),
]
for args, who, why in cases:
    target = path("refused.h")
    for old in [None, "kept\n"]:
        if old is None:
            if os.path.exists(target):
                os.remove(target)
        else:
            with open(target, "w") as f:
                f.write(old)
        out = ["--output", target] if args[0] == "font-subset" else [target]
        if args[0] == "font-export":
            full = args[:2] + out + args[2:]
        else:
            full = args + out
        if old is not None:
            full.append("--force")
        done = run(CLI, *full, ok=False)
        what = " ".join(args[:2] + args[-2:])
        check(done.returncode == 1 and who in done.stderr and why in done.stderr,
              f"{what}: refused saying {who!r} and {why!r}: {done.stderr!r}")
        standing = open(target).read() if os.path.exists(target) else None
        check(standing == old, f"{what}: nothing written")

# A glyph at each limit is taken: a box 255 wide at offsets -128 and 127, an
# advance of 255, a line of 255, and a bitmap of 65535 bytes exactly.
write_bdf(path("edge.bdf"), [(0x41, 255, 255, 1, -128, -127, ["1" * 255]),
                             (0x42, 0, 1, 1, 127, 128, ["1"])], ascent=200, descent=55)
export("--from", path("edge.bdf"), path("edge.h"), "--format", "gfx")
glyphs, first, last, y_advance, points = read_gfx(text_of(path("edge.h")))
check(drawn(glyphs, points) == read_bdf(path("edge.bdf"))[0] and y_advance == 255,
      "the glyphs at the limits are drawn where the BDF puts them")
# 8 glyphs of 8129 bytes and one of 503 (98 x 41 dots): 65535 bytes.
full = [(0x41 + i, 255, 255, 255, 0, -200, ["1" * 255] * 255) for i in range(8)]
write_bdf(path("full.bdf"), full + [(0x49, 98, 98, 41, 0, -20, ["1" * 98] * 41)])
export("--from", path("full.bdf"), path("full.h"), "--format", "gfx")
text = text_of(path("full.h"))
bitmap = text.split("Bitmaps[] PROGMEM = {")[1].split("}")[0]
check(len(re.findall("0x", bitmap)) == 65535, "a bitmap of 65535 bytes is written")
glyphs, first, last, y_advance, points = read_gfx(text)
check(len(glyphs[0x49][0]) == 98 * 41, "the last glyph of a full bitmap is whole")

# Golden files of a small font, looked at by eye: an 8x15 file of four
# glyphs whole, and a remapped subset of them with a CJK glyph put into a
# blank 16x15 file from BDF.
tiny = path("tiny")
os.mkdir(tiny)
tiny_records = [bytes(15)] * 128
tiny_records[0x41] = bytes([0, 0, 0, 0x10, 0x28, 0x44, 0x44, 0x7C, 0x44, 0x44, 0, 0, 0, 0, 0])
tiny_records[0x67] = bytes([0, 0, 0, 0, 0, 0, 0x3C, 0x44, 0x44, 0x3C, 0x04, 0x04, 0x38, 0, 0])
tiny_records[0x5C] = bytes([0, 0, 0, 0x40, 0x20, 0x10, 0x08, 0x04, 0, 0, 0, 0, 0, 0, 0])
tiny_records[0x7E] = bytes([0, 0, 0, 0x32, 0x4C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0])
with open(os.path.join(tiny, "ASCFONT.15"), "wb") as f:
    f.write(b"".join(tiny_records))
bar, stem, box = "111111111", "000010000", "100010001"
write_bdf(os.path.join(tiny, "middle.bdf"),
          [(0x4E2D, 16, 9, 9, 3, -1, [stem, stem, bar, box, box, bar, stem, stem, stem])])
run(CLI, "font-import", os.path.join(tiny, "STD16X15.fon"), os.path.join(tiny, "middle.bdf"))
with open(os.path.join(tiny, "text.txt"), "w") as f:
    f.write("Ag \\~中")
goldens = [("tiny_ascii.h", ["font-export", "ASCFONT.15", "tiny_ascii.h", "--format", "gfx",
                             "--name", "tiny"]),
           ("tiny_remap.h", ["font-subset", "--text", "text.txt", "--fonts", ".", "--format",
                             "gfx", "--gfx-remap", "--name", "tiny", "--output", "tiny_remap.h"])]
for name, args in goldens:
    run(CLI, *args, cwd=tiny)
    made = open(os.path.join(tiny, name)).read()
    compiles(os.path.join(tiny, name), name)
    with open(os.path.join(GOLDEN, name)) as f:
        check(made == f.read(), f"golden {name}: the same text")

# Hostile source file names and the C library's names, as for LVGL.
sources = hostile_sources(work)
for label, source, name in [("source " + str(i), s, "marks") for i, s in enumerate(sources)] + [
        (n, sources[0], n) for n in LIBRARY_NAMES]:
    out = path("hostile-" + name + ".h")
    done = run(CLI, "font-export", "--from", source, out, "--format", "gfx", "--name", name,
               ok=False)
    if done.returncode == 0 or label != name:
        compiles(out, "hostile-" + label.replace(" ", "-"))
    else:
        check(f'"{name}"' in done.stderr, f"{label}: refused by name: {done.stderr.strip()}")

shutil.rmtree(work)
finish()

"""BDF out and in, proved through bdftopcf (the X11 font compiler) and a BDF
reader written here: glyph files of random glyphs go out as BDF, bdftopcf
takes them without a word, every glyph read back equals what
`dedur-cli glyph --print` shows, and a BDF brought back into a blank file gives
the same bytes. Malformed BDF is refused with its line and changes nothing.
Usage: bdf_test.py DEDUR_CLI"""
import os
import random
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run  # noqa: E402

CLI = sys.argv[1]


def read_bdf(path):
    """{encoding: (name, rows of '0'/'1')}, from the BDF's own definition."""
    glyphs, name, encoding, width, rows, bitmap = {}, None, None, 0, None, False
    for line in open(path):
        word = line.split()
        if not word:
            continue
        if word[0] == "STARTCHAR":
            name = word[1]
        elif word[0] == "ENCODING":
            encoding = int(word[1])
        elif word[0] == "BBX":
            width = int(word[1])
        elif word[0] == "BITMAP":
            rows, bitmap = [], True
        elif word[0] == "ENDCHAR":
            glyphs[encoding] = (name, rows)
            bitmap = False
        elif bitmap:
            bits = bin(int(word[0], 16))[2:].zfill(len(word[0]) * 4)
            rows.append(bits[:width])
    return glyphs


work = tempfile.mkdtemp(prefix="dedur-bdf-")
rng = random.Random(20261207)
KINDS = [("STD16X15.fon", 30, 16, "16x15"), ("STD24.fon", 72, 24, "24x24")]
# First, last and either side of the gaps of both Big5 ranges.
CODES = ["A440", "A47E", "A4A1", "A4FE", "C67E", "C940", "C97E", "C9A1", "F9D5", "F9FE"]
for name, record, width, kind in KINDS:
    path = os.path.join(work, name)
    records = []
    for i in range(13094):
        # Every tenth glyph blank: blank glyphs are left out.
        records.append(bytes(record) if i % 10 == 3 else rng.randbytes(record))
    open(path, "wb").write(b"".join(records))
    bdf = os.path.join(work, kind + ".bdf")
    made = run(CLI, "font-export", path, bdf)
    check("left out" in made.stderr, f"{kind}: the summary names what was left out")
    compiled = run("bdftopcf", "-o", os.path.join(work, kind + ".pcf"), bdf, ok=False)
    check(compiled.returncode == 0 and compiled.stderr == "",
          f"{kind}: bdftopcf takes the BDF without a word: {compiled.stderr}")
    glyphs = read_bdf(bdf)
    by_big5 = {g[0].split("_BIG5_")[1]: g[1] for g in glyphs.values() if "_BIG5_" in g[0]}
    for code in CODES:
        printed = run(CLI, "glyph", path, "--code", code, "--print").stdout.split()
        if code in by_big5:
            check(by_big5[code] == printed, f"{kind} {code}: the BDF glyph is the file's")
        else:
            check(all(set(r) == {"0"} for r in printed), f"{kind} {code}: only blank ones left out")
    blank = os.path.join(work, "blank-" + name)
    run(CLI, "font-import", blank, bdf, "--kind", kind)
    check(open(blank, "rb").read() == open(path, "rb").read(),
          f"{kind}: export then import into a blank file gives the same bytes")

# The symbol files: record n holds the n-th Big5 code from A140 (SPCFONT.15)
# or C6A1 (SPCFSUPP.15); their BDF encodes them by Unicode as well.
os.mkdir(os.path.join(work, "back"))
for name, count in [("SPCFONT.15", 407), ("SPCFSUPP.15", 364)]:
    path = os.path.join(work, name)
    open(path, "wb").write(bytes(30) + b"".join(rng.randbytes(30) for _ in range(count)))
    bdf = os.path.join(work, name + ".bdf")
    run(CLI, "font-export", path, bdf)
    compiled = run("bdftopcf", "-o", os.path.join(work, "symbols.pcf"), bdf, ok=False)
    check(compiled.returncode == 0 and compiled.stderr == "", f"{name}: bdftopcf takes it")
    back = os.path.join(work, "back", name)
    run(CLI, "font-import", back, bdf)
    check(open(back, "rb").read() == open(path, "rb").read(), f"{name}: out and in, the same bytes")
check("STARTCHAR U+FF0C_BIG5_A141" in open(os.path.join(work, "SPCFONT.15.bdf")).read(),
      "SPCFONT.15's second record is A141, the full-width comma")

# A font of another size: a 5 x 7 "A" whose last row hangs below the baseline
# (offset -1) stands on the 16x15 file's baseline (13 rows above it) and is
# centred across: columns 5..9, rows 7..13 of the cell.
small = os.path.join(work, "small.bdf")
open(small, "w").write("""STARTFONT 2.1
FONT small
SIZE 7 75 75
FONTBOUNDINGBOX 5 7 0 -1
STARTPROPERTIES 2
FONT_ASCENT 6
FONT_DESCENT 1
ENDPROPERTIES
CHARS 2
STARTCHAR A
ENCODING 19968
SWIDTH 600 0
DWIDTH 6 0
BBX 5 7 0 -1
BITMAP
20
50
88
F8
88
88
00
ENDCHAR
STARTCHAR none
ENCODING 57344
BBX 5 7 0 -1
BITMAP
F8
F8
F8
F8
F8
F8
F8
ENDCHAR
ENDFONT
""")
target = os.path.join(work, "one16.fon")
summary = run(CLI, "font-import", target, small, "--kind", "16x15").stderr
check("1 glyphs placed, 1 skipped, 0 cut" in summary, "the import's summary: " + summary)
rows = run(CLI, "glyph", target, "--kind", "16x15", "--code", "A440", "--print").stdout.split()
expected = ["0" * 16] * 7 + ["0" * 5 + r + "0" * 6 for r in
                             ["00100", "01010", "10001", "11111", "10001", "10001", "00000"]] + \
           ["0" * 16] * 1
check(rows == expected, "the small glyph stands on the baseline, centred: " + repr(rows))

# A Debian font of another size, by Big5 code (taipei16 of xfonts-intl-chinese,
# through pcf2bdf): its 16 x 15 glyph box stands on the 24x24 file's baseline
# (21 rows above it; the box reaches 2 below), centred: rows 8..22, columns 4..19.
taipei = "/usr/share/fonts/X11/misc/taipei16.pcf.gz"
if shutil.which("pcf2bdf") and os.path.exists(taipei):
    debian = os.path.join(work, "taipei16.bdf")
    run("pcf2bdf", "-o", debian, taipei)
    big = os.path.join(work, "taipei.fon")
    run(CLI, "font-import", big, debian, "--kind", "24x24")
    rows = run(CLI, "glyph", big, "--kind", "24x24", "--code", "A4A4", "--print").stdout.split()
    middle = ["0100", "0100", "0104", "7FFE", "4104", "4104", "4104", "7FFC", "4104", "0100",
              "0100", "0100", "0100", "0100", "0000"]  # 中, as the font draws it
    expected = ["0" * 24] * 8 + ["0000" + bin(int(h, 16))[2:].zfill(16) + "0000" for h in middle] + \
               ["0" * 24]
    check(rows == expected, "a Debian Big5 font's glyph stands on the baseline: " + repr(rows))
else:
    print("pcf2bdf or taipei16 missing: the Debian font is not imported")

# Malformed fonts: refused with their line, the file untouched.
before = open(target, "rb").read()
good_head = "STARTFONT 2.1\nCHARS 1\nSTARTCHAR a\nENCODING 19968\n"
cases = [
    ("truncated", good_head + "BBX 8 2 0 0\nBITMAP\nFF\n", "line 7: it ends before ENDFONT"),
    ("wrong count", "STARTFONT 2.1\nCHARS 2\nSTARTCHAR a\nENCODING 1\nBBX 1 1 0 0\nBITMAP\n80\n"
                    "ENDCHAR\nENDFONT\n", "line 9: CHARS says 2 glyphs, the font has 1"),
    ("huge box", good_head + "BBX 65535 65535 0 0\n", "line 5: a glyph box larger than"),
    ("too many", "STARTFONT 2.1\nCHARS 100000\n", "line 2: more than 70000 glyphs"),
    ("not hex", good_head + "BBX 8 1 0 0\nBITMAP\nZZ\nENDCHAR\nENDFONT\n",
     "line 7: a bitmap row is not hexadecimal"),
    ("not bdf", "hello\n", "line 1: it does not begin with STARTFONT"),
]
for label, text, says in cases:
    bad = os.path.join(work, label + ".bdf")
    open(bad, "w").write(text)
    done = run(CLI, "font-import", target, bad, "--kind", "16x15", ok=False)
    check(done.returncode == 1 and says in done.stderr, f"{label}: {done.stderr.strip()}")
    check(open(target, "rb").read() == before, f"{label}: the glyph file is untouched")

# A subset for the strings a product shows: its C compiles, and a program that
# looks up every character prints the rows the glyph files hold.
folder = os.path.join(work, "fonts")
os.mkdir(folder)
shutil.copy(os.path.join(work, "STD16X15.fon"), folder)
ascii_records = [bytes(15)] + [rng.randbytes(15) for _ in range(127)]
open(os.path.join(folder, "ASCFONT.15"), "wb").write(b"".join(ascii_records))
strings = os.path.join(work, "strings.txt")
open(strings, "w", encoding="utf-8").write("電池 OK\n溫度 25\n一乙\n\u00b0\n")
chars = sorted(set("電池OK溫度25一乙 "))
header = os.path.join(work, "subset.h")
done = run(CLI, "font-subset", "--text", strings, "--fonts", folder, "--output", header,
           "--name", "ui")
check("no glyph for U+00B0" in done.stderr, "a character without a glyph is listed: " + done.stderr)
strict = run(CLI, "font-subset", "--text", strings, "--fonts", folder, "--strict", ok=False)
check(strict.returncode == 1, "--strict fails when a character has no glyph")
program = os.path.join(work, "subset.c")
open(program, "w").write(
    '#include <stdio.h>\n#include "subset.h"\nint main(void) {\n'
    '    const uint32_t wanted[] = {' + ", ".join(str(ord(c)) for c in chars) + '};\n'
    '    for (size_t i = 0; i < sizeof wanted / sizeof wanted[0]; ++i) {\n'
    '        const uint8_t* g = ui_glyph(wanted[i]);\n'
    '        if (!g) { printf("none\\n"); continue; }\n'
    '        const int w = ui_widths[g == ui_bitmaps[0] ? 0 : (g - ui_bitmaps[0]) / ui_GLYPH_BYTES];\n'
    '        for (int y = 0; y < ui_HEIGHT; ++y) {\n'
    '            for (int x = 0; x < w; ++x) putchar(g[y * ((w + 7) / 8) + x / 8] >> (7 - x % 8) & 1 ? \'1\' : \'0\');\n'
    '            putchar(\'\\n\');\n'
    '        }\n'
    '    }\n'
    '    return ui_glyph(0x4E) == NULL && ui_glyph(0x9999) == NULL ? 1 : 0;\n'
    '}\n')
for compiler, std in [("cc", "-std=c99"), ("c++", "-std=c++17")]:
    exe = os.path.join(work, "subset")
    source = program if compiler == "cc" else program.replace(".c", ".cpp")
    if compiler == "c++":
        shutil.copy(program, source)
    built = run(compiler, std, "-Wall", "-Wextra", "-Werror", "-o", exe, source, ok=False)
    check(built.returncode == 0, f"{compiler} compiles the subset: {built.stderr}")
    if built.returncode != 0:
        continue
    shown = run(exe, ok=False).stdout.split()
    expected = []
    for c in chars:
        if ord(c) < 0x80:
            expected += run(CLI, "glyph", os.path.join(folder, "ASCFONT.15"), "--number",
                            str(ord(c)), "--print").stdout.split()
        else:
            code = c.encode("big5").hex().upper()
            expected += run(CLI, "glyph", os.path.join(folder, "STD16X15.fon"), "--code", code,
                            "--print").stdout.split()
    check(shown == expected, f"{compiler}: every character's rows are the glyph files'")
subset_bdf = os.path.join(work, "subset.bdf")
run(CLI, "font-subset", "--text", strings, "--fonts", folder, "--format", "bdf", "--output",
    subset_bdf)
compiled = run("bdftopcf", "-o", os.path.join(work, "subset.pcf"), subset_bdf, ok=False)
check(compiled.returncode == 0 and compiled.stderr == "", "bdftopcf takes the subset's BDF")
check(sorted(read_bdf(subset_bdf)) == sorted(ord(c) for c in chars if ord(c) >= 0x80),
      "the subset's BDF holds its Big5 glyphs")

# The subset through a template, every glyph variable used.
template = os.path.join(work, "glyphs.mustache")
open(template, "w").write("{{count}} {{width}}x{{height}} {{layout}}\n{{#glyphs}}{{index}} "
                          "{{codepoint}} U+{{hex}} {{char}} {{big5}} {{width}}{{#last}} last{{/last}}"
                          " {{#bytes}}{{hex}}{{/bytes}}\n{{#rows}}{{text}}\n{{/rows}}{{/glyphs}}")
two = os.path.join(work, "two.txt")
open(two, "w", encoding="utf-8").write("A一")
rendered = run(CLI, "font-subset", "--text", two, "--fonts", folder, "--template", template).stdout
a_rows = run(CLI, "glyph", os.path.join(folder, "ASCFONT.15"), "--number", "65", "--print").stdout.split()
one_rows = run(CLI, "glyph", os.path.join(folder, "STD16X15.fon"), "--code", "A440",
               "--print").stdout.split()
art = lambda rows: "".join(r.replace("1", "#").replace("0", ".") + "\n" for r in rows)
hexes = lambda rows: "".join("%0*X" % (len(r) // 4, int(r, 2)) for r in rows)
check(rendered == "2 16x15 rows-msb\n"
                  "0 65 U+0041 A 0041 8 " + hexes(a_rows) + "\n" + art(a_rows) +
                  "1 19968 U+4E00 一 A440 16 last " + hexes(one_rows) + "\n" + art(one_rows),
      "the subset's template shows every glyph variable: " + rendered[:200])

# A subset of a whole font, its C megabytes long and so written a piece at a
# time: compiled, its lookup gives every glyph the exported BDF holds.
whole = read_bdf(os.path.join(work, "24x24.bdf"))
wanted = sorted(e for e in whole if e > 0x20)
everything = os.path.join(work, "everything.txt")
open(everything, "w", encoding="utf-8").write("".join(map(chr, wanted)))
shutil.copy(os.path.join(work, "STD24.fon"), folder)
big = os.path.join(work, "big.h")
run(CLI, "font-subset", "--text", everything, "--fonts", folder, "--kind", "24x24", "--name",
    "big", "--output", big)
check(os.path.getsize(big) > 4 << 20, "the whole font's subset spans many pieces")
lookup = os.path.join(work, "lookup.c")
open(lookup, "w").write(
    '#include <stdio.h>\n#include "big.h"\nint main(void) {\n'
    '    for (size_t i = 0; i < big_COUNT; ++i) {\n'
    '        const uint8_t* g = big_glyph(big_codepoints[i]);\n'
    '        if (!g) return 1;\n'
    '        printf("%u", (unsigned)big_codepoints[i]);\n'
    '        for (int k = 0; k < big_GLYPH_BYTES; ++k) printf(" %02X", g[k]);\n'
    '        putchar(\'\\n\');\n'
    '    }\n'
    '    return 0;\n'
    '}\n')
exe = os.path.join(work, "lookup")
built = run("cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-o", exe, lookup, ok=False)
check(built.returncode == 0, f"cc compiles the whole font's subset: {built.stderr}")
if built.returncode == 0:
    found = {}
    for line in run(exe).stdout.splitlines():
        code, *values = line.split()
        bits = "".join(bin(int(v, 16))[2:].zfill(8) for v in values)
        found[int(code)] = [bits[y * 24:(y + 1) * 24] for y in range(24)]
    check(sorted(found) == wanted, f"the subset holds the {len(wanted)} characters asked for")
    check(all(found.get(e) == whole[e][1] for e in wanted),
          "every glyph looked up in the compiled subset is the exported BDF's")

shutil.rmtree(work)
finish()

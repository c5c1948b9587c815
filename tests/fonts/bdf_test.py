"""BDF out and in, proved through bdftopcf (the X11 font compiler) and a BDF
reader written here: glyph files of random glyphs go out as BDF, bdftopcf
takes them without a word, every glyph read back equals what
`dedur-cli glyph --print` shows, and a BDF brought back into a blank file gives
the same bytes. Malformed BDF is refused with its line and changes nothing.
Usage: bdf_test.py DEDUR_CLI"""
import json
import os
import random
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run  # noqa: E402

CLI = sys.argv[1]


def read_bdf(path):
    """{code point: (name, rows of '0'/'1')}, from the BDF's own definition;
    a glyph outside the encoding (ENCODING -1) by the code point its name
    gives, as the X11 tools cannot encode one above U+FFFF."""
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
            key = encoding
            if encoding == -1 and name.startswith("U+"):
                key = int(name[2:].split("_")[0], 16)
            glyphs[key] = (name, rows)
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
# (offset -1). The font's line (ascent 6 over descent 1, 7 rows) is centred on
# the 15 rows of the cell: it starts at row (15 - 7) / 2 = 4, so the baseline
# is row 10 and the box's 7 rows are rows 4..10; the advance of 6 is centred
# on the 16 columns, from column 5, and the box starts at its offset 0 there:
# columns 5..9.
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
check("1 glyph placed, 1 skipped, 0 cut" in summary, "the import's summary: " + summary)
rows = run(CLI, "glyph", target, "--kind", "16x15", "--code", "A440", "--print").stdout.split()
expected = ["0" * 16] * 4 + ["0" * 5 + r + "0" * 6 for r in
                             ["00100", "01010", "10001", "11111", "10001", "10001", "00000"]] + \
           ["0" * 16] * 4
check(rows == expected, "the small font's line and advance are centred: " + repr(rows))

# A Debian font of another size, by Big5 code (taipei16 of xfonts-intl-chinese,
# through pcf2bdf): its line (ascent 13, descent 2) centred on the 24 rows
# starts at row (24 - 15) / 2 = 4, and its advance of 16 at column 4; its
# 16 x 15 boxes (offset 0, -2) fill rows 4..18, columns 4..19.
# The test's packages install both: missing, they fail the test.
taipei = "/usr/share/fonts/X11/misc/taipei16.pcf.gz"
check(shutil.which("pcf2bdf") is not None, "pcf2bdf is installed")
check(os.path.exists(taipei), "xfonts-intl-chinese's taipei16 is installed")
if shutil.which("pcf2bdf") and os.path.exists(taipei):
    debian = os.path.join(work, "taipei16.bdf")
    run("pcf2bdf", "-o", debian, taipei)
    big = os.path.join(work, "taipei.fon")
    run(CLI, "font-import", big, debian, "--kind", "24x24")
    rows = run(CLI, "glyph", big, "--kind", "24x24", "--code", "A4A4", "--print").stdout.split()
    middle = ["0100", "0100", "0104", "7FFE", "4104", "4104", "4104", "7FFC", "4104", "0100",
              "0100", "0100", "0100", "0100", "0000"]  # 中, as the font draws it
    expected = ["0" * 24] * 4 + ["0000" + bin(int(h, 16))[2:].zfill(16) + "0000" for h in middle] + \
               ["0" * 24] * 5
    check(rows == expected, "a Debian Big5 font's glyph is placed by its metrics: " + repr(rows))

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
ascii_records[32] = bytes(15)  # the space, blank as it is drawn
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
    '#include <stdio.h>\n#define UI_IMPLEMENTATION\n#include "subset.h"\nint main(void) {\n'
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
    '    return ui_glyph(0x4E) == NULL && ui_glyph(0x9999) == NULL ? 0 : 3;\n'
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
    ran = run(exe, ok=False)
    check(ran.returncode == 0, f"{compiler}: characters not in the subset give NULL")
    shown = ran.stdout.split()
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
declared = int(open(os.path.join(work, "24x24.bdf")).read().split("\nCHARS ")[1].split()[0])
check(len(whole) == declared, "the reader keeps every glyph of the whole font apart")
everything = os.path.join(work, "everything.txt")
open(everything, "w", encoding="utf-8").write("".join(map(chr, wanted)))
shutil.copy(os.path.join(work, "STD24.fon"), folder)
big = os.path.join(work, "big.h")
run(CLI, "font-subset", "--text", everything, "--fonts", folder, "--kind", "24x24", "--name",
    "big", "--output", big)
check(os.path.getsize(big) > 4 << 20, "the whole font's subset spans many pieces")
lookup = os.path.join(work, "lookup.c")
open(lookup, "w").write(
    '#include <stdio.h>\n#define BIG_IMPLEMENTATION\n#include "big.h"\nint main(void) {\n'
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
    for line in run(exe).stdout.splitlines():  # ok=True: a glyph not found fails here
        code, *values = line.split()
        bits = "".join(bin(int(v, 16))[2:].zfill(8) for v in values)
        found[int(code)] = [bits[y * 24:(y + 1) * 24] for y in range(24)]
    check(sorted(found) == wanted, f"the subset holds the {len(wanted)} characters asked for")
    check(all(found.get(e) == whole[e][1] for e in wanted),
          "every glyph looked up in the compiled subset is the exported BDF's")

# The subset's header from two C files and two C++ files linked into one
# program: the tables are defined once, where UI_IMPLEMENTATION is defined.
link = os.path.join(work, "link")
os.mkdir(link)
shutil.copy(header, os.path.join(link, "subset.h"))
parts = {
    "one.c": '#define UI_IMPLEMENTATION\n#include "subset.h"\n'
             'unsigned one(void) { return ui_glyph(0x96FB)[0]; }\n',
    "two.c": '#include "subset.h"\nunsigned two(void) { return ui_glyph(0x96FB)[1]; }\n',
    "three.cpp": '#include "subset.h"\nextern "C" unsigned three() { return ui_COUNT; }\n',
    "main.cpp": '#include <cstdio>\n#include "subset.h"\nextern "C" unsigned one(void);\n'
                'extern "C" unsigned two(void);\nextern "C" unsigned three();\n'
                'int main() { std::printf("%02X %02X %u %u\\n", one(), two(), three(),\n'
                '                         (unsigned)ui_codepoints[0]); }\n',
}
objects = []
for source, text in parts.items():
    open(os.path.join(link, source), "w").write(text)
    compiler = ["cc", "-std=c99"] if source.endswith(".c") else ["c++", "-std=c++17"]
    made = run(*compiler, "-Wall", "-Wextra", "-Werror", "-c", "-o", os.path.join(link, source + ".o"),
               os.path.join(link, source), ok=False)
    check(made.returncode == 0, f"{source} compiles with the subset's header: {made.stderr}")
    objects.append(os.path.join(link, source + ".o"))
linked = run("c++", "-o", os.path.join(link, "program"), *objects, ok=False)
check(linked.returncode == 0, "two C and two C++ files including the header link: " + linked.stderr)
if linked.returncode == 0:
    battery = open(os.path.join(folder, "STD16X15.fon"), "rb").read()
    # 電 is B971: 157 records a lead byte from A4, trail 71 the 0x31st of its lead.
    index = (0xB9 - 0xA4) * 157 + (0x71 - 0x40)
    wanted_bytes = battery[index * 30:index * 30 + 2]
    check(run(os.path.join(link, "program")).stdout ==
          "%02X %02X %d 32\n" % (wanted_bytes[0], wanted_bytes[1], len(chars)),
          "the linked program prints the glyph's bytes, the count and the first code point")

# Spaces: drawn with nothing, yet glyphs with their advance. A subset of
# "OK 中文　" misses nothing (U+0020 from ASCFONT.15, blank; U+3000, which
# the Big5 file has no record for, a blank cell), and bdftopcf and pcf2bdf
# give the space its advance.
ok = os.path.join(work, "ok.txt")
open(ok, "w", encoding="utf-8").write("OK 中文\u3000")
spaced = run(CLI, "font-subset", "--text", ok, "--fonts", folder, "--format", "json")
check(spaced.stderr == "", "nothing is missing from \"OK 中文　\": " + spaced.stderr)
parsed = json.loads(spaced.stdout)
by_code = {g["codepoint"]: g for g in parsed["glyphs"]}
check(sorted(by_code) == [0x20, ord("K"), ord("O"), 0x3000, ord("中"), ord("文")],
      "the subset's glyphs: " + repr(sorted(by_code)))
check(by_code.get(0x20, {}).get("width") == 8 and by_code[0x20]["bytes"] == [0] * 15,
      "the space is ASCFONT.15's blank record 32, 8 wide")
check(by_code.get(0x3000) == {"codepoint": 0x3000, "big5": 0xA140, "width": 16, "bytes": [0] * 30},
      "U+3000 is a blank cell with its Big5 code A140: " + repr(by_code.get(0x3000)))
check(parsed["missing"] == [] and parsed["width"] == 16 and parsed["height"] == 15 and
      parsed["layout"] == "rows-msb", "the subset's JSON fields: " + spaced.stdout[:80])
spaces_pcf = os.path.join(work, "spaces.pcf")
for label, source, code, advance in [("ASCFONT.15", os.path.join(folder, "ASCFONT.15"), 32, 8),
                                     ("SPCFONT.15", os.path.join(work, "SPCFONT.15"), 0x3000, 16)]:
    records = bytearray(open(source, "rb").read())
    size = 15 if label == "ASCFONT.15" else 30
    at = 32 if label == "ASCFONT.15" else 1  # SPCFONT.15's record 1 is A140, U+3000
    records[at * size:(at + 1) * size] = bytes(size)
    spaced_font = os.path.join(work, "spaced-" + label)
    open(spaced_font, "wb").write(bytes(records))
    kind = "8x15" if label == "ASCFONT.15" else "symbol16x15"
    spaced_bdf = spaced_font + ".bdf"
    run(CLI, "font-export", spaced_font, spaced_bdf, "--kind", kind)
    run("bdftopcf", "-o", spaces_pcf, spaced_bdf)
    back_bdf = spaced_font + ".back.bdf"
    run("pcf2bdf", "-o", back_bdf, spaces_pcf)
    glyph = (open(back_bdf).read().split(f"ENCODING {code}\n") + [""])[1].split("ENDCHAR")[0]
    check(f"DWIDTH {advance} 0" in glyph, f"{label}: through bdftopcf and pcf2bdf the space "
          f"U+{code:04X} moves the pen {advance}: {glyph[:40]!r}")
subset_spaces = os.path.join(work, "spaces.bdf")
run(CLI, "font-subset", "--text", ok, "--fonts", folder, "--format", "bdf", "--output",
    subset_spaces)
run("bdftopcf", "-o", spaces_pcf, subset_spaces)
run("pcf2bdf", "-o", subset_spaces + ".back", spaces_pcf)
glyph = open(subset_spaces + ".back").read().split("ENCODING 12288\n")
check(len(glyph) == 2 and "DWIDTH 16 0" in glyph[1].split("ENDCHAR")[0],
      "the subset's BDF gives U+3000 its advance through bdftopcf and pcf2bdf")

# The subset in rows-lsb: each byte is the record's, its bits reversed (the
# leftmost dot in bit 0).
lsb = json.loads(run(CLI, "font-subset", "--text", ok, "--fonts", folder, "--format", "json",
                     "--layout", "rows-lsb").stdout)
reverse = lambda b: int(bin(b)[2:].zfill(8)[::-1], 2)
check([reverse(b) for b in by_code[ord("中")]["bytes"]] ==
      [g for g in lsb["glyphs"] if g["codepoint"] == ord("中")][0]["bytes"] and
      lsb["layout"] == "rows-lsb", "rows-lsb reverses the bits of each byte")

# What other tools make of our BDF comes back as it went: through bdftopcf
# and pcf2bdf, and rewritten the way a font editor writes it, each glyph's
# box cut to its ink (FONTBOUNDINGBOX and properties kept). SWIDTH is the
# advance in thousandths of the point size at the font's resolution, and SIZE
# agrees with PIXEL_SIZE.
def tighten(text):
    """Each glyph's BBX cut to the dots it has, its rows cut to match."""
    out, lines, i = [], text.split("\n"), 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("BBX "):
            w, h, x, y = map(int, line.split()[1:])
            rows = lines[i + 2:i + 2 + h]
            bits = [bin(int(r, 16))[2:].zfill(len(r) * 4)[:w] for r in rows]
            ink = [(cx, cy) for cy, r in enumerate(bits) for cx, b in enumerate(r) if b == "1"]
            if not ink:
                out += ["BBX 0 0 0 0", "BITMAP"]
            else:
                x0, x1 = min(p[0] for p in ink), max(p[0] for p in ink)
                y0, y1 = min(p[1] for p in ink), max(p[1] for p in ink)
                nw, nh = x1 - x0 + 1, y1 - y0 + 1
                out.append(f"BBX {nw} {nh} {x + x0} {y + (h - 1 - y1)}")
                out.append("BITMAP")
                for r in bits[y0:y1 + 1]:
                    cut = r[x0:x1 + 1].ljust((nw + 7) // 8 * 8, "0")
                    out.append("%0*X" % (len(cut) // 4, int(cut, 2)))
            i += 2 + h
            continue
        out.append(line)
        i += 1
    return "\n".join(out)


# The glyph files made from the free fonts: real glyphs, with margins to cut.
made = os.path.join(work, "made")
os.mkdir(made)
run(CLI, "make-fonts", made)
for name, kind in [("STD16X15.fon", "16x15"), ("STD24.fon", "24x24"), ("ASCFONT.15", "8x15"),
                   ("SPCFONT.15", "symbol16x15")]:
    source = os.path.join(made, name)
    bdf = os.path.join(work, "tools-" + name + ".bdf")
    run(CLI, "font-export", source, bdf, "--kind", kind)
    text = open(bdf).read()
    props = dict(l.split(" ", 1) for l in text.split("ENDPROPERTIES")[0].splitlines()[5:])
    point, res = int(props["POINT_SIZE"]), int(props["RESOLUTION_X"])
    dwidth = int(text.split("DWIDTH ")[1].split()[0])
    check(f"SWIDTH {round(dwidth * 72000 / (point / 10 * res))} 0\n" in text and
          text.count("SWIDTH ") == text.count(f"SWIDTH {round(dwidth * 72000 / (point / 10 * res))} 0"),
          f"{kind}: SWIDTH is the advance at the font's size and resolution")
    size_line = text.splitlines()[2].split()
    check(round(int(size_line[1]) * int(size_line[2]) / 72) == int(props["PIXEL_SIZE"]) and
          int(size_line[1]) * 10 == point, f"{kind}: SIZE agrees with PIXEL_SIZE and POINT_SIZE")
    tight = os.path.join(work, "tight-" + name + ".bdf")
    open(tight, "w").write(tighten(text))
    check(tighten(text) != text, f"{kind}: the rewritten font differs")
    for label, other in [("tight boxes", tight), ("bdftopcf and pcf2bdf", None)]:
        if other is None:
            pcf = os.path.join(work, "tools.pcf")
            run("bdftopcf", "-o", pcf, bdf)
            other = os.path.join(work, "tools-back-" + name + ".bdf")
            run("pcf2bdf", "-o", other, pcf)
        back = os.path.join(work, "tools-in-" + kind + "-" + label.replace(" ", "_"))
        run(CLI, "font-import", back, other, "--kind", kind)
        original = open(source, "rb").read()
        check(open(back, "rb").read() == original.ljust(len(open(back, "rb").read()), b"\0"),
              f"{kind}: out, through {label}, and in: the same bytes")

shutil.rmtree(work)
finish()

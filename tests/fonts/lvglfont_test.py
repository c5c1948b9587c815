"""LVGL fonts, read back by a decoder written here from LVGL's font format:
the C file's arrays are parsed, each code point is looked up through the
cmaps in order as LVGL does (a gapless range by its place, a sparse list by a
binary search, the first cmap whose range holds the code answering) and its
bits are placed by box and offsets. Every glyph must light the dots that the
BDF of the same glyphs places by its BBX, with the same advance and line.
The file compiles warning-free against stand-in LVGL 8 and 9 headers written
here. Glyphs past what LVGL holds, too many glyphs and names that clash are
refused before anything is written.
Usage: lvglfont_test.py DEDUR_CLI SOURCE_DIR [--update-golden]"""
import bisect
import os
import random
import re
import resource
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run  # noqa: E402
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fontkit import (LIBRARY_NAMES, SPACES, compiles as cc, hostile_sources,  # noqa: E402
                     read_bdf, write_bdf)

CLI = sys.argv[1]
GOLDEN = os.path.join(sys.argv[2], "tests", "fonts", "golden", "lvgl")
UPDATE = "--update-golden" in sys.argv
work = tempfile.mkdtemp(prefix="dedur-lvgl-")
rng = random.Random(20261207)


# --- the decoder ---------------------------------------------------------

def initialisers(body):
    """The {...} items of an array of structs, each as {field: int or name}."""
    items = []
    for item in re.findall(r"\{([^{}]*)\}", body):
        fields = {}
        for name, value in re.findall(r"\.(\w+)\s*=\s*([^,]+)", item):
            value = value.strip()
            fields[name] = int(value, 0) if re.fullmatch(r"-?(0x)?[0-9a-fA-F]+", value) else value
        items.append(fields)
    return items


def numbers(body):
    return [int(n, 0) for n in re.findall(r"-?0x[0-9a-fA-F]+|-?\d+", body)]


def parse_lvgl(text):
    """The font as its C text defines it (comments and preprocessor lines
    dropped; the fields read here stand outside every version guard)."""
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    text = "\n".join(l for l in text.splitlines() if not l.lstrip().startswith("#"))
    arrays = dict(re.findall(r"(\w+)\[\]\s*=\s*\{(.*?)\};", text, flags=re.S))
    font = {"bitmap": bytes(numbers(arrays["glyph_bitmap"])),
            "dsc": initialisers(arrays["glyph_dsc"]),
            "cmaps": initialisers(arrays.get("cmaps", ""))}
    for cmap in font["cmaps"]:
        name = cmap["unicode_list"]
        cmap["list"] = numbers(arrays[name]) if name != "NULL" else []
    font["font_dsc"] = initialisers(re.search(r"font_dsc\s*=\s*(\{.*?\});", text, re.S).group(1))[0]
    public = re.search(r"const lv_font_t (\w+)\s*=\s*(\{.*?\});", text, re.S)
    font["name"] = public.group(1)
    font["font"] = initialisers(public.group(2))[0]
    return font


def glyph_id(font, code):
    """The glyph LVGL finds for a code point; 0 for none."""
    if code == 0:
        return 0
    for cmap in font["cmaps"]:
        rcp = (code - cmap["range_start"]) & 0xFFFFFFFF
        if rcp >= cmap["range_length"]:
            continue
        if cmap["type"] == "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY":
            return cmap["glyph_id_start"] + rcp
        assert cmap["type"] == "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY", cmap["type"]
        found = bisect.bisect_left(cmap["list"], rcp)
        hit = found < len(cmap["list"]) and cmap["list"][found] == rcp
        return cmap["glyph_id_start"] + found if hit else 0
    return 0


def lvgl_glyph(font, code):
    """(advance, set of lit dots as (x, y up from the baseline)), or None."""
    gid = glyph_id(font, code)
    if gid == 0:
        return None
    d = font["dsc"][gid]
    w, h, dots = d["box_w"], d["box_h"], set()
    for i in range(w * h):
        if font["bitmap"][d["bitmap_index"] + i // 8] & (0x80 >> (i % 8)):
            dots.add((d["ofs_x"] + i % w, d["ofs_y"] + h - 1 - i // w))
    return (d["adv_w"] + 8) >> 4, frozenset(dots)


def compare(label, font, reference, ascent, descent):
    """Every glyph of the reference drawn alike; nothing more in the font."""
    reference = {c: (g[0], frozenset()) if c in SPACES else g for c, g in reference.items()}
    f = font["font"]
    check((f["line_height"], f["base_line"]) == (ascent + descent, descent),
          f"{label}: the line {f['line_height']}/{f['base_line']} is {ascent}+{descent}")
    check(font["font_dsc"]["bpp"] == 1 and font["font_dsc"]["bitmap_format"] == 0 and
          font["font_dsc"]["cmap_num"] == len(font["cmaps"]) <= 511,
          f"{label}: 1 bpp, plain, cmap_num counts the cmaps")
    check(len(font["dsc"]) == len(reference) + 1 and
          all(v == 0 for v in font["dsc"][0].values()), f"{label}: one glyph each, id 0 reserved")
    wrong = [hex(c) for c, g in reference.items() if lvgl_glyph(font, c) != g]
    check(not wrong, f"{label}: {len(wrong)} glyphs differ from the BDF: {wrong[:5]}")
    codes = sorted(reference)
    near = {c + k for c in codes[::97] for k in (-2, -1, 1, 2, 0x10000)} - set(codes)
    stray = [hex(c) for c in near if c >= 0 and glyph_id(font, c) != 0]
    check(not stray, f"{label}: code points without a glyph find none: {stray[:5]}")
    return not wrong


def export(source, label, *extra):
    """font-export of a file or --from font as BDF and as LVGL, compared."""
    bdf, c = os.path.join(work, "out_" + label + ".bdf"), os.path.join(work, label + ".c")
    run(CLI, "font-export", *source, bdf, *extra)
    run(CLI, "font-export", *source, c, "--format", "lvgl", "--name", "font_" + label, *extra)
    reference, ascent, descent = read_bdf(bdf)
    font = parse_lvgl(open(c, encoding="utf-8").read())
    compare(label, font, reference, ascent, descent)
    return c, font


# --- compiling against stand-in headers ----------------------------------

COMMON = """#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#define LV_ATTRIBUTE_LARGE_CONST
#define LV_FONT_DECLARE(name) extern const lv_font_t name
enum { LV_FONT_SUBPX_NONE, LV_FONT_SUBPX_HOR, LV_FONT_SUBPX_VER, LV_FONT_SUBPX_BOTH };
typedef struct {
    uint32_t bitmap_index : 20;
    uint32_t adv_w : 12;
    uint8_t box_w;
    uint8_t box_h;
    int8_t ofs_x;
    int8_t ofs_y;
} lv_font_fmt_txt_glyph_dsc_t;
typedef enum {
    LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL,
    LV_FONT_FMT_TXT_CMAP_SPARSE_FULL,
    LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY,
    LV_FONT_FMT_TXT_CMAP_SPARSE_TINY,
} lv_font_fmt_txt_cmap_type_t;
typedef struct {
    uint32_t range_start;
    uint16_t range_length;
    uint16_t glyph_id_start;
    const uint16_t * unicode_list;
    const void * glyph_id_ofs_list;
    uint16_t list_length;
    lv_font_fmt_txt_cmap_type_t type;
} lv_font_fmt_txt_cmap_t;
"""

V8 = """#define LVGL_VERSION_MAJOR 8
#define LVGL_VERSION_MINOR 3
#define LVGL_VERSION_PATCH 11
typedef int16_t lv_coord_t;
struct _lv_font_t;
typedef struct {
    const struct _lv_font_t * resolved_font;
    uint16_t adv_w, box_w, box_h;
    int16_t ofs_x, ofs_y;
    uint8_t bpp : 4;
    uint8_t is_placeholder : 1;
} lv_font_glyph_dsc_t;
typedef struct _lv_font_t {
    bool (*get_glyph_dsc)(const struct _lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
    const uint8_t * (*get_glyph_bitmap)(const struct _lv_font_t *, uint32_t);
    lv_coord_t line_height;
    lv_coord_t base_line;
    uint8_t subpx : 2;
    int8_t underline_position;
    int8_t underline_thickness;
    const void * dsc;
    const struct _lv_font_t * fallback;
} lv_font_t;
typedef struct {
    uint32_t last_letter;
    uint32_t last_glyph_id;
} lv_font_fmt_txt_glyph_cache_t;
typedef struct {
    const uint8_t * glyph_bitmap;
    const lv_font_fmt_txt_glyph_dsc_t * glyph_dsc;
    const lv_font_fmt_txt_cmap_t * cmaps;
    const void * kern_dsc;
    uint16_t kern_scale;
    uint16_t cmap_num : 9;
    uint16_t bpp : 4;
    uint16_t kern_classes : 1;
    uint16_t bitmap_format : 2;
    lv_font_fmt_txt_glyph_cache_t * cache;
} lv_font_fmt_txt_dsc_t;
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
const uint8_t * lv_font_get_bitmap_fmt_txt(const lv_font_t *, uint32_t);
"""


def v9(minor):
    """LVGL 9.MINOR: 9.3 brought the fonts' static bitmaps and stride."""
    late = minor >= 3
    return f"""#define LVGL_VERSION_MAJOR 9
#define LVGL_VERSION_MINOR {minor}
#define LVGL_VERSION_PATCH 0
typedef struct _lv_font_t lv_font_t;
typedef struct _lv_draw_buf_t lv_draw_buf_t;
typedef struct {{
    const lv_font_t * resolved_font;
    uint16_t adv_w, box_w, box_h;
    int16_t ofs_x, ofs_y;
    uint16_t stride;
    uint8_t format;
}} lv_font_glyph_dsc_t;
struct _lv_font_t {{
    bool (*get_glyph_dsc)(const lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
    const void * (*get_glyph_bitmap)(lv_font_glyph_dsc_t *, lv_draw_buf_t *);
    void (*release_glyph)(const lv_font_t *, lv_font_glyph_dsc_t *);
    int32_t line_height;
    int32_t base_line;
    uint8_t subpx : 2;
    uint8_t kerning : 1;
    {"uint8_t static_bitmap : 1;" if late else ""}
    int8_t underline_position;
    int8_t underline_thickness;
    const void * dsc;
    const lv_font_t * fallback;
    void * user_data;
}};
typedef struct {{
    const uint8_t * glyph_bitmap;
    const lv_font_fmt_txt_glyph_dsc_t * glyph_dsc;
    const lv_font_fmt_txt_cmap_t * cmaps;
    const void * kern_dsc;
    uint16_t kern_scale;
    uint16_t cmap_num : 9;
    uint16_t bpp : 4;
    uint16_t kern_classes : 1;
    uint16_t bitmap_format : 2;
    {"uint8_t stride;" if late else ""}
}} lv_font_fmt_txt_dsc_t;
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t *, lv_font_glyph_dsc_t *, uint32_t, uint32_t);
const void * lv_font_get_bitmap_fmt_txt(lv_font_glyph_dsc_t *, lv_draw_buf_t *);
"""


HEADERS = {"8.3": V8, "9.1": v9(1), "9.5": v9(5)}


def compiles(label, path):
    """Warning-free for each LVGL version and each include choice."""
    for version, header in HEADERS.items():
        for simple in (False, True):
            inc = os.path.join(work, f"inc-{version}-{simple}")
            where = inc if simple else os.path.join(inc, "lvgl")
            os.makedirs(where, exist_ok=True)
            open(os.path.join(where, "lvgl.h"), "w").write("#pragma once\n" + COMMON + header)
            cc(f"{label} for LVGL {version} (simple include {simple})", [path], "-c", "-I", inc,
               *(["-DLV_LVGL_H_INCLUDE_SIMPLE"] if simple else []),
               out=os.path.join(work, "font.o"))


# --- glyph files ----------------------------------------------------------

made = os.path.join(work, "made")
os.mkdir(made)
run(CLI, "make-fonts", made)
for name in ["STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15", "SPCFSUPP.15"]:
    label = "made_" + name.replace(".", "_")
    c, _ = export([os.path.join(made, name)], label)
    if name in ("ASCFONT.15", "SPCFONT.15"):
        compiles(label, c)

# A subset of the made files: CJK from the 16x15 file, ASCII from the 8x15
# one beside it, a full-width form from the symbol file; each glyph as the
# BDF of its own file places it, and the font's line spans both files'.
text = "中文字型，測試 Hello, LVGL! ①①ア"
open(os.path.join(work, "strings.txt"), "w", encoding="utf-8").write(text)
subset_c = os.path.join(work, "subset.c")
run(CLI, "font-subset", "--text", os.path.join(work, "strings.txt"), "--fonts", made,
    "--format", "lvgl", "--name", "subset_font", "--output", subset_c)
subset = parse_lvgl(open(subset_c, encoding="utf-8").read())
files = {}
for name in ("STD16X15.fon", "ASCFONT.15", "SPCFONT.15", "SPCFSUPP.15"):
    files[name] = read_bdf(os.path.join(work, "out_made_" + name.replace(".", "_") + ".bdf"))
expected = {}
for ch in sorted(set(text)):
    code = ord(ch)
    order = ["ASCFONT.15"] if code < 0x80 else ["STD16X15.fon", "SPCFONT.15", "SPCFSUPP.15"]
    for name in order:
        if code in files[name][0]:
            expected[code] = files[name][0][code]
            break
ascent = max(files["STD16X15.fon"][1], files["ASCFONT.15"][1])
descent = max(files["STD16X15.fon"][2], files["ASCFONT.15"][2])
check(len(expected) == len(set(text)), "subset: every character of the text has a glyph")
compare("subset", subset, expected, ascent, descent)
compiles("subset", subset_c)

# --- fonts of any shape through --from BDF ---------------------------------


def bdf(label, glyphs, **line):
    return write_bdf(os.path.join(work, label + ".bdf"), glyphs, **line)


def random_glyph(code):
    w, h = rng.randint(1, 40), rng.randint(1, 40)
    rows = ["".join(rng.choice("01") for _ in range(w)) for _ in range(h)]
    return (code, rng.randint(0, 255), w, h, rng.randint(-128, 127), rng.randint(-128, 127),
            rows)


# Random boxes, offsets to both ends of what LVGL holds, advances 0..255,
# code points scattered over every plane and in runs (both kinds of cmap).
codes = sorted(set(rng.sample(range(1, 0x110000), 400)) |
               set(range(0x4E00, 0x4E00 + 40)) | set(range(0x10000, 0x10000 + 3)))
glyphs = [random_glyph(c) for c in codes]
glyphs[0] = (codes[0], 255, 255, 2, -128, 127, ["1" * 255, "0" * 254 + "1"])
glyphs[1] = (codes[1], 0, 1, 255, 127, -128, ["1"] * 255)
random_c, random_font = export(["--from", bdf("random", glyphs)], "random_bdf")
check(f' * The glyphs of "{work}/random.bdf", made by dedur\n' in open(random_c).read(),
      "random: the header names the font the glyphs came from")
types = {c["type"] for c in random_font["cmaps"]}
check(types == {"LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY", "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY"},
      f"random: gapless ranges and sparse lists both used: {types}")
compiles("random", random_c)

# Runs of 20 code points one apart: each run alone costs fewer bytes as a
# gapless range, but 600 of them pass the 511 cmaps LVGL counts, so they
# are merged into sparse lists and every code point is still found.
runs = [c for r in range(600) for c in range(0x4E00 + r * 21, 0x4E00 + r * 21 + 20)]
_, merged = export(["--from", bdf("runs", [(c, 8, 1, 1, 0, 0, ["1"]) for c in runs])],
                   "runs")
check(len(merged["cmaps"]) <= 511, f"runs: {len(merged['cmaps'])} cmaps")

# A space character keeps its advance and no bits, whatever its box.
space_c = os.path.join(work, "space.c")
run(CLI, "font-export", "--from", bdf("space", [(0x20, 5, 4, 4, 0, 0, ["1111"] * 4),
                                                       (0x3000, 16, 0, 0, 0, 0, []),
                                                       (0x41, 6, 1, 1, 0, 0, ["1"])]),
    space_c, "--format", "lvgl")
space = parse_lvgl(open(space_c).read())
check(lvgl_glyph(space, 0x20) == (5, frozenset()) and
      lvgl_glyph(space, 0x3000) == (16, frozenset()), "spaces: their advance and no dots")
check([d["box_w"] for d in space["dsc"]] == [0, 0, 1, 0] and len(space["bitmap"]) == 1,
      "spaces: no box and no bytes in the bitmap")

# --- what LVGL cannot hold: refused, naming the glyph, nothing written -------

# The bitmap's byte index has 20 bits: 128 glyphs of 255x255 (8129 bytes
# each) and 8064 glyphs of one byte fill 1 MB exactly; one byte more is
# refused, naming the glyph that would pass it.
full = [(0xE000 + i, 255, 255, 255, 0, 0, ["1" * 255] * 255) for i in range(128)]
full += [(0x10000 + i, 8, 8, 1, 0, 0, ["10000001"]) for i in range(8064)]
for extra, ok in [([], True), ([(0x20000, 8, 8, 1, 0, 0, ["1" * 8])], False)]:
    out = os.path.join(work, "megabyte.c")
    done = run(CLI, "font-export", "--from", bdf("megabyte", full + extra), out,
               "--format", "lvgl", "--force", ok=False)
    if ok:
        font = parse_lvgl(open(out).read())
        check(done.returncode == 0 and len(font["bitmap"]) == 1 << 20 and
              lvgl_glyph(font, 0x10000 + 8063) == (8, frozenset({(0, 0), (7, 0)})),
              f"1 MB of bitmap: written whole: {done.stderr.strip()}")
    else:
        check(done.returncode == 1 and "U+20000" in done.stderr and "1 MB" in done.stderr,
              f"a byte past 1 MB: refused naming U+20000: {done.stderr.strip()}")

# Glyph ids are 16 bits: 65535 glyphs are written, the 65536th is refused.
many = [(0x10000 + i, 1, 0, 0, 0, 0, []) for i in range(65536)]
for count, ok in [(65535, True), (65536, False)]:
    out = os.path.join(work, "many.c")
    done = run(CLI, "font-export", "--from", bdf("many", many[:count]), out, "--format",
               "lvgl", "--force", ok=False)
    if ok:
        font = parse_lvgl(open(out).read())
        check(done.returncode == 0 and glyph_id(font, 0x10000 + 65534) == 65535 and
              glyph_id(font, 0x10000 + 65535) == 0, f"65535 glyphs: written: {done.stderr}")
    else:
        check(done.returncode == 1 and "U+1FFFF" in done.stderr and "65535" in done.stderr,
              f"65536 glyphs: refused naming the first past: {done.stderr.strip()}")

# Names: the font's identifier must compile beside what the file defines.
for name in ["glyph_bitmap", "glyph_dsc", "cmaps", "font_dsc", "cache", "unicode_list_0",
             "LV_FONT_MY", "int", "static", "NULL", "lv_font_get_bitmap_fmt_txt", "my_font_t",
             "lv_init", "Lv_thing", "LVGL", "lvglFont"]:
    out = os.path.join(work, "named.c")
    done = run(CLI, "font-export", os.path.join(made, "ASCFONT.15"), out, "--format", "lvgl",
               "--name", name, ok=False)
    check(done.returncode != 0 and f'"{name}"' in done.stderr and not os.path.exists(out),
          f"--name {name}: refused: {done.stderr.strip()}")

# lv_ inside a name is no name of lvgl.h's; the C library's are refused or
# compile. Hostile source file names keep the comment closed and free of
# direction marks, and a mark as a glyph is named by its code point.
sources = hostile_sources(work)
for label, source, name in [("inner lv_", sources[0], "my_lv_font")] + [
        ("source " + str(i), s, "marks") for i, s in enumerate(sources)] + [
        (n, sources[0], n) for n in LIBRARY_NAMES]:
    out = os.path.join(work, "hostile.c")
    done = run(CLI, "font-export", "--from", source, out, "--format", "lvgl", "--name", name,
               "--force", ok=False)
    if done.returncode == 0 or label != name:
        compiles(label, out)
    else:
        check(f'"{name}"' in done.stderr, f"{label}: refused by name: {done.stderr.strip()}")
marks = [0x061C, 0x200E, 0x200F, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068,
         0x2069]
marks_c = os.path.join(work, "marks.c")
run(CLI, "font-export", "--from", bdf("marks", [(c, 8, 8, 1, 0, 0, ["00011000"]) for c in marks]),
    marks_c, "--format", "lvgl", "--name", "m")
check("/* U+202E */" in open(marks_c, encoding="utf-8").read(), "marks: named by code point")
compiles("marks", marks_c)

# --- 70,000 characters: every Big5 character and more, bounded -------------

many_text = os.path.join(work, "many.txt")
chars = [chr(c) for c in range(0x3400, 0xA000)] + [chr(c) for c in range(0xAC00, 0xD7A4)]
chars += [chr(c) for c in range(0x20000, 0x20000 + 70000 - len(chars))]
chars += [chr(c) for c in range(0x20, 0x7F)] + [chr(c) for c in range(0xFF01, 0xFF5F)]
open(many_text, "w", encoding="utf-8").write("".join(chars))
out = os.path.join(work, "many-subset.c")
before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
measured = run(sys.executable, "-c", """import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)""",
               CLI, "font-subset", "--text", many_text, "--fonts", made, "--format", "lvgl",
               "--output", out, timeout=600)
peak_mb = int(measured.stdout) // 1024
font = parse_lvgl(open(out, encoding="utf-8").read())
print(f"70,000 characters: {len(font['dsc']) - 1} glyphs, {os.path.getsize(out)} bytes, "
      f"peak {peak_mb} MB")
check(len(font["dsc"]) > 13000 and peak_mb < 400,
      f"70,000 characters: written with a bounded peak ({peak_mb} MB)")
check(glyph_id(font, ord("中")) and glyph_id(font, ord("A")) and not glyph_id(font, 0x20001),
      "70,000 characters: the file's characters found, the others not")

# --- the golden file: a small font looked at by eye ------------------------

gold = os.path.join(work, "gold")
os.mkdir(gold)


def frame(inset, bar, width, height):
    """A box outline `inset` from the cell's edges with a bar across row `bar`."""
    rows = []
    for y in range(height):
        row = ""
        for x in range(width):
            edge = inset <= x < width - inset and inset <= y < height - inset and (
                x in (inset, width - 1 - inset) or y in (inset, height - 1 - inset))
            row += "1" if edge or (y == bar and inset < x < width - 1 - inset) else "0"
        rows.append(row)
    return rows


def record(rows):
    bits = "".join(rows)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


open(os.path.join(gold, "STD16X15.fon"), "wb").write(b"".join(
    record(frame(r % 4, 3 + r % 9, 16, 15)) for r in range(13094)))
open(os.path.join(gold, "ASCFONT.15"), "wb").write(b"".join(
    record(frame(r % 3, 4 + r % 7, 8, 15)) for r in range(128)))
golden_text = os.path.join(work, "golden.txt")
open(golden_text, "w", encoding="utf-8").write("中文字型 Ab1")
golden_out = os.path.join(work, "golden.c")
run(CLI, "font-subset", "--text", golden_text, "--fonts", gold, "--format", "lvgl",
    "--name", "golden_font", "--output", golden_out)
golden_path = os.path.join(GOLDEN, "golden_font.c")
made_text = open(golden_out, encoding="utf-8").read()
# The comment names the strings, not this run's folder.
if UPDATE:
    os.makedirs(GOLDEN, exist_ok=True)
    open(golden_path, "w", encoding="utf-8").write(made_text)
check(made_text == open(golden_path, encoding="utf-8").read(),
      "golden: the small font is byte for byte the one looked at")
compiles("golden", golden_out)

finish()

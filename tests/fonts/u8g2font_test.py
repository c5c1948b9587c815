"""u8g2 fonts, read back by a decoder written here from the format's
definition: the C string literal parsed, the glyphs found the way the
library finds them (the list up to 255 from the 'A'/'a' starts, the Unicode
lookup table, then the records above 255) and their run-length streams
drawn. Every glyph of every glyph file, subsets above U+00FF and random
glyphs must come back as the dots the BDF of the same glyphs places; the
bytes of small fonts equal those u8g2's own converter made (golden files);
the C compiles warning-free; glyphs past the format's limits, a subset of
70,000 characters and bad names are handled.
Usage: u8g2font_test.py DEDUR_CLI"""
import os
import random
import re
import resource
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run  # noqa: E402
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fontkit import (LIBRARY_NAMES, compiles, hostile_sources,  # noqa: E402
                     read_bdf as read_font, write_bdf)

CLI = sys.argv[1]
GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden", "u8g2")
work = tempfile.mkdtemp(prefix="dedur-u8g2-")


# --- the C text -------------------------------------------------------------

def parse_c(text):
    """(name, declared size, bytes with the literal's closing 0)."""
    m = re.search(r'const uint8_t (\w+)\[(\d+)\] U8G2_FONT_SECTION\("(\w+)"\) = \n(.*?);\n',
                  text, re.S)
    assert m, "no font declaration"
    name, size, section, body = m.group(1), int(m.group(2)), m.group(3), m.group(4)
    assert section == name
    data = bytearray()
    for piece in re.findall(r'"((?:[^"\\]|\\.)*)"', body):
        i = 0
        while i < len(piece):
            c = piece[i]
            if c != "\\":
                data.append(ord(c))
                i += 1
                continue
            octal = re.match(r"[0-7]{1,3}", piece[i + 1:])
            if octal:
                data.append(int(octal.group(0), 8))
                i += 1 + len(octal.group(0))
            else:
                data.append(ord({"n": "\n", "t": "\t"}.get(piece[i + 1], piece[i + 1])))
                i += 2
    data.append(0)
    return name, size, bytes(data)


# --- the font, read as the library reads it ----------------------------------

class Bits:
    def __init__(self, data, at):
        self.data, self.at, self.bit = data, at, 0

    def get(self, n):
        v = 0
        for i in range(n):
            v |= (self.data[self.at] >> self.bit & 1) << i
            self.bit += 1
            if self.bit == 8:
                self.bit, self.at = 0, self.at + 1
        return v

    def signed(self, n):
        return self.get(n) - (1 << (n - 1) if n else 0)


def header(data):
    h = data[:23]
    s8 = lambda v: v - 256 if v > 127 else v  # noqa: E731
    return {"count": h[0], "mode": h[1], "m0": h[2], "m1": h[3], "bits": h[4:9],
            "box": (h[9], h[10], s8(h[11]), s8(h[12])), "A": s8(h[13]), "g": s8(h[14]),
            "(": s8(h[15]), ")": s8(h[16]),
            "posA": h[17] << 8 | h[18], "posa": h[19] << 8 | h[20], "uni": h[21] << 8 | h[22]}


def records(data):
    """{code: offset of the glyph's fields} by walking both lists from the
    start, and whether the Unicode table's entries agree with the records."""
    hd, out = header(data), {}
    at = 23
    while data[at + 1] != 0:
        out[data[at]] = at + 2
        at += data[at + 1]
    assert at + 2 - 23 == hd["uni"], "the Unicode part starts after the 0 size"
    table = 23 + hd["uni"]
    entries = []
    while True:
        entries.append((data[table] << 8 | data[table + 1], data[table + 2] << 8 | data[table + 3]))
        table += 4
        if entries[-1][1] == 0xFFFF:
            break
    at = 23 + hd["uni"]
    starts = []
    for skip, _ in entries:
        at += skip
        starts.append(at)
    at = starts[0]
    codes_in_order = []
    while (data[at] << 8 | data[at + 1]) != 0:
        code = data[at] << 8 | data[at + 1]
        out[code] = at + 3
        codes_in_order.append((code, at))
        at += data[at + 2]
    return out, entries, starts, codes_in_order


def find(data, code):
    """The library's lookup of one code: offset of its fields or None."""
    hd = header(data)
    at = 23
    if code <= 255:
        if code >= ord("a"):
            at += hd["posa"]
        elif code >= ord("A"):
            at += hd["posA"]
        while data[at + 1] != 0:
            if data[at] == code:
                return at + 2
            at += data[at + 1]
        return None
    at += hd["uni"]
    table = at
    while True:
        at += data[table] << 8 | data[table + 1]
        last = data[table + 2] << 8 | data[table + 3]
        table += 4
        if last >= code:
            break
    while True:
        e = data[at] << 8 | data[at + 1]
        if e == 0:
            return None
        if e == code:
            return at + 3
        at += data[at + 2]


def glyph_at(data, at):
    """(w, h, x, y, advance, set of lit (x, y) from the origin, y up)."""
    hd = header(data)
    bw, bh, bx, by, bd = hd["bits"]
    r = Bits(data, at)
    w, h = r.get(bw), r.get(bh)
    x, y, d = r.signed(bx), r.signed(by), r.signed(bd)
    lit, n = set(), 0
    while w > 0 and n < w * h:
        a, b = r.get(hd["m0"]), r.get(hd["m1"])
        while True:
            n += a
            for _ in range(b):
                lit.add((x + n % w, y + h - 1 - n // w))
                n += 1
            if r.get(1) == 0:
                break
    check(n == w * h, f"the runs fill the box exactly ({n} of {w * h})")
    return w, h, x, y, d, lit


def read_bdf(path):
    return read_font(path)[0]


def compare(label, c_path, bdf, codes=None):
    """Every glyph of the BDF (or those of `codes`) drawn from the u8g2 font
    as the BDF places it, with its advance and a box cut to its dots."""
    name, size, data = parse_c(open(c_path, encoding="latin-1").read())
    check(size == len(data), f"{label}: the array's size is the literal's bytes and its 0")
    wanted = sorted(bdf if codes is None else codes)
    found, entries, starts, unicode = records(data)
    check(sorted(found) == wanted, f"{label}: the font holds exactly the BDF's glyphs")
    check(header(data)["count"] == len(wanted) % 256, f"{label}: the glyph count byte")
    # Each table entry's code is the last code of its block.
    for k, (skip, last) in enumerate(entries[:-1]):
        block = [c for c, at in unicode if starts[k] <= at < starts[k + 1]]
        check(block and block[-1] == last, f"{label}: lookup entry {k} ends its block")
    bad = 0
    for code in wanted:
        at = find(data, code)
        if at is None or at != found.get(code):
            bad += 1
            check(False, f"{label}: U+{code:04X} is found by the library's lookup")
            continue
        w, h, x, y, d, lit = glyph_at(data, at)
        advance, want = bdf[code]
        xs = [p[0] for p in want] or [x]
        ys = [p[1] for p in want] or [y]
        tight = (w, h) == ((max(xs) - min(xs) + 1, max(ys) - min(ys) + 1) if want else (0, 0))
        if lit != want or d != advance or not tight:
            bad += 1
            if bad < 5:
                check(False, f"{label}: U+{code:04X} draws the BDF's dots, advance, tight box")
    check(bad == 0, f"{label}: {bad} of {len(wanted)} glyphs differ")
    return data


# --- glyph files made here, the same on every machine ------------------------

def lcg(seed):
    state = seed
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state >> 16 & 0xFF


def ascii_file(path):
    """128 records of 8x15; 32 (space) and 0x7F blank, the rest shaped by
    their code, boxes of differing heights."""
    g, out = lcg(8), bytearray()
    for code in range(128):
        for row in range(15):
            byte = next(g) & next(g) | 0x81 if code % 4 <= row <= 14 - code % 3 else 0
            out.append(0 if code in (32, 127) or code < 32 else byte)
    open(path, "wb").write(out)


def big5_file(path):
    """13094 records of 16x15, each a frame with a dot walking down it."""
    out = bytearray()
    for k in range(13094):
        left, right = k % 3, 15 - k % 4
        rows = []
        for row in range(15):
            bits = 0
            if row in (1 + k % 2, 13):
                bits = sum(1 << (15 - c) for c in range(left, right + 1))
            elif 1 + k % 2 < row < 13:
                bits = 1 << (15 - left) | 1 << (15 - right) | 1 << (15 - (row + k) % 16)
            rows.append(bits)
        out += b"".join(r.to_bytes(2, "big") for r in rows)
    open(path, "wb").write(out)


def odd_bdf(path):
    """A BDF of the kind users bring: boxes with blank margins, offsets
    either way, advances short of the box, blank glyphs with boxes, codes
    either side of 255 and two lookup-table entries."""
    g = lcg(11)
    num = lambda n: next(g) % n  # noqa: E731
    codes = sorted({32, 33, 40, 41, 49, 65, 71, 97, 103, 160, 255} |
                   {256 + (k * 97 + num(50)) % 0x3000 for k in range(240)})
    glyphs = []
    for c in codes:
        w, h, x, y, d = 1 + num(13), 1 + num(15), num(9) - 4, num(11) - 5, num(16)
        blank = c in (32, 160) or num(20) == 0
        if c == 32:
            w = h = 0
        rows = ["".join("1" if not blank and num(100) < 35 else "0" for _ in range(w))
                for _ in range(h)]
        glyphs.append((c, d, w, h, x, y, rows))
    write_bdf(path, glyphs, ascent=10, descent=3)


def u8g2(*args, ok=True):
    return run(CLI, *args, "--force", ok=ok)


def declaration(text):
    """From the declaration on: the comment above it is each writer's own."""
    return text[text.index("#ifdef U8G2" if "#ifdef U8G2" in text else "const uint8_t"):]


synthetic = os.path.join(work, "synthetic")
os.mkdir(synthetic)
ascii_file(os.path.join(synthetic, "ASCFONT.15"))
big5_file(os.path.join(synthetic, "STD16X15.fon"))
# 230 ideographs from Big5 A440 on: three blocks behind the lookup table.
cjk = "".join(bytes([0xA4, lo]).decode("big5") for lo in list(range(0x40, 0x7F)) +
              list(range(0xA1, 0xFF)))
cjk += "".join(bytes([0xA5, lo]).decode("big5") for lo in range(0x40, 0x7F))
cjk = cjk[:230]
open(os.path.join(work, "cjk.txt"), "w", encoding="utf-8").write(cjk)
odd_bdf(os.path.join(work, "odd.bdf"))

# Golden: the bytes u8g2's converter made of the same glyphs (see README).
for golden, made in [
        ("golden_ascii.c", ["font-export", os.path.join(synthetic, "ASCFONT.15"),
                            os.path.join(work, "golden_ascii.c"), "--format", "u8g2",
                            "--name", "golden_ascii"]),
        ("golden_cjk.c", ["font-subset", "--text", os.path.join(work, "cjk.txt"), "--fonts",
                          synthetic, "--format", "u8g2", "--name", "golden_cjk", "--output",
                          os.path.join(work, "golden_cjk.c")]),
        ("golden_odd.c", ["font-export", "--from", os.path.join(work, "odd.bdf"),
                          os.path.join(work, "golden_odd.c"), "--format", "u8g2", "--name",
                          "golden_odd"])]:
    u8g2(*made)
    ours = open(os.path.join(work, golden), encoding="latin-1").read()
    theirs = open(os.path.join(GOLDEN, golden), encoding="latin-1").read()
    check(declaration(ours) == declaration(theirs), f"{golden}: byte for byte the converter's")
u8g2("font-export", os.path.join(synthetic, "ASCFONT.15"), os.path.join(work, "golden_ascii.bdf"))
compare("synthetic ASCII", os.path.join(work, "golden_ascii.c"),
        read_bdf(os.path.join(work, "golden_ascii.bdf")))
u8g2("font-subset", "--text", os.path.join(work, "cjk.txt"), "--fonts", synthetic, "--format",
     "bdf", "--output", os.path.join(work, "golden_cjk.bdf"))
data = compare("synthetic CJK subset", os.path.join(work, "golden_cjk.c"),
               read_bdf(os.path.join(work, "golden_cjk.bdf")))
check(len(records(data)[1]) == 2, "230 glyphs above 255: two lookup-table entries")
compare("odd BDF", os.path.join(work, "golden_odd.c"), read_bdf(os.path.join(work, "odd.bdf")))

# --- every glyph file --------------------------------------------------------

fonts = os.path.join(work, "fonts")
os.mkdir(fonts)
run(CLI, "make-fonts", fonts)
for name in ["ASCFONT.15", "SPCFONT.15", "SPCFSUPP.15", "STD16X15.fon", "STD24.fon"]:
    c_path = os.path.join(work, name + ".c")
    bdf_path = os.path.join(work, name + ".bdf")
    u8g2("font-export", os.path.join(fonts, name), c_path, "--format", "u8g2")
    u8g2("font-export", os.path.join(fonts, name), bdf_path)
    data = compare(name, c_path, read_bdf(bdf_path))
    hd = header(data)
    if name == "ASCFONT.15":
        bdf = read_bdf(bdf_path)
        top = lambda c: max(p[1] for p in bdf[ord(c)][1]) + 1  # noqa: E731
        bottom = lambda c: min(p[1] for p in bdf[ord(c)][1])  # noqa: E731
        check((hd["A"], hd["g"], hd["("], hd[")"]) == (top("A"), bottom("g"), top("("),
                                                       bottom("(")),
              "the header's ascent of 'A', descent of 'g' and of '('")
        check(find(data, ord("A")) == 23 + hd["posA"] + 2, "'A' starts where the header says")

# A subset of ASCII and ideographs, above U+00FF through the lookup table.
whole16 = read_bdf(os.path.join(work, "STD16X15.fon.bdf"))
ascii15 = read_bdf(os.path.join(work, "ASCFONT.15.bdf"))
text = "Hello, world (g)! " + "".join(chr(c) for c in range(0x4E00, 0x5400) if c in whole16)
open(os.path.join(work, "mixed.txt"), "w", encoding="utf-8").write(text)
u8g2("font-subset", "--text", os.path.join(work, "mixed.txt"), "--fonts", fonts, "--format", "u8g2",
     "--output", os.path.join(work, "mixed.c"))
reference = {c: ascii15[c] for c in map(ord, set(text)) if c < 128}
reference.update({c: whole16[c] for c in map(ord, set(text)) if c >= 128 and c in whole16})
data = compare("subset", os.path.join(work, "mixed.c"), reference)
check(len(records(data)[1]) > 3, "a subset of hundreds of ideographs has a lookup table")

# --- random glyphs -------------------------------------------------------------

rng = random.Random(20261207)
for name, record, side in [("STD16X15.fon", 30, 16), ("STD24.fon", 72, 24)]:
    path = os.path.join(work, "random-" + name)
    out = bytearray()
    for i in range(13094):
        density = rng.choice([0.0, 0.02, 0.1, 0.3, 0.5 if side == 16 else 0.25])
        bits = [rng.random() < density for _ in range(record * 8)]
        out += bytes(sum(bits[b * 8 + k] << (7 - k) for k in range(8)) for b in range(record))
    os.makedirs(os.path.join(work, "random"), exist_ok=True)
    path = os.path.join(work, "random", name)
    open(path, "wb").write(out)
    u8g2("font-export", path, path + ".c", "--format", "u8g2", "--name", "random")
    u8g2("font-export", path, path + ".bdf")
    compare("random " + name, path + ".c", read_bdf(path + ".bdf"))

# --- the C compiles --------------------------------------------------------------

STAND_IN = "#include <stdint.h>\n#define U8G2_FONT_SECTION(name)\n"
for c_name, extra in [("golden_ascii.c", []), ("golden_cjk.c", []), ("mixed.c", []),
                      ("STD24.fon.c", ["-DU8G2_USE_LARGE_FONTS"])]:
    src = os.path.join(work, "compile-" + c_name)
    body = open(os.path.join(work, c_name), encoding="latin-1").read()
    name, size, data = parse_c(body)
    main = (f'#include <stdio.h>\nint main(void) {{\n'
            f'  for (unsigned i = 0; i < sizeof {name}; ++i) printf("%02x", {name}[i]);\n'
            f'  return 0;\n}}\n')
    open(src, "w", encoding="latin-1").write(STAND_IN + body + main)
    # Not -Wpedantic: a font is a string literal longer than C requires compilers to take.
    if compiles(c_name, [src], *extra, std="-std=c11", pedantic=False):
        check(run(src[:-2] + ".out").stdout == data.hex(),
              f"{c_name}: the compiler reads the bytes decoded here")

# --- hostile -----------------------------------------------------------------------

# Source file names in the comment line and the C library's names, as for LVGL.
sources = hostile_sources(work)
for label, source, name in [("source " + str(i), s, "marks") for i, s in enumerate(sources)] + [
        (n, sources[0], n) for n in LIBRARY_NAMES]:
    src = os.path.join(work, "hostile.c")
    done = run(CLI, "font-export", "--from", source, src, "--format", "u8g2", "--name", name,
               "--force", ok=False)
    if done.returncode == 0 or label != name:
        body = open(src, encoding="utf-8").read()
        open(src, "w", encoding="utf-8").write(
            STAND_IN + body + f"int main(void) {{ return {name}[0] > 0 ? 0 : 1; }}\n")
        compiles("hostile " + label, [src], std="-std=c11", pedantic=False)
    else:
        check(f'"{name}"' in done.stderr, f"{label}: refused by name: {done.stderr.strip()}")

# A glyph of 64x64 dots of noise passes the 254 bytes a record may take
# (no glyph file's can): refused by name, nothing written.
rng.seed(7)
noisy = write_bdf(os.path.join(work, "noise.bdf"), [
    (65, 8, 1, 1, 0, 0, ["1"]),
    (0x4E00, 64, 64, 64, 0, 0, [format(rng.getrandbits(64), "064b") for _ in range(64)])],
    ascent=64, descent=0)
target = os.path.join(work, "noise.c")
refused = run(CLI, "font-export", "--from", noisy, target, "--format", "u8g2", ok=False)
check(refused.returncode == 1 and "U+4E00 \u4e00" in refused.stderr and "254" in refused.stderr,
      f"the noise glyph is refused by name: {refused.stderr}")
check(not os.path.exists(target), "a refused font writes nothing")
open(target, "w").write("kept")
run(CLI, "font-export", "--from", noisy, target, "--format", "u8g2", "--force", ok=False)
check(open(target).read() == "kept", "a refused font leaves the old output as it was")

# Names: the library's own and keywords are refused, u8g2_font_... is the custom.
for name, good in [("u8g2_DrawStr", False), ("U8G2_R0", False), ("U8X8_PIN_NONE", False),
                   ("u8log_Init", False), ("int", False), ("uint8_t", False), ("9lives", False),
                   ("__reserved", False), ("u8g2_font_mine_tf", True), ("u8x8_font_my_r", True),
                   ("mine", True)]:
    made = run(CLI, "font-export", os.path.join(fonts, "ASCFONT.15"), os.path.join(work, "n.c"),
               "--format", "u8g2", "--name", name, "--force", ok=False)
    check((made.returncode == 0) == good, f"--name {name}: {made.stderr}")

# 70,000 characters: finishes in bounded memory, the missing ones listed.
many = "".join(chr(c) for c in range(0x21, 0x21 + 70000) if not 0xD800 <= c < 0xE000)
open(os.path.join(work, "many.txt"), "w", encoding="utf-8").write(many)


done = subprocess.run([CLI, "font-subset", "--text", os.path.join(work, "many.txt"), "--fonts",
                       fonts, "--format", "u8g2", "--output", os.path.join(work, "many.c")],
                      capture_output=True, text=True, timeout=300)
check(done.returncode == 0, f"a subset of 70,000 characters is written: {done.stderr[-300:]}")
# The largest child's peak (an address-space cap would starve AddressSanitizer).
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
check(peak < 1 << 20, f"a subset of 70,000 characters is made in under 1 GB ({peak} KB)")
if done.returncode == 0:
    name, size, data = parse_c(open(os.path.join(work, "many.c"), encoding="latin-1").read())
    check(header(data)["count"] == len(records(data)[0]) % 256, "its glyphs are all there")

shutil.rmtree(work)
finish()

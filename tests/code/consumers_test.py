"""dedur-cli code, proved through the programs that read its output: random
patterns of several sizes go out in every layout and come back through a
decoder written here from the layouts' definitions, through the C and C++
compilers, ImageMagick, Python (with a stand-in framebuf module) and rustc.
Usage: consumers_test.py DEDUR_CLI SOURCE_DIR"""
import json
import os
import random
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run, write_pattern_file  # noqa: E402

CLI = sys.argv[1]
SOURCE = sys.argv[2]
GOLDEN = os.path.join(SOURCE, "tests", "code", "golden")


def decode(data, width, height, layout):
    """The dots the bytes stand for, as the layouts are defined."""
    rows = []
    stride = (width + 7) // 8
    for y in range(height):
        row = ""
        for x in range(width):
            if layout == "rows-msb":
                on = data[y * stride + x // 8] >> (7 - x % 8) & 1
            elif layout == "rows-lsb":
                on = data[y * stride + x // 8] >> (x % 8) & 1
            elif layout == "pages-lsb":
                on = data[(y // 8) * width + x] >> (y % 8) & 1
            else:
                on = data[(y // 8) * width + x] >> (7 - y % 8) & 1
            row += "1" if on else "0"
        rows.append(row)
    return rows


def inverted(rows):
    return ["".join("0" if c == "1" else "1" for c in row) for row in rows]


rng = random.Random(20261207)
SIZES = [(2, 2), (3, 5), (7, 9), (8, 8), (9, 16), (13, 17), (33, 21), (95, 47), (96, 96)]
patterns = [(["".join(rng.choice("01") for _ in range(w)) for _ in range(h)], 1, 1, 0, 2)
            for w, h in SIZES]
work = tempfile.mkdtemp(prefix="dedur-code-")


def c_program(name, what, *others):
    """Compiles NAME.c (with the C files OTHERS) and runs it: its output, or
    None after a failed check that WHAT compiles."""
    sources = [os.path.join(work, f) for f in (name + ".c",) + others]
    built = run("cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-o", os.path.join(work, name),
                *sources, ok=False)
    check(built.returncode == 0, f"{what}: {built.stderr}")
    return run(os.path.join(work, name)).stdout if built.returncode == 0 else None
pat = os.path.join(work, "icons.pat")
write_pattern_file(pat, patterns)

# Every layout, plain and inverted, read back here.
for layout in ["rows-msb", "rows-lsb", "pages-lsb", "pages-msb"]:
    for invert in [False, True]:
        args = [CLI, "code", pat, "--format", "json", "--layout", layout]
        out = json.loads(run(*args + (["--invert"] if invert else [])).stdout)
        check(out["layout"] == layout, f"json names the layout {layout}")
        for (rows, *_), p in zip(patterns, out["patterns"]):
            want = inverted(rows) if invert else rows
            got = decode(p["bytes"], p["width"], p["height"], layout)
            check(got == want, f"{layout}{' inverted' if invert else ''} "
                               f"{p['width']}x{p['height']} decodes to the pattern")

# The panel layout is the display memory the pattern's dots are written to,
# pattern by pattern, each at its own place and directions: SEG s owns the
# bytes from 8(s - 1), COM c is bit (c - 1) % 8 of byte (c - 1) // 8 of its
# SEG; the bytes run from the lowest to the highest the pattern touches.
def panel_steps(lr, tb):
    """SEG and COM steps along a row, then from a row to the next."""
    if lr in (0, 1):
        return 1 if lr == 0 else -1, 0, 0, 1 if tb == 2 else -1
    return 0, 1 if lr == 2 else -1, 1 if tb == 0 else -1, 0


def panel_bytes(rows, seg, com, lr, tb, invert=False):
    seg_step, com_step, row_seg, row_com = panel_steps(lr, tb)
    memory = {}
    for y, row in enumerate(rows):
        for x, dot in enumerate(row):
            s = seg + x * seg_step + y * row_seg
            c = com + x * com_step + y * row_com
            offset = 8 * (s - 1) + (c - 1) // 8
            memory[offset] = memory.get(offset, 0) | (((dot == "1") != invert) << (c - 1) % 8)
    return [memory.get(o, 0) for o in range(min(memory), max(memory) + 1)]


placed = [(patterns[2][0], 5, 3, 0, 2), (patterns[5][0], 90, 40, 1, 3),
          (patterns[1][0], 40, 20, 2, 0), (patterns[4][0][:4], 20, 12, 3, 1)]
panel_pat = os.path.join(work, "panel.pat")
write_pattern_file(panel_pat, placed)
for invert in [[], ["--invert"]]:
    out = json.loads(run(CLI, "code", panel_pat, "--format", "json", "--layout", "panel",
                         *invert).stdout)
    for i, (p, place) in enumerate(zip(out["patterns"], placed)):
        check(p["bytes"] == panel_bytes(*place, invert=bool(invert)),
              f"panel layout {' '.join(invert)} of pattern {i + 1} is its display memory")
off = run(CLI, "code", pat, "--layout", "panel", ok=False)
check(off.returncode == 1 and "runs off the panel" in off.stderr,
      "a pattern off the panel refuses the panel layout")

# C and C++: the header is included by two C and two C++ files linked into
# one program, the definitions made by the one file that asks for them (a C
# file, then a C++ file), warning-free, and the program prints the dots.
DUMP = r"""
#include <stdio.h>
#include "icons.h"
void dump(void) {
    for (int i = 0; i < icons_COUNT; ++i) {
        const int w = icons_WIDTHS[i], h = icons_HEIGHTS[i], stride = (w + 7) / 8;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                putchar(icons[i][y * stride + x / 8] >> (7 - x % 8) & 1 ? '1' : '0');
            putchar('\n');
        }
    }
}
"""
SIZE = '#include "icons.h"\nint size_2(void) { return (int)sizeof icons_2 + icons_2_WIDTH; }\n'
MAIN = r"""
#include <stdio.h>
#include "icons.h"
extern "C" void dump(void);
extern "C" int size_2(void);
int last_height();
int main() {
    dump();
    printf("%d %d %d %d\n", icons_2_WIDTH, icons_2_HEIGHT, size_2(), last_height());
    return 0;
}
"""
LAST = '#include "icons.h"\nint last_height() { return icons_HEIGHTS[icons_COUNT - 1]; }\n'
expected_dump = "".join(row + "\n" for rows, *_ in patterns for row in rows)
w2, h2 = len(patterns[1][0][0]), len(patterns[1][0])
expected_dump += f"{w2} {h2} {((w2 + 7) // 8) * h2 + w2} {SIZES[-1][1]}\n"
IMPLEMENT = "#define ICONS_IMPLEMENTATION\n"
for progmem in [[], ["--progmem"]]:
    run(CLI, "code", pat, "--output", os.path.join(work, "icons.h"), "--force", *progmem)
    for defining in ["dump.c", "last.cpp"]:
        sources = {"dump.c": DUMP, "size.c": SIZE, "main.cpp": MAIN, "last.cpp": LAST}
        objects = []
        for name, text in sources.items():
            with open(os.path.join(work, name), "w") as f:
                f.write((IMPLEMENT if name == defining else "") + text)
            c = name.endswith(".c")
            obj = os.path.join(work, name + ".o")
            built = run("cc" if c else "c++", "-std=c99" if c else "-std=c++17", "-Wall",
                        "-Wextra", "-Werror", "-c", "-o", obj, os.path.join(work, name), ok=False)
            check(built.returncode == 0, f"{name} {' '.join(progmem)} compiles: {built.stderr}")
            objects.append(obj)
        exe = os.path.join(work, "dump")
        linked = run("c++", "-o", exe, *objects, ok=False)
        what = f"four files, the arrays from {defining} {' '.join(progmem)}"
        check(linked.returncode == 0, f"{what} link: {linked.stderr}")
        if linked.returncode == 0:
            check(run(exe).stdout == expected_dump, f"{what} print the dots")

# The shipped C template compiles too, and its table prints the dots.
with open(os.path.join(work, "structs.c"), "w") as f:
    f.write('#include <stdio.h>\n#include "structs.h"\nint main(void) {\n'
            '    for (int i = 0; i < %d; ++i) {\n'
            '        const dedur_bitmap* b = &icons_bitmaps[i];\n'
            '        const int stride = (b->width + 7) / 8;\n'
            '        for (int y = 0; y < b->height; ++y) {\n'
            '            for (int x = 0; x < b->width; ++x)\n'
            '                putchar(b->bytes[y * stride + x / 8] >> (7 - x %% 8) & 1 ? \'1\' : \'0\');\n'
            '            putchar(\'\\n\');\n        }\n    }\n    return 0;\n}\n' % len(patterns))
run(CLI, "code", pat, "--template", os.path.join(SOURCE, "dist", "templates", "c-struct.mustache"),
    "--output", os.path.join(work, "structs.h"))
printed = c_program("structs", "the shipped C template compiles")
if printed is not None:
    check(printed == "".join(row + "\n" for rows, *_ in patterns for row in rows),
          "the shipped C template's table prints the dots")

# An animation's frame table: the frames and their delays, compiled and printed.
run(CLI, "frames", pat, "--range", "2-3", "--delay", "250")
run(CLI, "code", pat, "--range", "1-3", "--animation", "--output", os.path.join(work, "anim.h"))
with open(os.path.join(work, "anim.c"), "w") as f:
    f.write('#include <stdio.h>\n#define ICONS_IMPLEMENTATION\n#include "anim.h"\n'
            'int main(void) {\n'
            '    for (int i = 0; i < icons_FRAME_COUNT; ++i) {\n'
            '        const int w = icons_WIDTHS[i], stride = (w + 7) / 8;\n'
            '        printf("%u\\n", (unsigned)icons_DELAYS_MS[i]);\n'
            '        for (int y = 0; y < icons_HEIGHTS[i]; ++y) {\n'
            '            for (int x = 0; x < w; ++x)\n'
            '                putchar(icons[i][y * stride + x / 8] >> (7 - x % 8) & 1 ? \'1\' : \'0\');\n'
            '            putchar(\'\\n\');\n        }\n    }\n    return 0;\n}\n')
printed = c_program("anim", "the frame table compiles")
if printed is not None:
    expected = "".join(f"{d}\n" + "".join(r + "\n" for r in patterns[i][0])
                       for i, d in enumerate([100, 250, 250]))
    check(printed == expected, "the frames print with their delays")
frames_json = json.loads(run(CLI, "code", pat, "--range", "1-3", "--animation", "--format",
                             "json").stdout)
check(frames_json["total_ms"] == 600 and [p["delay"] for p in frames_json["patterns"]] ==
      [100, 250, 250], "the JSON frames carry their delays and the total")

# Exactly two patterns: the pointer table and the count, compiled and printed;
# their delays as frames in C, Rust and JSON, in milliseconds.
run(CLI, "frames", pat, "--range", "5", "--delay", "40")
run(CLI, "code", pat, "--range", "3,5", "--animation", "--output", os.path.join(work, "two.h"))
with open(os.path.join(work, "two.c"), "w") as f:
    f.write('#include <stdio.h>\n#define ICONS_IMPLEMENTATION\n#include "two.h"\n'
            "int main(void) {\n"
            '    printf("%d %d %u %u\\n", icons_COUNT, icons_FRAME_COUNT,\n'
            "           (unsigned)icons_DELAYS_MS[0], (unsigned)icons_DELAYS_MS[1]);\n"
            "    for (int i = 0; i < icons_COUNT; ++i)\n"
            '        printf("%d %d %d\\n", icons_WIDTHS[i], icons_HEIGHTS[i], icons[i][0]);\n'
            "    return icons[1] != icons_5;\n}\n")
printed = c_program("two", "two patterns' table compiles")
if printed is not None:
    first = lambda rows: int(rows[0][:8].ljust(8, "0"), 2)  # noqa: E731
    check(printed ==
          f"2 2 250 40\n7 9 {first(patterns[2][0])}\n9 16 {first(patterns[4][0])}\n",
          "two patterns: the count, the delays, the sizes and the first bytes")
two_json = json.loads(run(CLI, "code", pat, "--range", "3,5", "--animation", "--format",
                          "json").stdout)
check(two_json["frame_count"] == 2 and two_json["total_ms"] == 290,
      "JSON frame_count and total_ms: " + repr({k: two_json[k] for k in two_json if k != "patterns"}))

# One pattern as an animation: its one-entry frame table is declared for
# every file that includes the header, and defined in the one that asks.
run(CLI, "code", pat, "--pattern", "1", "--animation", "--output", os.path.join(work, "one.h"))
with open(os.path.join(work, "frame.c"), "w") as f:
    f.write('#include "one.h"\nconst uint8_t* first_frame(void) { return icons_FRAMES[0]; }\n')
with open(os.path.join(work, "one.c"), "w") as f:
    f.write('#include <stdio.h>\n#define ICONS_IMPLEMENTATION\n#include "one.h"\n'
            "const uint8_t* first_frame(void);\nint main(void) {\n"
            '    printf("%d %u %d\\n", icons_FRAME_COUNT, (unsigned)icons_DELAYS_MS[0],\n'
            "           first_frame() == icons);\n    return 0;\n}\n")
printed = c_program("one", "one pattern's frame table links from two files", "frame.c")
if printed is not None:
    check(printed == "1 100 1\n", "one frame of 100 ms, the pattern itself")

# XBM: ImageMagick reads it back as the pattern (PBM: 1 is black, a set dot).
xbm = os.path.join(work, "one.xbm")
run(CLI, "code", pat, "--pattern", "6", "--format", "xbm", "--layout", "rows-lsb",
    "--output", xbm)
pbm = run("convert", xbm, "-compress", "none", "pbm:-").stdout.split()
width, height = int(pbm[1]), int(pbm[2])
got = ["".join(pbm[3 + y * width:3 + (y + 1) * width]) for y in range(height)]
check(got == patterns[5][0], "ImageMagick reads the XBM as the pattern")

# MicroPython: the module runs, and the frame buffers it makes show the dots
# as MicroPython's own formats define them.
FRAMEBUF = """
MONO_VLSB, MONO_HLSB, MONO_HMSB = 0, 3, 4
made = []
class FrameBuffer:
    def __init__(self, buffer, width, height, format):
        made.append((bytes(buffer), width, height, format))
"""
MICRO = {0: "pages-lsb", 3: "rows-msb", 4: "rows-lsb"}
with open(os.path.join(work, "framebuf.py"), "w") as f:
    f.write(FRAMEBUF)
for layout in ["rows-msb", "rows-lsb", "pages-lsb"]:
    module = os.path.join(work, "icons_mp.py")
    run(CLI, "code", pat, "--format", "micropython", "--layout", layout, "--output", module,
        "--force")
    shown = run(sys.executable, "-c",
                "import framebuf, icons_mp; print(repr([(list(b), w, h, f) for b, w, h, f in "
                "framebuf.made]), len(icons_mp.icons))", cwd=work).stdout
    made_list, count = shown.rsplit(" ", 1)
    made = eval(made_list)
    check(int(count) == len(patterns), f"micropython {layout}: the tuple holds every pattern")
    for (rows, *_), (data, w, h, fmt) in zip(patterns, made):
        check(decode(data, w, h, MICRO[fmt]) == rows, f"micropython {layout} {w}x{h} shows the dots")
refused = run(CLI, "code", pat, "--format", "micropython", "--layout", "pages-msb", ok=False)
check(refused.returncode == 1 and "cannot read the pages-msb" in refused.stderr,
      "micropython refuses pages-msb with the reason")

# Rust: compiles with warnings denied, and prints the dots.
rustc = shutil.which("rustc")
check(rustc is not None, "rustc is installed (the test packages bring it)")
if rustc:
    run(CLI, "code", pat, "--format", "rust", "--layout", "pages-lsb", "--output",
        os.path.join(work, "icons.rs"))
    with open(os.path.join(work, "main.rs"), "w") as f:
        f.write('mod icons { include!("icons.rs"); }\n'
                "fn main() {\n"
                "    assert_eq!(icons::ICONS_COUNT, icons::ICONS.len());\n"
                "    let sizes = [(icons::ICONS_1_WIDTH, icons::ICONS_1_HEIGHT)];\n"
                "    for (w, h) in sizes { println!(\"{} {}\", w, h); }\n"
                "    for p in icons::ICONS.iter() { println!(\"{}\", p.len()); }\n"
                "}\n")
    built = run(rustc, "--edition", "2021", "-D", "warnings", "-A", "dead_code", "-o",
                os.path.join(work, "rs"), os.path.join(work, "main.rs"), ok=False)
    check(built.returncode == 0, f"rustc compiles the output: {built.stderr}")
    if built.returncode == 0:
        lines = run(os.path.join(work, "rs")).stdout.split("\n")
        check(lines[0] == "2 2", "the Rust sizes")
        check([int(n) for n in lines[1:-1]] == [((h + 7) // 8) * w for w, h in SIZES],
              "the Rust arrays have the pages' byte counts")
    run(CLI, "code", pat, "--format", "rust", "--range", "3,5", "--animation", "--output",
        os.path.join(work, "frames.rs"))
    with open(os.path.join(work, "frames_main.rs"), "w") as f:
        f.write('mod frames { include!("frames.rs"); }\n'
                "fn main() {\n"
                '    println!("{} {:?}", frames::ICONS_FRAME_COUNT, frames::ICONS_DELAYS_MS);\n'
                "}\n")
    built = run(rustc, "--edition", "2021", "-D", "warnings", "-A", "dead_code", "-o",
                os.path.join(work, "frames_rs"), os.path.join(work, "frames_main.rs"), ok=False)
    check(built.returncode == 0, f"rustc compiles the frames: {built.stderr}")
    if built.returncode == 0:
        check(run(os.path.join(work, "frames_rs")).stdout == "2 [250, 40]\n",
              "the Rust delays are the milliseconds")
    lib = run(rustc, "--edition", "2021", "-D", "warnings", "--crate-type", "lib", "-o",
              os.path.join(work, "libicons.rlib"), os.path.join(work, "icons.rs"), ok=False)
    check(lib.returncode == 0, f"rustc compiles the output as a library: {lib.stderr}")

# Names: every keyword of C23, C++23 (alternative tokens too), Rust and Python
# is refused, and every name that is taken compiles in every format that
# writes it (C and C++, Rust, MicroPython), each beside all the others.
import keyword  # noqa: E402
C_WORDS = """alignas alignof auto bool break case char const constexpr continue default do
double else enum extern false float for goto if inline int long nullptr register restrict return
short signed sizeof static static_assert struct switch thread_local true typedef typeof
typeof_unqual union unsigned void volatile while _Alignas _Alignof _Atomic _BitInt _Bool _Complex
_Decimal128 _Decimal32 _Decimal64 _Generic _Imaginary _Noreturn _Static_assert
_Thread_local""".split()
CPP_WORDS = """alignas alignof and and_eq asm auto bitand bitor bool break case catch char
char8_t char16_t char32_t class compl concept const consteval constexpr constinit const_cast
continue co_await co_return co_yield decltype default delete do double dynamic_cast else enum
explicit export extern false float for friend goto if inline int long mutable namespace new
noexcept not not_eq nullptr operator or or_eq private protected public register
reinterpret_cast requires return short signed sizeof static static_assert static_cast struct
switch template this thread_local throw true try typedef typeid typename union unsigned using
virtual void volatile wchar_t while xor xor_eq""".split()
RUST_WORDS = """as break const continue crate else enum extern false fn for if impl in let loop
match mod move mut pub ref return self Self static struct super trait true type unsafe use where
while async await dyn abstract become box do final macro override priv typeof unsized virtual
yield try gen macro_rules union raw safe""".split()
keywords = sorted(set(C_WORDS + CPP_WORDS + RUST_WORDS + keyword.kwlist))
names_pat = os.path.join(work, "words.pat")
SAMPLES = ["bell", "Logo2", "_under", "x", "X2", "words_WIDTH2", "print", "len", "str", "u8",
           "Vec", "std", "FrameBuffer", "Self_", "icon_t2", "width", "height", "bits", "fb",
           "COUNT", "WIDTHS", "self_", "match_", "case", "r", "k9"]
write_pattern_file(names_pat, [(["10", "01"], 1, 1, 0, 2)] * len(SAMPLES))
for word in keywords:
    done = run(CLI, "names", names_pat, "--pattern", "1", word, ok=False)
    check(done.returncode != 0 and word in done.stderr, f"the keyword {word} is refused as a name")
taken = []
for i, word in enumerate(SAMPLES):
    done = run(CLI, "names", names_pat, "--pattern", str(i + 1), word, ok=False)
    if done.returncode == 0:
        taken.append(word)
check(len(taken) >= 20, f"most sample names are taken: {taken}")
with open(os.path.join(work, "words.c"), "w") as f:
    f.write('#include <stdio.h>\n#define WORDS_IMPLEMENTATION\n#include "words.h"\n'
            'int main(void) { printf("%d\\n", words_COUNT); return 0; }\n')
shutil.copy(os.path.join(work, "words.c"), os.path.join(work, "words.cpp"))
run(CLI, "code", names_pat, "--animation", "--output", os.path.join(work, "words.h"))
for compiler, source in [("cc", "words.c"), ("c++", "words.cpp")]:
    built = run(compiler, "-Wall", "-Wextra", "-Werror", "-o", os.path.join(work, "words"),
                os.path.join(work, source), ok=False)
    check(built.returncode == 0, f"{compiler} compiles every taken name: {built.stderr}")
if rustc:
    run(CLI, "code", names_pat, "--format", "rust", "--animation", "--output",
        os.path.join(work, "words.rs"))
    built = run(rustc, "--edition", "2021", "-D", "warnings", "--crate-type", "lib", "-o",
                os.path.join(work, "libwords.rlib"), os.path.join(work, "words.rs"), ok=False)
    check(built.returncode == 0, f"rustc compiles every taken name: {built.stderr}")
run(CLI, "code", names_pat, "--format", "micropython", "--animation", "--output",
    os.path.join(work, "words_mp.py"))
shown = run(sys.executable, "-c", "import framebuf, words_mp; print(len(framebuf.made), "
            "len(words_mp.words))", cwd=work, ok=False)
check(shown.stdout.split() == [str(len(SAMPLES))] * 2,
      f"MicroPython runs with every taken name: {shown.stderr}")

# A template with every variable.
TEMPLATE = ("{{file}} {{name}} {{layout}} {{count}}\n{{#patterns}}"
            "{{number}} {{name}} {{width}}x{{height}} {{seg}},{{com}} {{lr}}{{tb}} {{byte_count}}"
            "{{#first}} first{{/first}}{{#last}} last{{/last}}:"
            "{{#bytes}}{{index}}={{value}}/{{hex}}/{{bin}}{{^last}},{{/last}}{{/bytes}}\n"
            "{{#rows}}{{text}}\n{{/rows}}{{/patterns}}")
small = os.path.join(work, "small.pat")
write_pattern_file(small, [(["101", "011"], 4, 5, 0, 2), (["11", "01"], 1, 1, 0, 2)])
run(CLI, "names", small, "--pattern", "2", "corner")
with open(os.path.join(work, "all.mustache"), "w") as f:
    f.write(TEMPLATE)
rendered = run(CLI, "code", small, "--template", os.path.join(work, "all.mustache"), "--name",
               "tiny").stdout
check(rendered == "small.pat tiny rows-msb 2\n"
                  "1 tiny_1 3x2 4,5 02 2 first:0=160/A0/10100000,1=96/60/01100000\n"
                  "#.#\n.##\n"
                  "2 corner 2x2 1,1 02 2 last:0=192/C0/11000000,1=64/40/01000000\n"
                  "##\n.#\n",
      "the template shows every variable: " + repr(rendered))
with open(os.path.join(work, "broken.mustache"), "w") as f:
    f.write("{{#patterns}}{{name}}")
broken = run(CLI, "code", small, "--template", os.path.join(work, "broken.mustache"), ok=False)
check(broken.returncode == 1 and "cannot be used" in broken.stderr, "an unclosed section is refused")

# Refusals and profiles.
for args, code, text in [
    (["--format", "xbm"], 1, "rows-lsb layout only"),
    (["--format", "xbm", "--layout", "rows-lsb"], 1, "holds one pattern"),
    (["--name", "2bad"], 2, "C identifier"),
    (["--layout", "diagonal"], 2, "--layout must be"),
    (["--format", "basic"], 2, "--format must be"),
    (["--range", "9"], 1, "has 2 patterns"),
]:
    done = run(CLI, "code", small, *args, ok=False)
    check(done.returncode == code and text in done.stderr, f"code {' '.join(args)}: {done.stderr}")
with open(small + ".toml", "a") as f:
    f.write('\n[profiles.oled]\nformat = "json"\nlayout = "pages-lsb"\ninvert = true\n'
            'patterns = "2"\n')
profiled = json.loads(run(CLI, "code", small, "--profile", "oled").stdout)
check(profiled["layout"] == "pages-lsb" and len(profiled["patterns"]) == 1 and
      profiled["patterns"][0]["bytes"] == [2, 0], "a profile from the sidecar: " + repr(profiled))
with open(small + ".toml", "w") as f:
    f.write("[names\n")
warned = run(CLI, "code", small, "--format", "json", ok=False)
check(warned.returncode == 0 and "warning" in warned.stderr and "tiny" not in warned.stdout,
      "a malformed sidecar is warned about once and left alone")

# LVGL images, compiled against stand-ins of the library's declarations (LVGL
# 9's lv_image_dsc_t, LVGL 8's lv_img_dsc_t, as their headers declare them on
# a little-endian machine) through both of its include paths, and read back
# by a program that walks each image's header, palette and rows itself.
LVGL9 = """#include <stdint.h>
#define LV_IMAGE_HEADER_MAGIC 0x19
#define LV_COLOR_FORMAT_I1 0x07
typedef struct {
    uint32_t magic : 8; uint32_t cf : 8; uint32_t flags : 16;
    uint32_t w : 16; uint32_t h : 16; uint32_t stride : 16; uint32_t reserved_2 : 16;
} lv_image_header_t;
typedef struct {
    lv_image_header_t header; uint32_t data_size; const uint8_t *data;
    const void *reserved; const void *reserved_2;
} lv_image_dsc_t;
#define LV_IMAGE_DECLARE(name) extern const lv_image_dsc_t name
"""
LVGL9_READ = """#define IMAGE lv_image_dsc_t
#define DECLARE LV_IMAGE_DECLARE
#define SHOW_HEADER(i) printf("%u %u %u %u %u %u\\n", (unsigned)i->header.magic, \\
    (unsigned)i->header.cf, (unsigned)i->header.flags, (unsigned)i->header.w, \\
    (unsigned)i->header.h, (unsigned)i->header.stride)
"""
LVGL8 = """#include <stdint.h>
enum { LV_IMG_CF_UNKNOWN, LV_IMG_CF_RAW, LV_IMG_CF_RAW_ALPHA, LV_IMG_CF_RAW_CHROMA_KEYED,
       LV_IMG_CF_TRUE_COLOR, LV_IMG_CF_TRUE_COLOR_ALPHA, LV_IMG_CF_TRUE_COLOR_CHROMA_KEYED,
       LV_IMG_CF_INDEXED_1BIT };
typedef struct {
    uint32_t cf : 5; uint32_t always_zero : 3; uint32_t reserved : 2;
    uint32_t w : 11; uint32_t h : 11;
} lv_img_header_t;
typedef struct { lv_img_header_t header; uint32_t data_size; const uint8_t *data; } lv_img_dsc_t;
#define LV_IMG_DECLARE(name) extern const lv_img_dsc_t name
"""
LVGL8_READ = """#define IMAGE lv_img_dsc_t
#define DECLARE LV_IMG_DECLARE
#define SHOW_HEADER(i) printf("%u %u %u %u\\n", (unsigned)i->header.cf, \\
    (unsigned)i->header.always_zero, (unsigned)i->header.w, (unsigned)i->header.h)
"""
# The reader: for each image its header, data_size, the palette's two
# entries (B, G, R, A) and the rows as 0/1 (bit 7 the leftmost dot, each row
# (w + 7) / 8 bytes from byte 8 on).
LVGL_READER = """#include <stdio.h>
#include "lvgl_api.h"
%s
%s
static const IMAGE *const images[] = { %s };
int main(void) {
    for (unsigned n = 0; n < sizeof images / sizeof images[0]; ++n) {
        const IMAGE *i = images[n];
        const unsigned w = i->header.w, h = i->header.h, stride = (w + 7) / 8;
        SHOW_HEADER(i);
        printf("%%u\\n", (unsigned)i->data_size);
        for (unsigned k = 0; k < 8; ++k) printf("%%02X", i->data[k]);
        printf("\\n");
        for (unsigned y = 0; y < h; ++y) {
            for (unsigned x = 0; x < w; ++x)
                putchar('0' + (i->data[8 + y * stride + x / 8] >> (7 - x %% 8) & 1));
            putchar('\\n');
        }
    }
    return 0;
}
"""
names = [f"icons_{n + 1}" for n in range(len(patterns))]
os.makedirs(os.path.join(work, "lvgl"), exist_ok=True)
for version, api, read, extra, invert, colours, palette in [
        ("9", LVGL9, LVGL9_READ, [], False, None, "FFFFFFFF000000FF"),
        ("9", LVGL9, LVGL9_READ, ["-DLV_LVGL_H_INCLUDE_SIMPLE"], True, "#123456,red",
         "0000FFFF563412FF"),
        ("8", LVGL8, LVGL8_READ, ["-DLV_LVGL_H_INCLUDE_SIMPLE"], False, "white,#0A0B0C",
         "0C0B0AFFFFFFFFFF"),
        ("8", LVGL8, LVGL8_READ, [], True, None, "FFFFFFFF000000FF")]:
    with open(os.path.join(work, "lvgl_api.h"), "w") as f:
        f.write(api)
    # "lvgl.h" with LV_LVGL_H_INCLUDE_SIMPLE, else "lvgl/lvgl.h"; the other stops
    # the compiler.
    simple = "-DLV_LVGL_H_INCLUDE_SIMPLE" in extra
    for header, wanted in [("lvgl.h", simple), (os.path.join("lvgl", "lvgl.h"), not simple)]:
        with open(os.path.join(work, header), "w") as f:
            f.write('#include "lvgl_api.h"\n' if wanted else '#error "the other header"\n')
    args = [CLI, "code", pat, "--format", "lvgl", "--lvgl", version, "--output",
            os.path.join(work, "images.c"), "--force"]
    run(*args + (["--invert"] if invert else []) + (["--colors", colours] if colours else []))
    with open(os.path.join(work, "reader.c"), "w") as f:
        f.write(LVGL_READER % (read, "".join(f"DECLARE({n});\n" for n in names),
                               ", ".join("&" + n for n in names)))
    what = f"LVGL {version} images{' inverted' if invert else ''} ({colours or 'default colours'})"
    built = run("cc", "-std=c99", "-Wall", "-Wextra", "-Wpedantic", "-Werror", *extra,
                "-I", work, "-o", os.path.join(work, "reader"), os.path.join(work, "reader.c"),
                os.path.join(work, "images.c"), ok=False)
    check(built.returncode == 0, f"{what} compile: {built.stderr}")
    if built.returncode != 0:
        continue
    lines = run(os.path.join(work, "reader")).stdout.split("\n")
    for rows, *_ in patterns:
        w, h = len(rows[0]), len(rows)
        stride = (w + 7) // 8
        want_header = f"25 7 0 {w} {h} {stride}" if version == "9" else f"7 0 {w} {h}"
        check(lines[0] == want_header, f"{what} {w}x{h}: header {lines[0]}")
        check(lines[1] == str(8 + stride * h), f"{what} {w}x{h}: data_size {lines[1]}")
        check(lines[2] == palette, f"{what} {w}x{h}: palette {lines[2]}")
        want = inverted(rows) if invert else rows
        check(lines[3:3 + h] == want, f"{what} {w}x{h}: the rows are the pattern's dots")
        lines = lines[3 + h:]
for args, code, text in [
        (["--format", "lvgl", "--layout", "pages-lsb"], 1, "rows-msb layout only"),
        (["--format", "lvgl", "--lvgl", "7"], 2, "--lvgl must be 8 or 9"),
        (["--format", "lvgl", "--colors", "black"], 2, "--colors must be two colours"),
        (["--format", "lvgl", "--colors", "black,#12345"], 2, "--colors must be two colours"),
        (["--format", "lvgl", "--colors", "black,purple"], 2, "--colors must be two colours"),
        (["--format", "c", "--colors", "black,white"], 2, "go with --format lvgl")]:
    done = run(CLI, "code", pat, *args, ok=False)
    check(done.returncode == code and text in done.stderr, f"code {' '.join(args)}: {done.stderr}")
# Names that lvgl.h declares or defines would not compile beside it.
lv_named = os.path.join(work, "lvnamed.pat")
write_pattern_file(lv_named, [(["10", "01"], 1, 1, 0, 2)])
for name in ["lv_battery", "LV_ATTRIBUTE_MEM_ALIGN", "LVGL_H"]:
    run(CLI, "names", lv_named, "--pattern", "1", name)
    done = run(CLI, "code", lv_named, "--format", "lvgl", ok=False)
    check(done.returncode == 1 and "begins as LVGL's own names do" in done.stderr,
          f"an LVGL image named {name} is refused: {done.stderr}")

# An icon font for Adafruit GFX: the codes and the font in one header,
# compiled against a stand-in of GFXglyph and GFXfont (as Adafruit_GFX.h
# declares them) and walked by a program that reads each glyph's box, advance,
# offsets and bits (continuous, MSB first) itself.
GFX = """#include <stdint.h>
#define PROGMEM
typedef struct {
    uint16_t bitmapOffset; uint8_t width, height, xAdvance; int8_t xOffset, yOffset;
} GFXglyph;
typedef struct {
    uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance;
} GFXfont;
"""
GFX_READER = """#include <stdio.h>
#include "gfx_api.h"
#include "icons_font.h"
int main(void) {
    const GFXfont *f = &icons;
    printf("%u %u %u %X\\n", f->first, f->last, f->yAdvance, ICONS_ICON_9);
    for (unsigned c = f->first; c <= f->last; ++c) {
        const GFXglyph *g = &f->glyph[c - f->first];
        unsigned bit = g->bitmapOffset * 8u;
        printf("%u %u %u %d %d\\n", g->width, g->height, g->xAdvance, g->xOffset, g->yOffset);
        for (unsigned y = 0; y < g->height; ++y, putchar('\\n'))
            for (unsigned x = 0; x < g->width; ++x, ++bit)
                putchar('0' + (f->bitmap[bit / 8] >> (7 - bit % 8) & 1));
    }
    return 0;
}
"""
with open(os.path.join(work, "gfx_api.h"), "w") as f:
    f.write(GFX)
with open(os.path.join(work, "gfx_reader.c"), "w") as f:
    f.write(GFX_READER)
run(CLI, "code", pat, "--format", "gfx-font", "--first", "0x21", "--spacing", "3", "--baseline",
    "2", "--output", os.path.join(work, "icons_font.h"))
printed = c_program("gfx_reader", "the GFX icon font compiles")
if printed is not None:
    lines = printed.split("\n")
    tallest = max(len(rows) for rows, *_ in patterns)
    check(lines[0] == f"33 {33 + len(patterns) - 1} {tallest} {33 + 8:X}",
          f"the GFX icons run from 0x21, a line as tall as the tallest: {lines[0]}")
    lines = lines[1:]
    for rows, *_ in patterns:
        w, h = len(rows[0]), len(rows)
        check(lines[0] == f"{w} {h} {w + 3} 0 {3 - h}",
              f"GFX icon {w}x{h}: box, advance and offsets {lines[0]}")
        check(lines[1:1 + h] == rows, f"GFX icon {w}x{h}: the bits are the pattern's dots")
        lines = lines[1 + h:]

# Golden files: one small named pattern in every format, byte for byte.
golden = os.path.join(work, "battery.pat")
write_pattern_file(golden, [(["01111110", "11000011", "11011011", "11000011", "01111110"],
                             10, 4, 0, 2)])
run(CLI, "names", golden, "--pattern", "1", "battery")
for name, args in [("battery.h", ["--format", "c", "--progmem"]),
                   ("battery.xbm", ["--format", "xbm", "--layout", "rows-lsb"]),
                   ("battery.py", ["--format", "micropython", "--layout", "pages-lsb"]),
                   ("battery.rs", ["--format", "rust", "--layout", "pages-lsb"]),
                   ("battery.asm", ["--format", "asm", "--layout", "panel"]),
                   ("battery.json", ["--format", "json", "--layout", "rows-msb"]),
                   ("battery_lvgl9.c", ["--format", "lvgl"]),
                   ("battery_lvgl8.c", ["--format", "lvgl", "--lvgl", "8"])]:
    made = run(CLI, "code", golden, *args).stdout
    with open(os.path.join(GOLDEN, name)) as f:
        check(made == f.read(), f"{name} is as reviewed")

shutil.rmtree(work)
finish()

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

# The panel layout is the binary export's bytes, pattern by pattern (those
# that fit on the panel), each pattern at its own place and directions.
placed = [(rows, seg, com, lr, tb) for rows, seg, com, lr, tb in
          [(patterns[2][0], 5, 3, 0, 2), (patterns[5][0], 90, 40, 1, 3),
           (patterns[1][0], 40, 20, 2, 0)]]
panel_pat = os.path.join(work, "panel.pat")
write_pattern_file(panel_pat, placed)
out = json.loads(run(CLI, "code", panel_pat, "--format", "json", "--layout", "panel").stdout)
for i, (p, (_, _, _, lr, tb)) in enumerate(zip(out["patterns"], placed)):
    binary = os.path.join(work, f"panel{i}.bin")
    run(CLI, "export", panel_pat, binary, "--binary", "--pattern", str(i + 1),
        "--lr", str(lr), "--tb", str(tb))
    with open(binary, "rb") as f:
        check(list(f.read()) == p["bytes"], f"panel layout of pattern {i + 1} is the export's")
off = run(CLI, "code", pat, "--layout", "panel", ok=False)
check(off.returncode == 1 and "runs off the panel" in off.stderr,
      "a pattern off the panel refuses the panel layout")

# C and C++: the header compiles warning-free and its table prints the dots.
C_MAIN = r"""
#include <stdio.h>
#include "icons.h"
int main(void) {
    for (int i = 0; i < icons_COUNT; ++i) {
        const int w = icons_WIDTHS[i], h = icons_HEIGHTS[i], stride = (w + 7) / 8;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                putchar(icons[i][y * stride + x / 8] >> (7 - x % 8) & 1 ? '1' : '0');
            putchar('\n');
        }
    }
    printf("%d %d\n", icons_2_WIDTH, icons_2_HEIGHT);
    return 0;
}
"""
expected_dump = "".join(row + "\n" for rows, *_ in patterns for row in rows)
expected_dump += f"{len(patterns[1][0][0])} {len(patterns[1][0])}\n"
with open(os.path.join(work, "main.c"), "w") as f:
    f.write(C_MAIN)
shutil.copy(os.path.join(work, "main.c"), os.path.join(work, "main.cpp"))
for progmem in [[], ["--progmem"]]:
    run(CLI, "code", pat, "--output", os.path.join(work, "icons.h"), "--force", *progmem)
    for compiler, source, std in [("cc", "main.c", "-std=c99"), ("c++", "main.cpp", "-std=c++17")]:
        exe = os.path.join(work, "dump")
        built = run(compiler, std, "-Wall", "-Wextra", "-Werror", "-o", exe,
                    os.path.join(work, source), ok=False)
        check(built.returncode == 0, f"{compiler} {' '.join(progmem)} compiles: {built.stderr}")
        if built.returncode == 0:
            check(run(exe).stdout == expected_dump, f"{compiler} {' '.join(progmem)} prints the dots")

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
built = run("cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-o", os.path.join(work, "structs"),
            os.path.join(work, "structs.c"), ok=False)
check(built.returncode == 0, f"the shipped C template compiles: {built.stderr}")
if built.returncode == 0:
    check(run(os.path.join(work, "structs")).stdout ==
          "".join(row + "\n" for rows, *_ in patterns for row in rows),
          "the shipped C template's table prints the dots")

# An animation's frame table: the frames and their delays, compiled and printed.
run(CLI, "frames", pat, "--range", "2-3", "--delay", "250")
run(CLI, "code", pat, "--range", "1-3", "--animation", "--output", os.path.join(work, "anim.h"))
with open(os.path.join(work, "anim.c"), "w") as f:
    f.write('#include <stdio.h>\n#include "anim.h"\nint main(void) {\n'
            '    for (int i = 0; i < icons_FRAME_COUNT; ++i) {\n'
            '        const int w = icons_WIDTHS[i], stride = (w + 7) / 8;\n'
            '        printf("%u\\n", (unsigned)icons_DELAYS_MS[i]);\n'
            '        for (int y = 0; y < icons_HEIGHTS[i]; ++y) {\n'
            '            for (int x = 0; x < w; ++x)\n'
            '                putchar(icons[i][y * stride + x / 8] >> (7 - x % 8) & 1 ? \'1\' : \'0\');\n'
            '            putchar(\'\\n\');\n        }\n    }\n    return 0;\n}\n')
built = run("cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-o", os.path.join(work, "anim"),
            os.path.join(work, "anim.c"), ok=False)
check(built.returncode == 0, f"the frame table compiles: {built.stderr}")
if built.returncode == 0:
    expected = "".join(f"{d}\n" + "".join(r + "\n" for r in patterns[i][0])
                       for i, d in enumerate([100, 250, 250]))
    check(run(os.path.join(work, "anim")).stdout == expected, "the frames print with their delays")
frames_json = json.loads(run(CLI, "code", pat, "--range", "1-3", "--animation", "--format",
                             "json").stdout)
check(frames_json["total_ms"] == 600 and [p["delay"] for p in frames_json["patterns"]] ==
      [100, 250, 250], "the JSON frames carry their delays and the total")

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
    lib = run(rustc, "--edition", "2021", "-D", "warnings", "--crate-type", "lib", "-o",
              os.path.join(work, "libicons.rlib"), os.path.join(work, "icons.rs"), ok=False)
    check(lib.returncode == 0, f"rustc compiles the output as a library: {lib.stderr}")
else:
    print("rustc not found: the Rust output is not compiled")

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
    (["--range", "9"], 0, ""),
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
                   ("battery.json", ["--format", "json", "--layout", "rows-msb"])]:
    made = run(CLI, "code", golden, *args).stdout
    with open(os.path.join(GOLDEN, name)) as f:
        check(made == f.read(), f"{name} is as reviewed")

shutil.rmtree(work)
finish()

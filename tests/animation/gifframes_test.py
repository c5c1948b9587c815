"""Animated GIFs written as the rectangles that changed, proved through
ImageMagick: every frame it coalesces is the pattern's dots at the scale
(clear beyond a smaller pattern), with the delays and the loop count asked
for, a run of equal frames shown as one for their delays together; and the
file is no larger than the same frames written whole and within 1.3 times
of what gifsicle -O3 or ImageMagick's optimiser makes of them.
Usage: gifframes_test.py DEDUR_CLI [--sizes]   (--sizes prints the table)"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run, write_pattern_file  # noqa: E402

CLI = sys.argv[1]
SHOW_SIZES = "--sizes" in sys.argv
work = tempfile.mkdtemp(prefix="dedur-gifframes-")
rng = random.Random(20261207)

WHITE, BLACK, GREY = (255, 255, 255, 255), (0, 0, 0, 255), (192, 192, 192, 255)
CLEAR = "clear"


def blank(width, height):
    return [[0] * width for _ in range(height)]


def rows_of(grid):
    return ["".join("1" if d else "0" for d in row) for row in grid]


def ring(step, count=12, size=16, tail=4):
    """A spinner: twelve dots on a circle, the head and a tail of `tail` lit."""
    grid = blank(size, size)
    spots = [(7, 1), (10, 2), (12, 4), (13, 7), (12, 10), (10, 12),
             (7, 13), (4, 12), (2, 10), (1, 7), (2, 4), (4, 2)]
    for k in range(tail):
        x, y = spots[(step - k) % count]
        for dy in (0, 1):
            for dx in (0, 1):
                grid[y + dy][x + dx] = 1
    return rows_of(grid)


def marquee(step, width=32, height=8):
    """Stripes of text-like blocks scrolling left a dot at a time."""
    text = "1101100111010011101100101101110011"
    grid = blank(width, height)
    for x in range(width):
        if text[(x + step) % len(text)] == "1":
            for y in range(2, 6):
                grid[y][x] = 1
    return rows_of(grid)


def ball(step, size=32, radius=5):
    """A ball bouncing across a floor, twelve steps to the way back."""
    x = 6 + (step * 20) // 11 if step < 12 else 6
    y = [6, 10, 14, 18, 21, 24, 25, 24, 21, 18, 14, 10][step % 12]
    grid = blank(size, size)
    for gy in range(size):
        for gx in range(size):
            if (gx - x) ** 2 + (gy - y) ** 2 <= radius * radius or gy == size - 2:
                grid[gy][gx] = 1
    return rows_of(grid)


def random_rows(width, height, density=0.5):
    return ["".join("1" if rng.random() < density else "0" for _ in range(width))
            for _ in range(height)]


def flip_corner(rows, corner):
    """The same dots with the one at a corner flipped."""
    grid = [list(r) for r in rows]
    y = 0 if corner in (0, 1) else len(grid) - 1
    x = 0 if corner in (0, 2) else len(grid[0]) - 1
    grid[y][x] = "0" if grid[y][x] == "1" else "1"
    return ["".join(r) for r in grid]


def invert(rows):
    return ["".join("0" if c == "1" else "1" for c in r) for r in rows]


def rendered(rows, scale, grid):
    """The pixels of one pattern as render draws it: a grey line of one pixel
    around every dot with the grid."""
    pitch = scale + (1 if grid else 0)
    width = len(rows[0]) * pitch + (1 if grid else 0)
    height = len(rows) * pitch + (1 if grid else 0)
    out = []
    for y in range(height):
        line = []
        for x in range(width):
            if grid and (x % pitch == 0 or y % pitch == 0):
                line.append(GREY)
            else:
                dy, dx = (y - (1 if grid else 0)) // pitch, (x - (1 if grid else 0)) // pitch
                line.append(BLACK if rows[dy][dx] == "1" else WHITE)
        out.append(line)
    return out


def expected(frames, delays, scale, grid):
    """What a viewer shows: each frame on a screen as large as the largest,
    clear beyond it; equal frames in a row are one, for their delays."""
    pictures = [rendered(rows, scale, grid) for rows in frames]
    width = max(len(p[0]) for p in pictures)
    height = max(len(p) for p in pictures)
    shown = []
    # Where no frame has been yet, ImageMagick shows the screen's background
    # colour (white); browsers show it clear.
    shone = [[False] * width for _ in range(height)]
    for picture, delay in zip(pictures, delays):
        screen = [[picture[y][x] if y < len(picture) and x < len(picture[0])
                   else CLEAR if shone[y][x] else WHITE
                   for x in range(width)] for y in range(height)]
        for y in range(len(picture)):
            shone[y][:len(picture[0])] = [True] * len(picture[0])
        hundredths = max(2, (min(delay, 655350) + 5) // 10)
        if shown and shown[-1][0] == screen and shown[-1][1] + hundredths <= 65535:
            shown[-1] = (screen, shown[-1][1] + hundredths)
        else:
            shown.append((screen, hundredths))
    return width, height, shown


def coalesced(gif):
    """The screen ImageMagick shows at each frame, with the frame's delay."""
    info = run("identify", "-format", "%W %H %T\n", gif).stdout.split("\n")[:-1]
    width, height = (int(v) for v in info[0].split()[:2])
    delays = [int(line.split()[2]) for line in info]
    raw = subprocess.run(["convert", gif, "-coalesce", "-depth", "8", "rgba:-"],
                         capture_output=True, check=True, timeout=300).stdout
    frame = width * height * 4
    shown = []
    for i, delay in enumerate(delays):
        data = raw[i * frame:(i + 1) * frame]
        screen = []
        for y in range(height):
            line = []
            for x in range(width):
                p = tuple(data[4 * (y * width + x):4 * (y * width + x) + 4])
                line.append(CLEAR if p[3] == 0 else p)
            screen.append(line)
        shown.append((screen, delay))
    return width, height, shown


def loop_count(gif):
    """How many times ImageMagick plays the GIF (it says nothing of once)."""
    verbose = run("identify", "-verbose", gif + "[0]").stdout
    for line in verbose.split("\n"):
        if "Iterations:" in line:
            return int(line.split(":")[1])
    return 1


def make(name, frames, delays=None, scale=4, grid=False, loops=0):
    """Renders the frames; checks what ImageMagick shows; returns the sizes
    of the file, of gifsicle -O3's and of ImageMagick's optimised one."""
    delays = delays or [100] * len(frames)
    pat = os.path.join(work, name + ".pat")
    write_pattern_file(pat, [(rows, 1, 1, 0, 2) for rows in frames])
    for number, delay in enumerate(delays, 1):
        if delay != 100 and (number == 1 or delays[number - 2] != delay):
            last = number
            while last < len(delays) and delays[last] == delay:
                last += 1
            run(CLI, "frames", pat, "--range", f"{number}-{last}", "--delay", str(delay))
    gif = os.path.join(work, name + ".gif")
    args = [CLI, "render", pat, gif, "--scale", str(scale), "--loop", str(loops)]
    run(*(args + (["--grid"] if grid else [])))
    want = expected(frames, delays, scale, grid)
    got = coalesced(gif)
    check(got[:2] == want[:2], f"{name}: the screen is {want[:2]}, not {got[:2]}")
    check(len(got[2]) == len(want[2]),
          f"{name}: {len(want[2])} frames shown, ImageMagick finds {len(got[2])}")
    for i, (g, w) in enumerate(zip(got[2], want[2])):
        check(g[0] == w[0], f"{name}: frame {i + 1} as ImageMagick shows it is its pattern's dots")
        check(g[1] == w[1], f"{name}: frame {i + 1} shows for {w[1]} hundredths, not {g[1]}")
    if len(frames) > 1:
        check(loop_count(gif) == loops, f"{name}: plays {loops} times")
    # The optimisers start from every frame whole.
    whole = os.path.join(work, name + ".whole.gif")
    run("gifsicle", "--unoptimize", gif, "-o", whole)
    small = os.path.join(work, name + ".O3.gif")
    run("gifsicle", "-O3", whole, "-o", small)
    magick = os.path.join(work, name + ".im.gif")
    run("convert", whole, "-layers", "Optimize", magick)
    # gifsicle drops a frame equal to the one before with its delay.
    kept = len(run("identify", "-format", "%T\n", small).stdout.split()) >= len(want[2])
    return os.path.getsize(gif), os.path.getsize(small) if kept else None, \
        os.path.getsize(magick)


# Icon animations as drawn: name, frames, delays, scale, grid, loops.
spinner = [ring(step) for step in range(12)]
blink_open = ["0000000000", "0011111100", "0100000010", "1001111001", "1001111001",
              "0100000010", "0011111100", "0000000000"]
blink_half = ["0000000000", "0000000000", "0011111100", "0101111010", "1001111001",
              "0111111110", "0000000000", "0000000000"]
blink_shut = ["0000000000"] * 4 + ["1111111111"] + ["0000000000"] * 3
DRAWN = [
    ("spinner", spinner, None, 4, False, 0),
    ("ball", [ball(step) for step in range(12)], [55] * 12, 4, False, 0),
    ("spinner-grid", spinner, [80] * 12, 3, True, 3),
    ("marquee", [marquee(s) for s in range(16)], [60] * 16, 2, False, 0),
    ("blink", [blink_open, blink_open, blink_open, blink_half, blink_shut, blink_half,
               blink_open], [500, 500, 1000, 40, 60, 40, 100], 6, False, 0),
]

# Random animations, seeded: random sizes, frames equal to the one before,
# frames a dot apart at a corner, frames with every dot changed.
RANDOM = []
for n in range(6):
    width, height = rng.randint(1, 24), rng.randint(1, 20)
    frames = [random_rows(width, height, rng.choice([0.1, 0.5]))]
    for _ in range(rng.randint(2, 9)):
        kind = rng.choice(["same", "corner", "all", "new", "resized"])
        last = frames[-1]
        if kind == "same":
            frames.append(list(last))
        elif kind == "corner":
            frames.append(flip_corner(last, rng.randint(0, 3)))
        elif kind == "all":
            frames.append(invert(last))
        elif kind == "new":
            frames.append(random_rows(width, height))
        else:
            frames.append(random_rows(rng.randint(1, 24), rng.randint(1, 20)))
    delays = [rng.choice([20, 100, 250, 5]) for _ in frames]
    RANDOM.append((f"random{n}", frames, delays, rng.randint(1, 5), rng.random() < 0.3,
                   rng.randint(0, 4)))

# The least and the most: one frame; one dot at one pixel; a long delay that
# cannot take the next equal frame's; 1000 frames; 96 x 96 dots.
EDGES = [
    ("one-frame", [random_rows(12, 9)], None, 3, False, 0),
    ("one-pixel", [["1"], ["0"], ["0"], ["1"]], [10, 10, 10, 10], 1, False, 1),
    ("long-delays", [["10", "01"]] * 3, [655350, 655350, 20], 2, False, 0),
    ("thousand", [ring(s % 12, size=16)[:8] for s in range(1000)], [20] * 1000, 1, False, 0),
    ("largest", [random_rows(96, 96), flip_corner([r for r in random_rows(96, 96)], 3)],
     None, 2, False, 0),
]

# The bytes of each when every frame was written whole, cleared after it
# showed (the writer before): no animation may grow.
WHOLE_BYTES = {
    "spinner": 1712, "ball": 3445, "spinner-grid": 3528, "marquee": 1954, "blink": 1192,
    "random0": 232, "random1": 584, "random2": 932, "random3": 537, "random4": 189,
    "random5": 1545, "one-frame": 178, "one-pixel": 131, "long-delays": 120,
    "thousand": 34884, "largest": 7343,
}

table = [("animation", "frames", "whole", "bytes", "gifsicle -O3", "ImageMagick optimize")]
for name, frames, delays, scale, grid, loops in DRAWN + RANDOM + EDGES:
    size, optimised, magick = make(name, frames, delays, scale, grid, loops)
    table.append((name, str(len(frames)), str(WHOLE_BYTES[name]), str(size),
                  str(optimised or "-"), str(magick)))
    check(size <= WHOLE_BYTES[name],
          f"{name}: {size} bytes, more than the {WHOLE_BYTES[name]} of every frame whole")
    best = min(optimised or magick, magick)
    check(size <= 1.3 * best, f"{name}: {size} bytes, more than 1.3 times the optimisers' {best}")
# The largest patterns at the largest scale, with the grid: 6241 x 6241
# pixels a frame, of which the writer keeps each distinct row once (some
# 10 MB in all, more with the sanitizers; three whole frames would be
# 117 MB). The second frame is
# the dot at the far corner that changed, and its grid lines.
big = os.path.join(work, "big.pat")
first = random_rows(96, 96)
write_pattern_file(big, [(rows, 1, 1, 0, 2) for rows in (first, flip_corner(first, 3))])
big_gif = os.path.join(work, "big.gif")
measured = run(sys.executable, "-c", "import resource, subprocess, sys\n"
               "done = subprocess.run(sys.argv[1:])\n"
               "print(done.returncode, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)",
               CLI, "render", big, big_gif, "--scale", "64", "--grid").stdout.split()
check(measured[0] == "0", "render of 96 x 96 dots at scale 64 succeeds")
check(int(measured[1]) < 96 * 1024, f"and peaks at {int(measured[1]) // 1024} MB, under 96 MB")
frames = run("identify", "-ping", "-format", "%w %h %X %Y\n", big_gif).stdout.split("\n")[:-1]
check(frames == ["6241 6241 +0 +0", "64 64 +6176 +6176"],
      "the second frame is the changed dot alone: " + repr(frames))

if SHOW_SIZES:
    for row in table:
        print("\t".join(row))

shutil.rmtree(work)
finish()

"""Patterns as frames, proved through ImageMagick: render writes an animated
GIF whose frames, sizes, delays and loop count ImageMagick reads back, each
frame the pattern's dots; a GIF ImageMagick makes comes in as patterns with
their delays; hostile GIFs are refused and change nothing.
Usage: gif_test.py DEDUR_CLI"""
import os
import random
import shutil
import struct
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from testkit import check, finish, run, write_pattern_file  # noqa: E402

CLI = sys.argv[1]


def write_frames(path, frames):
    """Each frame's rows, placed at SEG 1, COM 1."""
    write_pattern_file(path, [(rows, 1, 1, 0, 2) for rows in frames])


def pbm_rows(image):
    """The pixels of an image as ImageMagick reads it, '1' for black."""
    words = run("convert", image, "-compress", "none", "pbm:-").stdout.split()
    width, height = int(words[1]), int(words[2])
    return ["".join(words[3 + y * width:3 + (y + 1) * width]) for y in range(height)]


def pattern_rows(path, number):
    info = run(CLI, "info", path).stdout.split("\n")[number - 1].split()
    text = open(path, newline="").read().split("\r\n")
    # The rows of pattern `number` in the file's text.
    at, n = 2, 0
    while True:
        height = int(text[at].split()[2])
        n += 1
        if n == number:
            return text[at + 1:at + 1 + height]
        at += height + 1


work = tempfile.mkdtemp(prefix="dedur-gif-")
rng = random.Random(20261207)
sizes = [(8, 6), (5, 9), (12, 12)]
patterns = [["".join(rng.choice("01") for _ in range(w)) for _ in range(h)] for w, h in sizes]
pat = os.path.join(work, "anim.pat")
write_frames(pat, patterns)
run(CLI, "frames", pat, "--range", "2", "--delay", "250")
run(CLI, "frames", pat, "--range", "3", "--delay", "15")
check(run(CLI, "frames", pat).stdout == "1 100\n2 250\n3 15\n", "frames lists the delays")

gif = os.path.join(work, "anim.gif")
run(CLI, "render", pat, gif, "--scale", "3", "--loop", "2")
frames = run("identify", "-format", "%w %h %T\n", gif).stdout.split("\n")[:-1]
check(frames == ["24 18 10", "15 27 25", "36 36 2"],
      "ImageMagick reads three frames of W*3 x H*3 with their delays: " + repr(frames))
verbose = run("identify", "-verbose", gif + "[0]").stdout
check("Iterations: 2" in verbose, "the loop count is the one asked for")
for i, rows in enumerate(patterns):
    one = os.path.join(work, f"frame{i}.png")
    run("convert", f"{gif}[{i}]", "-scale", "33.3334%", "+repage", one)
    check(pbm_rows(one) == rows, f"frame {i + 1} is pattern {i + 1}'s dots")

# Back in: a GIF made by ImageMagick, three frames of different delays, the
# second drawn over the first (disposal none), the third after a clear.
made = os.path.join(work, "made.gif")
run("convert", "-size", "6x4", "xc:white",
    "-delay", "20", "-dispose", "none", "(", "-size", "6x4", "xc:white", "-fill", "black",
    "-draw", "point 0,0", ")",
    "-delay", "50", "-dispose", "background", "(", "-size", "6x4", "xc:none", "-fill", "black",
    "-draw", "point 5,3", ")",
    "-delay", "7", "(", "-size", "6x4", "xc:white", "-fill", "black", "-draw", "point 2,1", ")",
    "-delete", "0", "-loop", "0", made)
back = os.path.join(work, "back.pat")
write_frames(back, [["00", "00"]])
run(CLI, "import-image", back, made, "--append")
check(run(CLI, "frames", back).stdout == "1 100\n2 200\n3 500\n4 70\n",
      "the frames come in with their delays: " + run(CLI, "frames", back).stdout)
check(pattern_rows(back, 2) == ["100000", "000000", "000000", "000000"], "frame 1")
check(pattern_rows(back, 3) == ["100000", "000000", "000000", "000001"],
      "frame 2 drawn over frame 1 (disposal none)")
check(pattern_rows(back, 4) == ["000000", "001000", "000000", "000000"], "frame 3")

# Out and in again: the same patterns (all of one size).
same = os.path.join(work, "same.pat")
write_frames(same, [["".join(rng.choice("01") for _ in range(7)) for _ in range(5)]
                    for _ in range(3)])
round_gif = os.path.join(work, "round.gif")
run(CLI, "render", same, round_gif, "--scale", "1")
again = os.path.join(work, "again.pat")
write_frames(again, [["0"]])
run(CLI, "import-image", again, round_gif, "--append")
for n in (1, 2, 3):
    check(pattern_rows(again, n + 1) == pattern_rows(same, n), f"round trip of pattern {n}")


# Hostile GIFs: a clear message, nothing changed.
def gif_bytes(width, height, frames, lzw=b"\x02\x02\x44\x01\x00"):
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\xff\xff\xff\x00\x00\x00"
    for _ in range(frames):
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + lzw
    return out + b"\x3b"


before = open(back, "rb").read()
cases = [
    ("truncated", open(made, "rb").read()[:40], "damaged GIF"),
    ("10000 frames", gif_bytes(1, 1, 10000), "holds more than 1000 frames; at most 1000"),
    ("huge screen", gif_bytes(65535, 65535, 2), "is 65535 x 65535 pixels"),
    ("bad LZW", gif_bytes(1, 1, 2, b"\x02\x02\xff\xff\x00"), "damaged GIF"),
]
for label, data, says in cases:
    hostile = os.path.join(work, label + ".gif")
    open(hostile, "wb").write(data)
    done = run(CLI, "import-image", back, hostile, "--append", ok=False)
    check(done.returncode == 1 and says in done.stderr, f"{label}: {done.stderr.strip()}")
    check(open(back, "rb").read() == before, f"{label}: the pattern file is untouched")

# Written as it is drawn: 30 frames of 32 x 32 dots at 64 pixels a dot are
# 126 M pixels, and the writer keeps each distinct row of the screen and of
# the frames beside it once (some 14 MB in all, 50 with the sanitizers;
# holding the frames took 128 MB).
big = os.path.join(work, "big.pat")
big_frames = [["".join(rng.choice("01") for _ in range(32)) for _ in range(32)] for _ in range(30)]
write_frames(big, big_frames)
big_gif = os.path.join(work, "big.gif")
measured = run(sys.executable, "-c", "import resource, subprocess, sys\n"
               "done = subprocess.run(sys.argv[1:])\n"
               "print(done.returncode, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)",
               CLI, "render", big, big_gif, "--scale", "64").stdout.split()
check(measured[0] == "0", "render of 30 frames at scale 64 succeeds")
check(int(measured[1]) < 96 * 1024, f"and peaks at {int(measured[1]) // 1024} MB, under 96 MB")
sizes = run("identify", "-ping", "-format", "%w %h %T\n", big_gif).stdout.split("\n")[:-1]
check(sizes == ["2048 2048 10"] * 30, "ImageMagick finds 30 frames of 2048 x 2048")
for i in (0, 29):
    one = os.path.join(work, f"big{i}.pbm")
    run("convert", f"{big_gif}[{i}]", "-sample", "32x32", "+repage", one)
    check(pbm_rows(one) == big_frames[i], f"frame {i + 1} of 30 is its pattern's dots")

# The grid: a grey line of one pixel around every dot, here the dots 10 / 01
# at two pixels a dot, worked out by hand (G grey, B black, W white).
grid_pat = os.path.join(work, "grid.pat")
write_frames(grid_pat, [["10", "01"]])
grid_gif = os.path.join(work, "grid.gif")
run(CLI, "render", grid_pat, grid_gif, "--grid", "--scale", "2")
words = run("convert", grid_gif, "-compress", "none", "pgm:-").stdout.split()
width, height, top = int(words[1]), int(words[2]), int(words[3])
shade = {0: "B", top: "W"}
grid = ["".join(shade.get(int(v), "G") for v in words[4 + y * width:4 + (y + 1) * width])
        for y in range(height)]
check(grid == ["GGGGGGG", "GBBGWWG", "GBBGWWG", "GGGGGGG", "GWWGBBG", "GWWGBBG", "GGGGGGG"],
      "the grid's lines and dots: " + repr(grid))

# One bit a pixel: a global colour table of two entries, white and black.
verbose = run("identify", "-verbose", gif + "[1]").stdout
check("Colormap entries: 2" in verbose and "Type: Bilevel" in verbose,
      "render writes a GIF of two colours, one bit a pixel")
check(open(gif, "rb").read()[10] & 0x87 == 0x80, "the screen's packed field says 2 entries")
check(run("identify", "-format", "%[colors]\n", gif).stdout.split() == ["2", "2", "2"],
      "every frame has two colours")

shutil.rmtree(work)
finish()

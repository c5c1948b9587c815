"""What the Python tests share: checks that are counted rather than stopping
the test, running a program, and writing a pattern file."""
import subprocess
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args, ok=True, **kwargs):
    kwargs.setdefault("timeout", 120)  # a hung program fails the test rather than stalling it
    done = subprocess.run(list(args), capture_output=True, text=True, **kwargs)
    if ok and done.returncode != 0:
        raise SystemExit(f"{' '.join(args)} failed ({done.returncode}):\n{done.stderr}")
    return done


def write_pattern_file(path, patterns):
    """patterns: (rows, seg, com, lr, tb), rows as strings of '0'/'1'."""
    lines = ["PATTERN", str(len(patterns))]
    for rows, seg, com, lr, tb in patterns:
        lines.append(f"SIZE {len(rows[0])} {len(rows)} {seg} {com} {lr} {tb}")
        lines.extend(rows)
    with open(path, "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def finish():
    print("FAIL" if failures else "PASS")
    sys.exit(1 if failures else 0)

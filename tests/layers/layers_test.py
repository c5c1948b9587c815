#!/usr/bin/env python3
"""The folders of the core and of the editor form stacks: a file includes
files of its own folder and of folders below it, never above, and never
those of a folder beside it; includes are written from the library's root.
Usage: layers_test.py SOURCE_ROOT"""
import os
import re
import sys

# Bottom first; folders on one line stand side by side and include neither.
STACKS = {
    "src/core": [["base"], ["settings"], ["document"], ["fonts"], ["grid"],
                 ["image", "textclip"], ["panel"], ["code"], ["fontcode"],
                 ["."]],
    # The subjects' controllers stand side by side on the ground they share;
    # only the window above them knows them all.
    "src/app": [["ui"], ["code", "document", "fonts", "grid", "panel", "textclip"], ["window"]],
}

root = sys.argv[1]
faults = []
for tree, layers in STACKS.items():
    rank = {folder: i for i, row in enumerate(layers) for folder in row}
    base = os.path.join(root, tree)
    for folder in rank:
        directory = os.path.normpath(os.path.join(base, folder))
        for name in sorted(os.listdir(directory)):
            path = os.path.join(directory, name)
            if not name.endswith((".h", ".cpp")) or not os.path.isfile(path):
                continue
            with open(path, encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = re.match(r'#include "([^"]+)"', line)
                    if not match:
                        continue
                    if match.group(1).startswith("../"):
                        faults.append(f"{os.path.relpath(path, root)}:{number}: a path from "
                                      f"the library's root, not {match.group(1)}")
                    target = os.path.normpath(os.path.join(directory, match.group(1)))
                    if not os.path.exists(target):  # from the include path
                        target = os.path.normpath(os.path.join(base, match.group(1)))
                    if not os.path.exists(target):  # another tree's (the core's)
                        continue
                    to = os.path.relpath(os.path.dirname(target), base)
                    if to == folder or to not in rank:
                        continue
                    if rank[to] >= rank[folder]:
                        faults.append(f"{os.path.relpath(path, root)}:{number}: "
                                      f"{folder} includes {to}, which is not below it")
for fault in faults:
    print(fault)
print("FAIL" if faults else "PASS")
sys.exit(1 if faults else 0)

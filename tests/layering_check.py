#!/usr/bin/env python3
"""Checks that the core's folders follow the road of a program, each including only itself and
the folders before it, and that the window's toolkit stays out of the core.

    python3 tests/layering_check.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

ROAD = ["numbers", "job", "toolpath", "shapes", "strategy", "output", "machines", "program",
        "estimate", "preview", "save", "jobs"]
FOREIGN = re.compile(r"#include <Q")


def main():
    core = Path(sys.argv[1]) / "gcode"
    faults = []
    for source in sorted(core.glob("*/*.[ch]*")):
        folder = source.parent.name
        if folder not in ROAD:
            faults.append(f"{source}: a folder that is not on the road")
            continue
        for number, line in enumerate(source.read_text().splitlines(), 1):
            used = re.match(r'#include "gcode/([a-z_]+)/', line)
            if used and used.group(1) in ROAD and ROAD.index(used.group(1)) > ROAD.index(folder):
                faults.append(f"{source}:{number}: {folder} reaches up to {used.group(1)}")
            if FOREIGN.match(line):
                faults.append(f"{source}:{number}: the core includes {line.split()[1]}")
    for fault in faults:
        print(fault)
    if faults:
        sys.exit(1)
    print(f"the core's folders follow the road: {' -> '.join(ROAD)}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Renders quorrel-gcode's SVG previews and checks where the ink falls.

For jobs of every shape, outline and Fill, from a tenth of a unit to ten thousand units: the
SVG must parse as XML; drawn without its legend, axes and contour, it must put ink inside the
shape's contour and none farther from the tool path than the tool radius and a small margin.
The program is read here with a reader of its own, so the check does not lean on the tool's.

    python3 tests/preview_render_check.py build/dev/cli/quorrel-gcode
"""
import math
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib
from pathlib import Path

ZOOM = 0.3  # render small: every ink pixel is measured against the whole path

JOBS = [
    ["--shape=rectangle", "--center-x=3", "--center-y=-2"],
    ["--shape=rectangle", "--fill", "--width=20", "--height=8"],
    ["--shape=circle", "--radius=5", "--tool-radius=0.5"],
    ["--shape=circle", "--fill", "--radius=5", "--tool-radius=0.5", "--center-x=7"],
    ["--shape=rounded-rectangle", "--radius=3"],
    ["--shape=rounded-rectangle", "--fill", "--width=10", "--height=20"],
    ["--shape=rectangle", "--fill", "--width=0.1", "--height=0.1", "--tool-radius=0.01"],
    ["--shape=circle", "--fill", "--radius=10000", "--tool-radius=900", "--center-x=-20000"],
]


def read_png(path):
    """The pixels of an 8-bit RGB or RGBA PNG as rows of (r, g, b, a)."""
    data = Path(path).read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    position, idat = 8, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "expected 8-bit RGB(A)"
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    raw = zlib.decompress(idat)
    stride, rows, previous = width * channels, [], bytearray(width * channels)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        pixels = [tuple(row[x * channels:(x + 1) * channels]) for x in range(width)]
        rows.append([p if channels == 4 else p + (255,) for p in pixels])
        previous = row
    return rows


def read_moves(program):
    """(kind, (x0, y0), (x1, y1), (cx, cy)) of every move at depth."""
    moves, position, centre, depth = [], [math.nan, math.nan, math.nan], (0, 0), None
    for line in program.split("\r\n")[1:]:
        words = dict(re.findall(r" ([XYZIJ])(-?[0-9.]+)", line))
        motion = re.search(r" G([013]) ", line + " ")
        if not motion:
            continue
        start = tuple(position)
        for axis, index in (("X", 0), ("Y", 1), ("Z", 2)):
            if axis in words:
                position[index] = float(words[axis])
        if "I" in words:
            centre = (float(words["I"]), float(words["J"]))
        if depth is None and motion.group(1) == "1":
            depth = position[2]
        if motion.group(1) != "0" and start[2] == depth and position[2] == depth:
            moves.append((motion.group(1), start[:2], tuple(position[:2]), centre))
    return moves


def distance_to_move(x, y, move):
    kind, (x0, y0), (x1, y1), (cx, cy) = move
    if kind == "3":
        radius = math.hypot(x0 - cx, y0 - cy)
        start = math.atan2(y0 - cy, x0 - cx)
        span = (math.atan2(y1 - cy, x1 - cx) - start) % (2 * math.pi) or 2 * math.pi
        if (math.atan2(y - cy, x - cx) - start) % (2 * math.pi) <= span:
            return abs(math.hypot(x - cx, y - cy) - radius)
        return min(math.hypot(x - x0, y - y0), math.hypot(x - x1, y - y1))
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = 0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
    return math.hypot(x - x0 - t * dx, y - y0 - t * dy)


def inside_contour(x, y, arguments):
    values = dict(a[2:].split("=", 1) for a in arguments if "=" in a)
    cx, cy = float(values.get("center-x", 0)), float(values.get("center-y", 0))
    if "--shape=circle" in arguments:
        return math.hypot(x - cx, y - cy) < float(values.get("radius", 2))
    return (abs(x - cx) < float(values.get("width", 10)) / 2 and
            abs(y - cy) < float(values.get("height", 10)) / 2)


def check(tool, arguments, folder):
    program_path, svg_path = folder / "job.din", folder / "job.svg"
    subprocess.run([tool, *arguments, f"--output={program_path}", f"--preview={svg_path}"],
                   check=True)
    tree = ElementTree.parse(svg_path)  # well-formed, or this raises
    root = tree.getroot()
    namespace = "{http://www.w3.org/2000/svg}"
    assert root.tag == namespace + "svg"
    for element in list(root):
        if element.get("id") in ("legend", "axes", "contour"):
            root.remove(element)
    stripped = folder / "toolpath.svg"
    tree.write(stripped)
    png = folder / "toolpath.png"
    subprocess.run(["rsvg-convert", "-z", str(ZOOM), "-o", str(png), str(stripped)], check=True)

    scale = float(root.get("data-scale")) * ZOOM
    left, top = float(root.get("data-left")), float(root.get("data-top"))
    margin_px = float(root.get("data-margin")) * ZOOM
    values = dict(a[2:].split("=", 1) for a in arguments if "=" in a)
    tool_radius = float(values.get("tool-radius", 1))
    moves = read_moves(program_path.read_bytes().decode())
    reach = tool_radius + 4 / scale  # the plunge mark and antialiasing spill a few pixels

    ink_inside = ink_outside = 0
    for py, row in enumerate(read_png(png)):
        for px, (r, g, b, a) in enumerate(row):
            if a < 40 or min(r, g, b) > 235:
                continue
            x = left + (px + 0.5 - margin_px) / scale
            y = top - (py + 0.5 - margin_px) / scale
            if min(distance_to_move(x, y, m) for m in moves) > reach:
                ink_outside += 1
            elif inside_contour(x, y, arguments):
                ink_inside += 1
    assert ink_outside == 0, f"{ink_outside} pixels of ink outside the swept area"
    assert ink_inside > 50, f"only {ink_inside} pixels of ink inside the contour"
    return ink_inside


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        for arguments in JOBS:
            inked = check(tool, arguments, Path(folder))
            print(f"ok: {' '.join(arguments)}: {inked} pixels of ink inside the contour, none outside")


if __name__ == "__main__":
    main()

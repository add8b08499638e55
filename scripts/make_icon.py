#!/usr/bin/env python3
"""Draws qel's icon from qel's own picture of the Mandelbrot set.

    python3 scripts/make_icon.py build/qel-render dist/qel.svg

qel-render draws the set in the upper-left colouring (grey by escape speed,
blue inside); the grey bands and the inside of a square around the set are
traced into outlines, simplified, and written as an SVG of filled paths, the
darkest band first.
"""
import struct
import subprocess
import sys
import tempfile
from collections import Counter, defaultdict

VIEW = ["--method", "1", "--cx", "-0.6", "--cy", "0", "--mag", "1.2"]
CROP = (100, 0, 600)  # left, top and side of the square taken from 800 x 600
GRID = 150            # traced cells across the square
TOLERANCE = 0.45      # simplification, in cells


def render(tool):
    with tempfile.NamedTemporaryFile(suffix=".bmp") as f:
        subprocess.run([tool, *VIEW, "--out", f.name], check=True)
        data = open(f.name, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) // 4 * 4

    def pixel(x, y):  # rows are stored bottom-up
        at = offset + (height - 1 - y) * stride + 3 * x
        b, g, r = data[at:at + 3]
        return r, g, b
    return pixel


def cells(pixel):
    """The colour of each cell: the commonest among its pixels."""
    left, top, side = CROP
    step = side // GRID
    grid = []
    for j in range(GRID):
        row = []
        for i in range(GRID):
            counts = Counter(pixel(left + i * step + u, top + j * step + v)
                             for u in range(step) for v in range(step))
            row.append(counts.most_common(1)[0][0])
        grid.append(row)
    return grid


def inside(colour):
    r, g, b = colour
    return b > r


def loops(mask):
    """Outlines of the cells set in `mask` (marching squares on cell centres)."""
    n = len(mask)
    at = lambda i, j: 0 <= i < n and 0 <= j < n and mask[j][i]
    edges = {}
    for j in range(-1, n):
        for i in range(-1, n):
            a, b, c, d = at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)
            case = a * 8 + b * 4 + c * 2 + d
            top, right = (i + 1, j + 0.5), (i + 1.5, j + 1)
            bottom, left = (i + 1, j + 1.5), (i + 0.5, j + 1)
            segments = {
                1: [(bottom, left)], 2: [(right, bottom)], 3: [(right, left)],
                4: [(top, right)], 5: [(top, left), (bottom, right)], 6: [(top, bottom)],
                7: [(top, left)], 8: [(left, top)], 9: [(bottom, top)],
                10: [(left, bottom), (right, top)], 11: [(right, top)], 12: [(left, right)],
                13: [(bottom, right)], 14: [(left, bottom)],
            }.get(case, [])
            for start, end in segments:
                edges[start] = end
    result = []
    while edges:
        start, end = edges.popitem()
        loop = [start]
        while end != start:
            loop.append(end)
            end = edges.pop(end)
        result.append(loop)
    return result


def simplify(points, tolerance):
    """Douglas-Peucker on a closed outline."""
    def line(points):
        if len(points) < 3:
            return points
        (x0, y0), (x1, y1) = points[0], points[-1]
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5 or 1.0
        far, index = 0.0, 0
        for k in range(1, len(points) - 1):
            x, y = points[k]
            distance = abs(dy * (x - x0) - dx * (y - y0)) / length
            if distance > far:
                far, index = distance, k
        if far <= tolerance:
            return [points[0], points[-1]]
        return line(points[:index + 1])[:-1] + line(points[index:])
    half = len(points) // 2
    return line(points[:half + 1])[:-1] + line(points[half:] + [points[0]])[:-1]


def path(mask):
    parts = []
    for loop in loops(mask):
        shape = simplify(loop, TOLERANCE)
        if len(shape) < 3:
            continue
        parts.append("M" + " ".join(f"{x:g} {y:g}" for x, y in shape) + "Z")
    return "".join(parts)


def svg(grid):
    greys = sorted({c[0] for row in grid for c in row if not inside(c)})
    blues = Counter(c for row in grid for c in row if inside(c))
    blue = sorted(blues, key=lambda c: c[2])[len(blues) // 2]
    layers = []
    for grey in greys[1:]:
        mask = [[inside(c) or c[0] >= grey for c in row] for row in grid]
        layers.append((f"#{grey:02x}{grey:02x}{grey:02x}", path(mask)))
    layers.append(("#%02x%02x%02x" % blue, path([[inside(c) for c in row] for row in grid])))
    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 {GRID} {GRID}">',
             f'<rect width="{GRID}" height="{GRID}" rx="{GRID // 8}" fill="#000000"/>']
    lines += [f'<path fill="{colour}" fill-rule="evenodd" d="{d}"/>' for colour, d in layers if d]
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_icon.py QEL_RENDER OUT.svg")
    open(sys.argv[2], "w").write(svg(cells(render(sys.argv[1]))))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The icon's files, as the build makes them from tools/icon/casino.svg, read back by
readers that are not the tools that wrote them: the PNGs by GdkPixbuf, casino.exe's .ico
by icotool, whose images GdkPixbuf reads again.

Usage: icon_test.py <casino.svg> <folder> <.ico size>...
The folder holds <size>.png for every size the build renders and casino.ico.
"""
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

svg, folder, ico_sizes = Path(sys.argv[1]), Path(sys.argv[2]), [int(s) for s in sys.argv[3:]]
failures = []
checks = 0


def check(ok, what):
    global checks
    checks += 1
    if not ok:
        failures.append(what)
        print("FAIL:", what)


class Picture:
    """A picture's pixels as GdkPixbuf reads them: RGBA, 8 bits a channel."""

    def __init__(self, path):
        self.pixbuf = GdkPixbuf.Pixbuf.new_from_file(str(path))
        self.size = self.pixbuf.get_width()
        self.square = self.pixbuf.get_width() == self.pixbuf.get_height()
        self.rgba = self.pixbuf.get_has_alpha() and self.pixbuf.get_n_channels() == 4
        self.bits = self.pixbuf.get_bits_per_sample()
        self.stride = self.pixbuf.get_rowstride()
        self.data = self.pixbuf.get_pixels()

    def at(self, fx, fy):
        """The pixel at a point given as fractions of the width and height from the top left."""
        x, y = int(fx * self.size), int(fy * self.size)
        at = y * self.stride + x * 4
        return tuple(self.data[at:at + 4])

    def rows(self):
        return [self.data[y * self.stride:y * self.stride + self.size * 4] for y in range(self.size)]


def near(pixel, colour, tolerance=60):
    return pixel[3] == 255 and all(abs(p - c) <= tolerance for p, c in zip(pixel, colour))


# ---- The source: one square SVG ----
root = ElementTree.parse(svg).getroot()
check(root.tag == "{http://www.w3.org/2000/svg}svg", f"{svg.name} is an SVG")
check(root.get("viewBox") == "0 0 256 256", f"{svg.name} is drawn on a 256 px square")

# ---- Every size: a square RGBA picture of the wheel, clear outside it ----
sizes = sorted(int(p.stem) for p in folder.glob("*.png"))
check(len(sizes) >= 8, f"the PNGs rendered: {sizes}")
for size in sizes:
    picture = Picture(folder / f"{size}.png")
    name = f"the {size} px PNG"
    check(picture.square and picture.size == size, f"{name} is {size}x{size}")
    check(picture.rgba and picture.bits == 8, f"{name} is 8-bit RGBA")
    corners = [picture.at(0, 0), picture.at(0.999, 0), picture.at(0, 0.999), picture.at(0.999, 0.999)]
    check(all(c[3] == 0 for c in corners), f"{name}: the corners are clear")
    check(picture.at(0.5, 0.5)[3] == 255, f"{name}: the wheel's middle is opaque")
    if size >= 64:
        # What the wheel shows, where the drawing puts it: the gold hub, the wooden bowl at
        # the left, a red and a black pocket either side of the top, the white ball up and
        # to the right.
        check(near(picture.at(0.5, 0.5), (242, 199, 64)), f"{name}: the hub is gold")
        check(near(picture.at(0.04, 0.5), (115, 64, 26)), f"{name}: the bowl is wood")
        check(near(picture.at(0.7025, 0.2302), (247, 247, 247)), f"{name}: the ball is white")
        pockets = [picture.at(0.5 + 0.33 * dx, 0.5 + 0.33 * dy) for dx, dy in ((0, 1), (-1, 0), (0.05, -1))]
        check(any(near(p, (204, 20, 20)) for p in pockets), f"{name}: a pocket is red {pockets}")
        check(any(near(p, (21, 21, 21)) for p in pockets), f"{name}: a pocket is black {pockets}")

# ---- casino.exe's .ico: every size at 32 bits, the largest as the PNG it was rendered ----
ico = folder / "casino.ico"
listing = subprocess.run(["icotool", "--list", str(ico)], capture_output=True, text=True, check=True).stdout
entries = [dict(field.lstrip("-").split("=") for field in line.split()[1:]) for line in listing.splitlines()]
check([int(e["width"]) for e in entries] == ico_sizes, f"the .ico holds {ico_sizes} px: {listing}")
check(all(e["width"] == e["height"] and e["bit-depth"] == "32" and e["palette-size"] == "0" for e in entries),
      f"every image of the .ico is square, 32 bits a pixel, without a palette: {listing}")
ico_bytes = ico.read_bytes()
largest = (folder / f"{max(ico_sizes)}.png").read_bytes()
check(largest in ico_bytes and ico_bytes.count(b"\x89PNG") == 1,
      f"the .ico keeps the {max(ico_sizes)} px PNG as it is, and only that one as a PNG")
with tempfile.TemporaryDirectory() as scratch:
    subprocess.run(["icotool", "--extract", f"--output={scratch}", str(ico)], check=True)
    for size in ico_sizes:
        extracted = list(Path(scratch).glob(f"*_{size}x{size}x32.png"))
        check(len(extracted) == 1, f"icotool extracts one {size} px image")
        if extracted:
            check(Picture(extracted[0]).rows() == Picture(folder / f"{size}.png").rows(),
                  f"the .ico's {size} px image has the {size} px PNG's pixels, alpha and all")

print(f"icon files: {len(failures)} of {checks} checks failed" if failures else f"icon files: {checks} checks passed")
sys.exit(1 if failures else 0)

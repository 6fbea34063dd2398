#!/usr/bin/env python3
"""Checks that a window's icons are the game's rendered PNGs, pixel for pixel: reads the
window's _NET_WM_ICON as `xprop -notype 32c _NET_WM_ICON` prints it on standard input and
compares every icon in it with <hicolor>/<size>x<size>/apps/<app id>.png, read by
GdkPixbuf. Prints the sizes; exits with 1 when there is none or one differs.

Usage: xprop -id WINDOW -notype 32c _NET_WM_ICON | window_icons.py HICOLOR APP_ID
"""
import re
import sys

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

hicolor, app_id = sys.argv[1], sys.argv[2]
text = sys.stdin.read()
if "=" not in text:
    raise SystemExit(f"the window has no icon: {text.strip()}")
# Each icon: its width, its height, then its pixels, one ARGB number each, rows from the top.
values = [int(v) for v in re.findall(r"\d+", text.split("=", 1)[1])]
sizes, failed = [], False
while values:
    width, height = values[0], values[1]
    pixels, values = values[2:2 + width * height], values[2 + width * height:]
    png = GdkPixbuf.Pixbuf.new_from_file(f"{hicolor}/{width}x{height}/apps/{app_id}.png")
    data, stride = png.get_pixels(), png.get_rowstride()
    wanted = []
    for y in range(height):
        for x in range(width):
            r, g, b, a = data[y * stride + x * 4:y * stride + x * 4 + 4]
            wanted.append(a << 24 | r << 16 | g << 8 | b)
    same = pixels == wanted
    failed |= not same
    sizes.append(f"{width}" if same else f"{width} (differs from the PNG)")
print(" ".join(sizes) if sizes else "none")
sys.exit(1 if failed or not sizes else 0)

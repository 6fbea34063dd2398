#!/usr/bin/env python3
"""The icon tool's files, read back by readers of their own: Python's zlib for the PNGs'
streams and checksums, the formats' layouts for the .ico, and the PNG's pixels against
the compiled-in window icons drawn from the same wheel.

Usage: icon_test.py <icon tool>
"""
import re
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

tool = sys.argv[1]
scratch = tempfile.TemporaryDirectory()
work = Path(scratch.name)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    return subprocess.run([tool, *args], capture_output=True, text=True).returncode


def read_png(path):
    """The PNG's width, height and RGBA bytes; every chunk's CRC and the stream's Adler-32
    are checked on the way (zlib.decompress refuses a wrong one)."""
    data = path.read_bytes()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path.name} starts with the PNG signature")
    at, idat, header, types = 8, b"", None, []
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        check(zlib.crc32(kind + body) == crc, f"{path.name}: the {kind} chunk's CRC")
        types.append(kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    check(types[0] == b"IHDR" and types[-1] == b"IEND", f"{path.name}: IHDR first, IEND last")
    width, height, depth, colour, _, _, interlace = header
    check((depth, colour, interlace) == (8, 6, 0), f"{path.name} is 8-bit RGBA, not interlaced")
    raw = zlib.decompress(idat)
    row = width * 4 + 1
    check(len(raw) == row * height, f"{path.name}: one filter byte and {width} pixels a row")
    check(all(raw[y * row] == 0 for y in range(height)), f"{path.name}: every row unfiltered")
    pixels = b"".join(raw[y * row + 1:(y + 1) * row] for y in range(height))
    return width, height, pixels


# ---- PNGs, at the smallest and the largest size ----
for size in (16, 512):
    path = work / f"{size}.png"
    check(run("png", str(size), str(path)) == 0, f"icon png {size} succeeds")
    width, height, pixels = read_png(path)
    check((width, height) == (size, size), f"the {size} px PNG is {width}x{height}")
    alpha = lambda x, y: pixels[(y * size + x) * 4 + 3]
    check(alpha(0, 0) == 0 and alpha(size - 1, size - 1) == 0, f"{size} px: the corners are clear")
    check(alpha(size // 2, size // 2) == 255, f"{size} px: the wheel's middle is opaque")

# ---- The window icons' source holds the same pixels as the PNG of its size ----
source = work / "window_icons.cpp"
check(run("source", str(source), "16", "32") == 0, "icon source succeeds")
text = source.read_text()
check("kWindowIcons" in text and "{16, kRgb16, kAlpha16}" in text, "the source lists its icons")


def array(name):
    body = re.search(r"const unsigned char %s\[\] = \{(.*?)\};" % name, text, re.S).group(1)
    return bytes(int(v) for v in body.replace("\n", "").split(",") if v.strip())


_, _, png16 = read_png(work / "16.png")
rgb = bytes(b for i, b in enumerate(png16) if i % 4 != 3)
alpha16 = bytes(png16[3::4])
check(array("kRgb16") == rgb and array("kAlpha16") == alpha16,
      "the compiled-in 16 px icon has the PNG's pixels")

# ---- The .ico: the three images casino.exe carries ----
ico_path = work / "casino.ico"
check(run("ico", str(ico_path)) == 0, "icon ico succeeds")
ico = ico_path.read_bytes()
reserved, kind, count = struct.unpack("<HHH", ico[:6])
check((reserved, kind, count) == (0, 1, 3), "an icon file of three images")
wanted = [(32, 2, 1), (32, 16, 4), (16, 16, 4)]
for i, (size, colours, bits) in enumerate(wanted):
    w, h, n, _, planes, bpp, length, offset = struct.unpack("<BBBBHHII", ico[6 + 16 * i:22 + 16 * i])
    check((w, h, n, planes, bpp) == (size, size, colours, 1, bits),
          f"image {i} is {size}x{size} in {colours} colours: {w}x{h}, {n}, {bpp} bits")
    check(offset + length <= len(ico), f"image {i} lies inside the file")
    image = ico[offset:offset + length]
    (hsize, bw, bh, bplanes, bbits, compression, _, _, _, used, _) = struct.unpack(
        "<IiiHHIIiiII", image[:40])
    check((hsize, bw, bh, bplanes, bbits, compression, used) ==
          (40, size, 2 * size, 1, bits, 0, colours), f"image {i}'s bitmap header")
    stride = lambda b: (size * b + 31) // 32 * 4
    colour_bytes, mask_bytes = stride(bits) * size, stride(1) * size
    check(length == 40 + 4 * colours + colour_bytes + mask_bytes, f"image {i}'s length")
    mask = image[40 + 4 * colours + colour_bytes:]
    # Rows go from the bottom; a set bit is a clear pixel.
    clear = lambda x, y: (mask[(size - 1 - y) * stride(1) + x // 8] >> (7 - x % 8)) & 1
    check(clear(0, 0) and clear(size - 1, size - 1), f"image {i}: the corners are clear")
    check(not clear(size // 2, size // 2), f"image {i}: the wheel's middle is opaque")
    if colours == 16:
        pixels = image[40 + 64:40 + 64 + colour_bytes]
        used_colours = {p >> 4 for p in pixels} | {p & 15 for p in pixels}
        check(len(used_colours) >= 4, f"image {i} draws in {len(used_colours)} colours")

# ---- Sizes it refuses ----
for bad in ("0", "513", "12px"):
    check(run("png", bad, str(work / "bad.png")) == 2, f"icon png {bad} is refused")

print(f"icon tool: {'FAILED' if failures else 'all checks passed'}")
sys.exit(1 if failures else 0)

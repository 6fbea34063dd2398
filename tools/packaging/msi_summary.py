#!/usr/bin/env python3
"""Rewrites what wixl makes up in a Windows installer's summary information, so that
building the same installer twice gives the same bytes, and its language is the product's:

  - the creation and last-saved times, which wixl takes from the clock, become the time
    given;
  - the language in the template ("x64;1033"), which wixl writes as 1033 whatever the
    product's language, becomes the language given;
  - the package code, which wixl draws at random, becomes a name-based code of the
    installer's own contents, so that it changes whenever anything in the package does
    (the version included) and only then.

    msi_summary.py INSTALLER.msi --time SECONDS --namespace GUID --language LANGID

The installer is an OLE compound file; the summary information is its stream
"\\x05SummaryInformation", a property set. Every value rewritten keeps its length, so the
stream is patched where it lies and nothing else in the file moves.
"""

import argparse
import hashlib
import struct
import uuid

SIGNATURE = bytes.fromhex("d0cf11e0a1b11ae1")
FREE, END_OF_CHAIN = 0xFFFFFFFF, 0xFFFFFFFE
SUMMARY_STREAM = "\x05SummaryInformation"

# Property ids and types of the summary information (the "Summary Information Stream
# Property Set" of Windows Installer).
PID_TEMPLATE, PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 7, 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
FILETIME_OF_1970 = 116444736000000000  # 100 ns intervals from 1601 to 1970


class CompoundFile:
    """Just enough of the compound file format to find where one stream's bytes lie."""

    def __init__(self, data):
        if data[:8] != SIGNATURE:
            raise SystemExit("msi_summary.py: not a compound file")
        self.data = data
        self.sector_size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_sector_size = 1 << struct.unpack_from("<H", data, 0x20)[0]
        (self.mini_cutoff,) = struct.unpack_from("<I", data, 0x38)
        first_dir, = struct.unpack_from("<I", data, 0x30)
        first_minifat, minifat_count = struct.unpack_from("<II", data, 0x3C)
        first_difat, difat_count = struct.unpack_from("<II", data, 0x44)

        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s != FREE]
        difat = first_difat
        for _ in range(difat_count):
            per_sector = self.sector_size // 4 - 1
            entries = struct.unpack_from(f"<{per_sector + 1}I", data, self.offset(difat))
            fat_sectors += [s for s in entries[:-1] if s != FREE]
            difat = entries[-1]
        self.fat = []
        for sector in fat_sectors:
            self.fat += struct.unpack_from(f"<{self.sector_size // 4}I", data, self.offset(sector))

        self.minifat = []
        if minifat_count:
            raw = b"".join(self.sector(s) for s in self.chain(first_minifat))
            self.minifat = list(struct.unpack(f"<{len(raw) // 4}I", raw))

        directory = b"".join(self.sector(s) for s in self.chain(first_dir))
        self.entries = [directory[i : i + 128] for i in range(0, len(directory), 128)]
        root_start, = struct.unpack_from("<I", self.entries[0], 116)
        self.mini_stream_sectors = list(self.chain(root_start))

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def sector(self, sector):
        return self.data[self.offset(sector) : self.offset(sector) + self.sector_size]

    def chain(self, start, table=None):
        table = self.fat if table is None else table
        seen, sector = set(), start
        while sector != END_OF_CHAIN:
            if sector in seen or sector >= len(table):
                raise SystemExit("msi_summary.py: a broken sector chain")
            seen.add(sector)
            yield sector
            sector = table[sector]

    def stream_offsets(self, name):
        """The file offset of every byte of the named stream, in order."""
        for entry in self.entries:
            length, = struct.unpack_from("<H", entry, 64)
            if entry[:length].decode("utf-16-le").rstrip("\0") == name and entry[66] == 2:
                start, size = struct.unpack_from("<IQ", entry, 116)
                break
        else:
            raise SystemExit(f"msi_summary.py: no stream {name!r}")
        offsets = []
        if size < self.mini_cutoff:
            for mini in self.chain(start, self.minifat):
                at = mini * self.mini_sector_size
                sector = self.mini_stream_sectors[at // self.sector_size]
                base = self.offset(sector) + at % self.sector_size
                offsets += range(base, base + self.mini_sector_size)
        else:
            for sector in self.chain(start):
                offsets += range(self.offset(sector), self.offset(sector) + self.sector_size)
        return offsets[:size]


def properties(stream):
    """The summary's properties: {id: (type, offset of the value in the stream)}."""
    section, = struct.unpack_from("<I", stream, 28 + 16)
    _, count = struct.unpack_from("<II", stream, section)
    found = {}
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        kind, = struct.unpack_from("<I", stream, section + at)
        found[pid] = (kind, section + at + 4)
    return found


def filetime(seconds):
    return struct.pack("<Q", FILETIME_OF_1970 + seconds * 10_000_000)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("installer")
    parser.add_argument("--time", type=int, required=True)
    parser.add_argument("--namespace", type=uuid.UUID, required=True)
    parser.add_argument("--language", type=int, required=True)
    args = parser.parse_args()

    with open(args.installer, "rb") as f:
        data = bytearray(f.read())
    offsets = CompoundFile(bytes(data)).stream_offsets(SUMMARY_STREAM)
    stream = bytearray(data[i] for i in offsets)
    found = properties(stream)

    def put(at, value):
        stream[at : at + len(value)] = value
        for i, byte in zip(offsets[at : at + len(value)], value):
            data[i] = byte

    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        kind, at = found.get(pid, (None, 0))
        if kind != VT_FILETIME:
            raise SystemExit(f"msi_summary.py: property {pid} is not a time")
        put(at, filetime(args.time))

    # The template is "platform;language", a string ending in a zero byte; the language
    # given must be as long as wixl's, so that the stream keeps its length.
    kind, at = found.get(PID_TEMPLATE, (None, 0))
    length, = struct.unpack_from("<I", stream, at)
    template = bytes(stream[at + 4 : at + 4 + length]).rstrip(b"\0").decode("ascii")
    platform, _, language = template.partition(";")
    wanted = f"{platform};{args.language}".encode("ascii")
    if kind != VT_LPSTR or not language.isdigit() or len(wanted) != len(template):
        raise SystemExit(f"msi_summary.py: cannot give the template {template!r} the language {args.language}")
    put(at + 4, wanted)

    kind, at = found.get(PID_REVNUMBER, (None, 0))
    length, = struct.unpack_from("<I", stream, at)
    if kind != VT_LPSTR or length != 39:
        raise SystemExit("msi_summary.py: the package code is not a {GUID}")
    # The code is made from the package with a code of zeros in its place.
    put(at + 4, b"{" + str(uuid.UUID(int=0)).encode() + b"}")
    code = uuid.uuid5(args.namespace, hashlib.sha256(data).hexdigest())
    put(at + 4, b"{" + str(code).upper().encode() + b"}")

    with open(args.installer, "wb") as f:
        f.write(data)
    print(f"{args.installer}: package code {{{str(code).upper()}}}")


if __name__ == "__main__":
    main()

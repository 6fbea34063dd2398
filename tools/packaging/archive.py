#!/usr/bin/env python3
"""Packs an installed tree into a .zip or a .tar.gz that is the same, byte for byte, every
time the same tree is packed: entries in name order, every time the given one, owned by
root, with permissions that depend only on whether a file is executable.

    archive.py zip|tar.gz OUTPUT TREE TOP --mtime SECONDS

Each entry is named TOP/<its path under TREE>. The archivers in CPack add files in the
order the file system lists them, which differs from one file system to another.
"""

import argparse
import gzip
import os
import stat
import tarfile
import time
import zipfile


def entries(tree):
    """The tree itself (".") and every folder and file under it, as (path relative to
    tree, is folder), each folder before what it holds and names in byte order."""
    found = []
    for folder, _, files in os.walk(tree):
        found.append((os.path.relpath(folder, tree), True))
        for name in files:
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path):
                raise SystemExit(f"archive.py: {path} is not a plain file")
            found.append((os.path.relpath(path, tree), False))
    found.sort(key=lambda entry: [] if entry[0] == "." else entry[0].split(os.sep))
    return found


def name_in(top, relative, is_folder):
    parts = [top] + ([] if relative == "." else relative.split(os.sep))
    return "/".join(parts) + ("/" if is_folder else "")


def mode_of(path, is_folder):
    if is_folder or os.stat(path).st_mode & 0o111:
        return 0o755
    return 0o644


def write_zip(output, tree, top, mtime):
    stamp = time.gmtime(mtime)[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for relative, is_folder in entries(tree):
            path = os.path.join(tree, relative)
            info = zipfile.ZipInfo(name_in(top, relative, is_folder), date_time=stamp)
            info.create_system = 3  # Unix, so that the permissions below are read
            kind = stat.S_IFDIR if is_folder else stat.S_IFREG
            info.external_attr = (kind | mode_of(path, is_folder)) << 16
            if is_folder:
                info.external_attr |= 0x10  # the MS-DOS folder flag
                archive.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as source:
                    archive.writestr(info, source.read(), compresslevel=9)


def write_tar_gz(output, tree, top, mtime):
    # No file name and no time in the gzip header.
    with open(output, "wb") as raw, gzip.GzipFile(
        filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0
    ) as compressed, tarfile.open(fileobj=compressed, mode="w", format=tarfile.GNU_FORMAT) as archive:
        for relative, is_folder in entries(tree):
            path = os.path.join(tree, relative)
            info = tarfile.TarInfo(name_in(top, relative, is_folder).rstrip("/"))
            info.mtime = mtime
            info.uid = info.gid = 0
            info.uname = info.gname = "root"
            info.mode = mode_of(path, is_folder)
            if is_folder:
                info.type = tarfile.DIRTYPE
                archive.addfile(info)
            else:
                info.size = os.path.getsize(path)
                with open(path, "rb") as source:
                    archive.addfile(info, source)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("format", choices=["zip", "tar.gz"])
    parser.add_argument("output")
    parser.add_argument("tree")
    parser.add_argument("top")
    parser.add_argument("--mtime", type=int, required=True)
    args = parser.parse_args()
    write = write_zip if args.format == "zip" else write_tar_gz
    write(args.output, args.tree, args.top, args.mtime)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Gives an installed tree the permissions a package holds whatever the umask of whoever
built it: every folder 0755, every file 0644, or 0755 when anyone may execute it.

    permissions.py TREE

CMake's install applies the umask to the folders it makes, despite
CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS, and copies a generated file with the
permissions the build gave it; a package built under umask 027 would hold folders that
only root can open.
"""

import os
import stat
import sys


def fix(path, mode):
    if stat.S_IMODE(os.lstat(path).st_mode) != mode:
        os.chmod(path, mode)


def main():
    if len(sys.argv) != 2 or not os.path.isdir(sys.argv[1]):
        raise SystemExit("usage: permissions.py TREE")
    tree = sys.argv[1]
    fix(tree, 0o755)
    for folder, folders, files in os.walk(tree):
        for name in folders:
            fix(os.path.join(folder, name), 0o755)
        for name in files:
            path = os.path.join(folder, name)
            if os.path.islink(path):
                continue
            executable = os.stat(path).st_mode & 0o111
            fix(path, 0o755 if executable else 0o644)


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# Configures the Windows cross build (MinGW-w64), the one the test command checks and the
# Windows package comes from: Release, with the automation program and the benchmark's bare
# window, warnings as errors.
# The folder is build/win32, or $CASINO_WIN32_BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B "${CASINO_WIN32_BUILD:-build/win32}" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCASINO_WERROR=ON -DCASINO_TESTS=ON -DCASINO_BENCH=ON -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null

#!/usr/bin/env bash
# Configures build/release, the build the test command checks: g++, Release (-O3), the
# game for this platform with its tests and the benchmark's bare windows, and warnings as
# errors.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCASINO_WERROR=ON \
  -DCASINO_TESTS=ON -DCASINO_WX=ON -DCASINO_BENCH=ON >/dev/null

#!/usr/bin/env bash
# The whole test run: installs what is missing, builds every target and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

scripts/install-deps.sh all

echo "== core: build and unit, scenario and golden-transcript tests"
cmake -S . -B build/core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/core
ctest --test-dir build/core --output-on-failure

for part in scripts/test-*.sh; do
  [ -e "$part" ] || continue
  echo "== $(basename "$part" .sh)"
  bash "$part"
done

echo "== all tests passed in $((SECONDS - start)) s"

#!/usr/bin/env bash
# The unit, scenario and golden tests again under AddressSanitizer and UndefinedBehavior-
# Sanitizer (clang 14, Release, build/asan), then a bounded run of each fuzz target (build/fuzz).
# FUZZ_SECONDS sets how long each fuzz target runs (default 60; they run side by side).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

echo "-- unit tests under ASan + UBSan"
# Release (-O3) with warnings as errors: clang's optimiser sees what g++'s does not.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Release -DCASINO_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCASINO_SANITIZE=ON -DCASINO_WX=OFF -DCASINO_TESTS=ON >/dev/null
cmake --build build/asan -j2
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --no-tests=error --output-on-failure -j2
echo "-- sanitizer unit tests passed in $((SECONDS - start)) s"

echo "-- fuzz targets, ${FUZZ_SECONDS:-60} s each"
bash fuzz/run.sh "${FUZZ_SECONDS:-60}"
echo "-- sanitizer build and fuzzing passed in $((SECONDS - start)) s"

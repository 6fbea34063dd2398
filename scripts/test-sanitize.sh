#!/usr/bin/env bash
# The unit, scenario and golden tests again under AddressSanitizer and UndefinedBehavior-
# Sanitizer (clang 14, Release, build/asan), with the Linux front end's cue player and its
# tests; the cue player's threads under ThreadSanitizer (build/tsan); then a bounded run of
# each fuzz target (build/fuzz). FUZZ_SECONDS sets how long each fuzz target runs (default
# 60; they run side by side).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
sanitizers=(-DCMAKE_BUILD_TYPE=Release -DCASINO_WERROR=ON -DCMAKE_CXX_COMPILER=clang++-14
  -DCASINO_WX=ON -DCASINO_TESTS=ON)

echo "-- unit tests under ASan + UBSan"
# Release (-O3) with warnings as errors: clang's optimiser sees what g++'s does not. Of the
# Linux front end only the cue player is built: the window's tests need a display.
cmake -S . -B build/asan -G Ninja "${sanitizers[@]}" -DCASINO_SANITIZE=ON >/dev/null
cmake --build build/asan -j2 --target core_tests replay cue_player_tests
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan --no-tests=error --output-on-failure -j2 -LE wx
ctest --test-dir build/asan --no-tests=error --output-on-failure -j2 -L wx -R '^CueFolder\.'
echo "-- sanitizer unit tests passed in $((SECONDS - start)) s"

echo "-- the cue player's threads under TSan"
tsan_start=$SECONDS
cmake -S . -B build/tsan -G Ninja "${sanitizers[@]}" -DCMAKE_CXX_FLAGS=-fsanitize=thread \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build/tsan -j2 --target cue_player_tests
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/wx/cue_player_tests
echo "-- the cue player passed under TSan in $((SECONDS - tsan_start)) s"

echo "-- fuzz targets, ${FUZZ_SECONDS:-60} s each"
bash fuzz/run.sh "${FUZZ_SECONDS:-60}"
echo "-- sanitizer build and fuzzing passed in $((SECONDS - start)) s"

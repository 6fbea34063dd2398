#!/usr/bin/env bash
# The whole test run: installs what is missing, builds every target and runs every test.
#   build/release  g++, Release, warnings as errors: the game, the core suite, the wx tests
#   build/win32    MinGW-w64 cross build, driven under Wine       (scripts/test-win32.sh)
#   build/asan     clang, Release, ASan + UBSan; then fuzzing      (scripts/test-sanitize.sh)
#   build/web      Emscripten, played in headless Chromium         (scripts/test-web.sh)
#   random player input into each real program, through the monkey  (scripts/test-monkey.sh)
#   the packages built twice more, the second time two days later under another umask, time
#   zone, locale and folder, and compared                           (scripts/check-reproducible.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
log=$(mktemp)
trap 'rm -f "$log"' EXIT

scripts/install-deps.sh all

echo "== core: build and unit, scenario and golden-transcript tests"
scripts/configure-release.sh
cmake --build build/release
ctest --test-dir build/release --no-tests=error --output-on-failure -LE wx 2>&1 | tee -a "$log"

for part in scripts/test-*.sh; do
  [ -e "$part" ] || continue
  echo "== $(basename "$part" .sh)"
  bash "$part" 2>&1 | tee -a "$log"
done

echo "== check-reproducible"
bash scripts/check-reproducible.sh 2>&1 | tee -a "$log"

# Every part stops the run at its first failure, so reaching here means all passed.
ctest_total=$(grep -oE 'tests failed out of [0-9]+' "$log" | awk '{s += $NF} END {print s + 0}')
# The parts that are no ctest cases report alike: "FAIL: ..." lines, then "N checks passed".
checks=$(grep -E '^[0-9]+ checks passed$' "$log" | awk '{s += $1} END {print s + 0}')
monkeys=$(grep -cE '^monkey: [0-9]+ steps, ' "$log" || true)
echo "== all tests passed in $((SECONDS - start)) s: $ctest_total test cases, $checks checks, $monkeys monkey runs"
echo "tests: $((ctest_total + checks + monkeys)) passed, 0 failed"

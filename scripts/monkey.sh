#!/usr/bin/env bash
# Monkey runs: random native input into both real programs for SECONDS each. The Linux
# program gets real X input (x_monkey, XTest) under a virtual X server; casino.exe gets the
# automation program's window messages and real X input under Wine. After every step each
# must be running (or have ended with exit code 0 after a close), answer within two
# seconds, not spin while idle, write nothing on stderr, and show balances that follow
# what its boxes announced.
# Usage: scripts/monkey.sh SECONDS [SEED] [wx|win32]
# A failing run prints its seed and its last 50 steps; the same command with that seed
# gives the same input again (the game's own draws follow the clock, so a replay can part
# ways once a draw differs).
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] && [ "$1" -gt 0 ] 2>/dev/null || { echo "usage: $0 SECONDS [SEED] [wx|win32]" >&2; exit 2; }
seconds=$1
seed=${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
only=${3:-}
start=$SECONDS
echo "monkey: seed $seed, $seconds s for each program; replay: scripts/monkey.sh $seconds $seed"

scripts/install-deps.sh all
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target casino x_monkey casino_monkey_observer

failed=()
ran=()
if [ "$only" != win32 ]; then
  ran+=(wx)
  echo "== monkey: the Linux program"
  # The program runs from the folder that holds sound/, on a display of its own.
  (cd build/release && NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    timeout $((seconds + 300)) tests/wx/x_monkey wx ./casino \
    "$PWD/tests/wx/libcasino_monkey_observer.so" "$seconds" "$seed") || failed+=(wx)
fi
if [ "$only" != wx ]; then
  ran+=(win32)
  echo "== monkey: casino.exe under Wine"
  scripts/test-win32.sh --monkey "$seconds" "$seed" || failed+=(win32)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "monkey: FAILED (${failed[*]}); replay: scripts/monkey.sh $seconds $seed ${failed[0]}"
  exit 1
fi
echo "monkey: ${ran[*]} passed in $((SECONDS - start)) s, seed $seed"

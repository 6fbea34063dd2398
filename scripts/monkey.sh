#!/usr/bin/env bash
# Monkey runs: random player input into the real programs for SECONDS each, through the one
# monkey (tests/support/monkey.h) and a transport per front end, which performs each line
# with the platform's own input. After every line what the program showed must be what the
# replay session shows for the same lines (the monkey fixes the program's clock, so both
# draw the same); and the program must run, or have ended with exit code 0 after a close,
# answer within two seconds, not spin while idle and write nothing on stderr.
# Usage: scripts/monkey.sh SECONDS [SEED] [wx|win32|web]...  (no front end named: all of them)
# A failing run prints its seed and its last 50 steps; the same command with that seed
# gives the very same run again.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] && [ "$1" -gt 0 ] 2>/dev/null || { echo "usage: $0 SECONDS [SEED] [wx|win32|web]..." >&2; exit 2; }
seconds=$1
seed=${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
shift $(($# < 2 ? $# : 2))
fronts=" ${*:-wx win32 web} "
start=$SECONDS
echo "monkey: seed $seed, $seconds s for each program; replay: scripts/monkey.sh $seconds $seed"

scripts/install-deps.sh all
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" \
  --target casino monkey x_monkey casino_monkey_observer web_tables
monkey=$PWD/build/release/tests/support/monkey

failed=()
ran=()
# ---- The transports, one per front end: each runs "$monkey" SECONDS SEED -- TRANSPORT ----
if [[ $fronts == *" wx "* ]]; then
  ran+=(wx)
  echo "== monkey: the Linux program"
  # The program runs from the folder that holds sound/, on a display and a session bus of its
  # own; its transport reads it from the accessibility bus.
  (cd build/release && NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    dbus-run-session -- timeout $((seconds + 120)) "$monkey" "$seconds" "$seed" -- \
    /usr/bin/python3 ../../tests/wx/bus_transport.py --x11 tests/wx/x_monkey --seed "$seed" \
    ./web_tables ./casino tests/wx/libcasino_monkey_observer.so 2>&1 | grep -v '^dbus-daemon\[') ||
    failed+=(wx)
fi
if [[ $fronts == *" win32 "* ]]; then
  ran+=(win32)
  echo "== monkey: casino.exe under Wine"
  scripts/test-win32.sh --monkey "$seconds" "$seed" || failed+=(win32)
fi
if [[ $fronts == *" web "* ]]; then
  ran+=(web)
  scripts/lib/monkey-web.sh "$seconds" "$seed" "$monkey" || failed+=(web)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "monkey: FAILED (${failed[*]}); replay: scripts/monkey.sh $seconds $seed ${failed[0]}"
  exit 1
fi
echo "monkey: ${ran[*]} passed in $((SECONDS - start)) s, seed $seed"

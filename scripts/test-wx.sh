#!/usr/bin/env bash
# The Linux front end's tests: builds the program and its tests into build/wx and runs them
# on a virtual X server of their own. With --screenshots it also photographs each screen
# into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

trap 'echo "test-wx: FAILED (see above)" >&2' ERR

scripts/install-deps.sh game

shots=
if [ "${1:-}" = "--screenshots" ]; then
  mkdir -p docs/screenshots
  shots=$PWD/docs/screenshots
fi

cmake -S . -B build/wx -G Ninja -DCASINO_WX=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/wx --parallel "${CASINO_JOBS:-2}" --target casino casino_icon wx_gui_tests cue_player_tests close_window

# -a picks a free display number, so this never meets another X server on the machine.
export NO_AT_BRIDGE=1 CASINO_SCREENSHOTS="$shots"
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
  ctest --test-dir build/wx -L wx --output-on-failure --timeout 200

echo "test-wx: all passed in $((SECONDS - start)) s"

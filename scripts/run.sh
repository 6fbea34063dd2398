#!/usr/bin/env bash
# Builds the Linux program and starts the game, installing whatever is missing first.
# Usage: scripts/run.sh            (on a desktop)
#        xvfb-run -a scripts/run.sh (without one, on a virtual X server)
# The build in build/game is complete: `cmake --install build/game` installs the game.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh game

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to open the game window on (DISPLAY is not set); to run it on a virtual X server instead: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

cmake -S . -B build/game -G Ninja -DCASINO_TESTS=OFF >/dev/null
cmake --build build/game --parallel "${CASINO_JOBS:-2}"

# The game finds its sounds in sound/ under the folder it is started from.
cd build/game
exec ./casino

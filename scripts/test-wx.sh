#!/usr/bin/env bash
# The Linux front end's tests: builds the program and its tests into build/release and runs
# them on a virtual X server of their own (the install and the packages are
# test-package.sh's). With --screenshots it also photographs each screen into
# docs/screenshots/.
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

scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}"

# -a picks a free display number, so this never meets another X server on the machine.
export NO_AT_BRIDGE=1 CASINO_SCREENSHOTS="$shots"
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp -noreset" \
  ctest --test-dir build/release -L wx --no-tests=error --output-on-failure --timeout 200

echo "test-wx: all passed in $((SECONDS - start)) s"

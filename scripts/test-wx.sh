#!/usr/bin/env bash
# The Linux front end's tests: builds the program and its tests into build/release and runs
# them on a virtual X server of their own, then installs the build into a scratch prefix
# and checks that everything an installed game needs is there. With --screenshots it also
# photographs each screen into docs/screenshots/.
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
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
  ctest --test-dir build/release -L wx --no-tests=error --output-on-failure --timeout 200

# The install is complete: the program, its sounds, the desktop entry and the icon.
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build/release --prefix "$prefix" >/dev/null
for f in bin/casino share/applications/casino.desktop share/icons/hicolor/128x128/apps/casino.png \
  share/casino/sound/door.wav share/casino/sound/nomore.wav share/casino/sound/laugh3.wav \
  share/casino/sound/applaus8.wav share/casino/sound/cophit.wav share/casino/sound/siren.wav; do
  [ -s "$prefix/$f" ] || { echo "test-wx: cmake --install left out $f" >&2; exit 1; }
done
echo "test-wx: all passed in $((SECONDS - start)) s"

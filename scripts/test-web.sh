#!/usr/bin/env bash
# The web build's tests: builds the page and its zip into build/web and the replay tool and
# the core's tables (web_tables) into build/release, then plays the whole game in headless
# Chromium with real clicks and keys (tests/web/walk_test.mjs, tests/web/walk.script), served
# from 127.0.0.1 out of the unpacked zip, checked line for line against the replay tool's
# transcript of the same script, with the accessibility tree read for every control, list,
# menu and box, an offline reload from the service worker's copy, nothing on the page's
# console and no request beyond its own files. With --screenshots it also photographs the
# street, the floor and the pawnshop into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

trap 'echo "test-web: FAILED (see above)" >&2' ERR

scripts/install-deps.sh web

scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}"
cmake --build build/web --target packages >/dev/null
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target replay web_tables

# The zip holds the folder as the build made it, and the game is played from the zip.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(cat build/web/version.txt)
unzip -q "build/web/packages/casino-$version-web.zip" -d "$work"
site=$work/casino-$version-web
diff -r build/web/site "$site"
timeout 300 node tests/web/walk_test.mjs "$site" build/release/replay build/release/web_tables
if [ "${1:-}" = "--screenshots" ]; then
  mkdir -p docs/screenshots
  timeout 300 node tests/web/screenshots.mjs build/web/site docs/screenshots build/release/web_tables
fi

echo "test-web: all passed in $((SECONDS - start)) s"

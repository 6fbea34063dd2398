#!/usr/bin/env bash
# The web build's tests: builds the page into build/web and the replay tool into
# build/release, then plays a short game in headless Chromium with real clicks and keys
# (tests/web/smoke_test.mjs), served from 127.0.0.1: the street, "вход" with its cue and
# greeting, a function key, an offline reload from the service worker's copy, and "выход",
# checked against the replay tool's transcript of the same input, with nothing on the
# page's console and no request beyond its own files. With --screenshots it also
# photographs the street, the floor and the pawnshop into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

trap 'echo "test-web: FAILED (see above)" >&2' ERR

scripts/install-deps.sh web

scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}"
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target replay

timeout 300 node tests/web/smoke_test.mjs build/web/site build/release/replay
if [ "${1:-}" = "--screenshots" ]; then
  mkdir -p docs/screenshots
  timeout 300 node tests/web/screenshots.mjs build/web/site docs/screenshots
fi

echo "test-web: all passed in $((SECONDS - start)) s"

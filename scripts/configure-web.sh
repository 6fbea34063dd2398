#!/usr/bin/env bash
# Configures the web build (Emscripten), the one the test command checks and the web package
# comes from: Release, with the benchmark's bare page, warnings as errors. The folder is
# build/web, or $CASINO_WEB_BUILD.
# Debian's Emscripten finds its JavaScript parser only through NODE_PATH.
set -euo pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# emcmake tells on stderr the command it runs; the configure's own errors follow it there.
emcmake cmake -S . -B "${CASINO_WEB_BUILD:-build/web}" -DCMAKE_BUILD_TYPE=Release \
  -DCASINO_WERROR=ON -DCASINO_BENCH=ON 2> >(grep -v '^configure: ' >&2) >/dev/null

#!/usr/bin/env bash
# The monkey on the web page: builds the page (build/web) and the core's tables for the web
# tests (build/release), then runs the one monkey for SECONDS with tests/web/transport.mjs,
# which plays the monkey's lines on the page in headless Chromium with real input.
# Usage: scripts/lib/monkey-web.sh SECONDS SEED MONKEY_PROGRAM   (scripts/monkey.sh calls it)
set -euo pipefail
cd "$(dirname "$0")/../.."
[ $# -eq 3 ] || { echo "usage: $0 SECONDS SEED MONKEY_PROGRAM" >&2; exit 2; }
seconds=$1 seed=$2 monkey=$3

scripts/install-deps.sh web
scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}"
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target web_tables

echo "== monkey: the web page in headless Chromium"
timeout $((seconds + 120)) "$monkey" "$seconds" "$seed" -- \
  node tests/web/transport.mjs build/web/site build/release/web_tables

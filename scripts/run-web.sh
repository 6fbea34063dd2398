#!/usr/bin/env bash
# Builds the web build and serves it on this machine, installing whatever is missing first.
# Usage: scripts/run-web.sh [PORT]   (default 8000)
# Open the address it prints in a browser. The folder it serves, build/web/site, is the
# whole game: any static web server can serve it (the zip that scripts/package.sh makes
# holds the same folder).
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}

scripts/install-deps.sh web >&2

scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}"

echo "run-web: the game is at http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server --bind 127.0.0.1 "$port" --directory build/web/site

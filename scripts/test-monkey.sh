#!/usr/bin/env bash
# The monkey part of the test command: 40 s of random player input into each real program
# (the Linux one, casino.exe under Wine, the web page in headless Chromium), with a fresh
# seed each time (printed, so a failure can be replayed). CASINO_MONKEY_SEED fixes the seed.
set -euo pipefail
cd "$(dirname "$0")/.."
seed=${CASINO_MONKEY_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
exec scripts/monkey.sh 40 "$seed" wx win32 web

#!/usr/bin/env bash
# The monkey part of the test command: a minute of random native input into each real
# program, with a fresh seed each time (printed, so a failure can be replayed).
# CASINO_MONKEY_SEED fixes the seed.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/monkey.sh 60 ${CASINO_MONKEY_SEED:-}

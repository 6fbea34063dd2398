#!/usr/bin/env bash
# The monkey part of the test command: a minute of random input into each real program
# whose transport speaks to the one monkey, with a fresh seed each time (printed, so a
# failure can be replayed). CASINO_MONKEY_SEED fixes the seed.
set -euo pipefail
cd "$(dirname "$0")/.."
seed=${CASINO_MONKEY_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
# Each front end's transport joins this list once it speaks the monkey's lines.
exec scripts/monkey.sh 60 "$seed" wx

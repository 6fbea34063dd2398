#!/usr/bin/env bash
# A long fuzzing session on demand: each target runs for SECONDS (default 1800), side by
# side, keeping its growing corpus in build/fuzz/long between sessions. Findings land in
# build/fuzz/long/<target>/findings; turn each into a golden transcript in tests/golden.
# To fold what a session learnt into the committed seeds, keep them few and small:
#   build/fuzz/fuzz/game_fuzzer -merge=1 fuzz/corpus/game build/fuzz/long/game/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
bash fuzz/run.sh "${1:-1800}" build/fuzz/long

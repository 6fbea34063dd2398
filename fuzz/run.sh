#!/usr/bin/env bash
# Builds the fuzz targets (clang 14, libFuzzer, ASan, UBSan) into build/fuzz and runs each
# for a bounded time, both at once (one core each). Prints the figures of every target and
# fails on any crash, sanitizer report or broken invariant.
#
# Usage: fuzz/run.sh SECONDS [WORKDIR]
#   SECONDS  how long each target runs
#   WORKDIR  where the growing corpora and any findings go (default build/fuzz/run, emptied
#            first); the committed seeds in fuzz/corpus are copied in and never written to
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [WORKDIR]}
work=${2:-build/fuzz/run}
targets=(number game)

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCASINO_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCASINO_FUZZ=ON -DCASINO_WX=OFF -DCASINO_TESTS=ON >/dev/null
cmake --build build/fuzz -j2 --target number_fuzzer game_fuzzer

[ -n "${2:-}" ] || rm -rf "$work"
for t in "${targets[@]}"; do
  mkdir -p "$work/$t/corpus" "$work/$t/findings"
  cp -n fuzz/corpus/"$t"/* "$work/$t/corpus/"
done

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
pids=()
for t in "${targets[@]}"; do
  build/fuzz/fuzz/"$t"_fuzzer "$work/$t/corpus" -max_total_time="$seconds" \
    -print_final_stats=1 -timeout=10 -rss_limit_mb=1536 \
    -artifact_prefix="$work/$t/findings/" >"$work/$t/log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  status=0
  wait "${pids[$i]}" || status=$?
  log=$work/$t/log
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  what=$(sed -n "s/^${t}_fuzzer: //p" "$log" | tail -1)
  echo "${t}_fuzzer: ${execs:-?} executions (${rate:-?}/s), ${what:-no figures} in ${seconds} s"
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/$t/findings")" ]; then
    failed=1
    echo "!! ${t}_fuzzer FAILED (status $status); findings in $work/$t/findings:" >&2
    ls "$work/$t/findings" >&2
    grep -v '^#' "$log" | tail -60 >&2
  fi
done
exit "$failed"

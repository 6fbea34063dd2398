#!/usr/bin/env bash
# Start-up and memory of each program against a bare window of its toolkit: the Linux game
# against a wx frame with a menu bar and one button, casino.exe under Wine against a Win32
# window with a menu and one button built with the same manifest and static settings.
# Each pair runs RUNS times (default 20), alternating, on a virtual X server; map_timer
# times from process start to the MapNotify of the program's window and reads its peak
# resident memory. Prints the medians, the ratios program / bare, and casino.exe's size.
# The web page is loaded against a bare Emscripten page with one button, both in the same
# headless Chromium (bench/web_bench.mjs): the bytes transferred, the time to the first
# paint and the renderer's peak memory, over WEB_RUNS loads each (default 10); then
# Lighthouse 12.2.3 (pinned in tests/web) audits the page with its mobile and desktop
# settings: the four categories' scores, the first and the largest contentful paint.
# Figures, not a test: nothing here fails on a slow machine.
# Usage: scripts/bench.sh [desktop|web]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-20}
start=$SECONDS
only=${1:-}
case "$only" in
  '' | desktop | web) ;;
  *) echo "usage: $0 [desktop|web]" >&2; exit 2 ;;
esac

scripts/install-deps.sh all >/dev/null

if [ "$only" = web ] || [ -z "$only" ]; then
  scripts/configure-web.sh
  cmake --build build/web --parallel "${CASINO_JOBS:-2}" --target site bare_web_page >/dev/null
  node bench/web_bench.mjs build/web/site build/web/bench/bare_web "${WEB_RUNS:-10}"
  echo "casino.wasm: $(stat -c %s build/web/site/casino.wasm) bytes; casino.js: $(stat -c %s build/web/site/casino.js) bytes; index.html: $(stat -c %s build/web/site/index.html) bytes"
  [ "$only" = web ] && { echo "bench: done in $((SECONDS - start)) s"; exit 0; }
fi

scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target casino bare_wx map_timer >/dev/null
win32=${CASINO_WIN32_BUILD:-build/win32}
scripts/configure-win32.sh
cmake --build "$win32" --parallel "${CASINO_JOBS:-2}" --target casino bare_win32 >/dev/null

source scripts/lib/virtual-desktop.sh
open_work
start_x "$work"
# GTK loads the X server's GL driver (some 50 MB with its compiler) at start-up or not,
# depending on the server's state; either way it would swamp the difference between the
# two wx programs, so both run without it.
export NO_AT_BRIDGE=1 GDK_GL=disable

timer=$PWD/build/release/bench/map_timer
measure() {  # name, then the command line; appends "map_ms peak_kib" to $work/<name>
  local name=$1
  shift
  "$timer" -- "$@" | sed -n 's/^map_ms=\([0-9.]*\) peak_kib=\([0-9]*\)$/\1 \2/p' >>"$work/$name"
}

# The Linux pair, then the Windows pair, each program alternating with its bare window.
# A first run of each warms the file cache and is not counted.
(cd build/release && "$timer" -- ./casino >/dev/null && "$timer" -- bench/bare_wx >/dev/null)
for _ in $(seq "$runs"); do
  (cd build/release && measure wx_game ./casino && measure wx_bare bench/bare_wx)
done

start_wine "$work"
# One wine server for all the runs, as on a desktop where Wine is already up.
"$wineserver" -w
"$wineserver" -p
mkdir "$work/run"
cp "$win32/src/frontends/win32/casino.exe" "$win32/bench/bare_win32.exe" "$work/run/"
(cd "$work/run" && "$timer" -- "$wine" casino.exe >/dev/null && "$timer" -- "$wine" bare_win32.exe >/dev/null)
for _ in $(seq "$runs"); do
  (cd "$work/run" && measure win32_game "$wine" casino.exe && measure win32_bare "$wine" bare_win32.exe)
done

median() {  # file, column
  cut -d' ' -f"$2" "$1" | sort -n | awk '{v[NR] = $1} END {
    if (NR == 0) { print "nan"; exit }
    print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
report() {  # label, game file, bare file
  local gm gk bm bk
  gm=$(median "$work/$2" 1) gk=$(median "$work/$2" 2) bm=$(median "$work/$3" 1) bk=$(median "$work/$3" 2)
  printf '%-24s start-up %7.1f ms vs %7.1f ms = %.2fx   peak memory %7d KiB vs %7d KiB = %.2fx   (%d runs)\n' \
    "$1" "$gm" "$bm" "$(awk -v a="$gm" -v b="$bm" 'BEGIN {print a / b}')" \
    "$gk" "$bk" "$(awk -v a="$gk" -v b="$bk" 'BEGIN {print a / b}')" \
    "$(wc -l <"$work/$2")"
}
echo "medians over $runs runs each, program vs its toolkit's bare window:"
report "Linux (wx, GTK 3)" wx_game wx_bare
report "Windows (Wine)" win32_game win32_bare
echo "casino.exe: $(stat -c %s "$work/run/casino.exe") bytes; bare_win32.exe: $(stat -c %s "$work/run/bare_win32.exe") bytes"
echo "bench: done in $((SECONDS - start)) s"

# The Windows program's walk, shared by scripts/test-win32.sh and scripts/test-msi.sh: the
# monkey's driver plays tests/win32/walk.script on casino.exe ($casino, a Windows path) under
# Wine through casino_automation.exe (in the current folder) as its transport, and compares
# every line the window shows with the replay session's, the game's clock fixed by
# libfaketime for both; then the automation probes what no transcript states. Source it
# after virtual-desktop.sh, with fail() defined; then:
#   walk DPI PLACE [ARGS...]   one walk, and the probes (ARGS go to them) unless the last
#                              walk probed at this dpi already: they do not depend on where
#                              the window is put. Wine's trace of the multimedia files
#                              opened goes to $work/mmio.txt
#   cues_from [FOLDER]         whether that walk's cues came from FOLDER\sound (a Windows
#                              path), or from the current folder's sound when none is given
# The monkey is $CASINO_MONKEY, or built for this machine into build/host.

walk_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
walk_monkey=${CASINO_MONKEY:-}
walk_probed_dpi=

# Wine sees the Linux root as drive Z:.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# The game's clock: libfaketime reads it from the file at every look (frozen at the second
# written there); the automation rewrites the file for each "clock" line. Wine's server
# keeps the real time: it is started before, without libfaketime. The files keep their
# real times too, or Wine would take its prefix for outdated and set it up again.
faked_clock() {
  TZ=UTC FAKETIME_TIMESTAMP_FILE=$work/clock FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 "$@"
}

# The game's clock, at noon until the automation sets it.
prepare_game() { echo '2026-12-07 12:00:00' >"$work/clock"; }

# Wine with no sound driver: the game still opens each cue's file, which is all the walk
# and the monkey hear of it, and goes on at once; nothing of a sound system reaches stderr.
silent_wine() {
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv=d" "$@"
}

walk() {
  local status=0
  if [ -z "$walk_monkey" ]; then
    cmake -S "$walk_repo" -B "$walk_repo/build/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCASINO_WX=OFF -DCASINO_TESTS=ON -DCASINO_WERROR=ON >/dev/null
    cmake --build "$walk_repo/build/host" --target monkey >/dev/null
    walk_monkey=$walk_repo/build/host/tests/support/monkey
  fi
  prepare_game
  # Wine's server is started here, without libfaketime; it stays 5 s after the last
  # program has gone (not for ever), so that a later wait for it ends.
  "$wineserver" -p5 2>/dev/null || true
  timeout 150 "$walk_monkey" --script "$walk_repo/tests/win32/walk.script" -- \
    bash "$walk_repo/tests/win32/transport.sh" "$casino" "$work" "--place=$2" --answer-ms=10000 ||
    status=$?
  [ "$status" -eq 0 ] || fail "the walk at $1 dpi, window in the $2, failed (status $status)"
  [ "$walk_probed_dpi" != "$1" ] || return 0
  walk_probed_dpi=$1
  WINEDEBUG=-all silent_wine timeout 60 "$wine" casino_automation.exe "$casino" --probes "--dpi=$1" \
    "${@:3}" || status=$?
  [ "$status" -eq 0 ] || fail "the probes at $1 dpi ${*:3} failed (status $status)"
}
# Wine's trace shows each path as the program gave it.
cues_from() {
  local prefix=${1:+$1\\}
  sed 's/\\\\/\\/g' "$work/mmio.txt" >"$work/mmio-paths.txt"
  for cue in door nomore; do
    grep -qF "MMIO_Open (\"${prefix}sound\\$cue.wav\"" "$work/mmio-paths.txt" || return 1
  done
}

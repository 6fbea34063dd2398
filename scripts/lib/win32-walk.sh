# The Windows program's walk, shared by scripts/test-win32.sh and scripts/test-msi.sh:
# casino_automation.exe, in the current folder, plays tests/win32/walk.script on casino.exe
# ($casino, a Windows path) under Wine and checks that the window shows what the replay
# tool prints for the same script, the game's clock fixed by libfaketime for both. Source
# it after virtual-desktop.sh, with fail() defined; then:
#   walk DPI PLACE [ARGS...]   one walk; Wine's trace of the multimedia files opened goes to
#                              $work/mmio.txt
#   cues_from [FOLDER]         whether that walk's cues came from FOLDER\sound (a Windows
#                              path), or from the current folder's sound when none is given
# The replay tool is $CASINO_REPLAY, or built for this machine into build/host.

walk_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
walk_expected=

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

# The replay tool's transcript of the walk's script, with the state after every line.
prepare_walk() {
  local replay=${CASINO_REPLAY:-}
  if [ -z "$replay" ]; then
    cmake -S "$walk_repo" -B "$walk_repo/build/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCASINO_WX=OFF -DCASINO_TESTS=ON -DCASINO_WERROR=ON >/dev/null
    cmake --build "$walk_repo/build/host" --target replay >/dev/null
    replay=$walk_repo/build/host/replay
  fi
  walk_expected=$work/walk.expected
  awk 'BEGIN { print "show" } /^[^#]/ && $0 != "show" { print; print "show" }' \
    "$walk_repo/tests/win32/walk.script" | "$replay" >"$walk_expected" ||
    fail "the replay tool could not play tests/win32/walk.script"
  prepare_game
}

# Wine's trace of the multimedia files opened tells which cue was played, and where it was
# found.
walk() {
  local status=0
  [ -n "$walk_expected" ] || prepare_walk
  # Wine's server is started here, without libfaketime; it stays 5 s after the last
  # program has gone (not for ever), so that a later wait for it ends.
  "$wineserver" -p5 2>/dev/null || true
  : >"$work/mmio.txt"
  WINEDEBUG=-all,trace+mmio silent_wine faked_clock timeout 100 "$wine" casino_automation.exe "$casino" \
    "--script=$(windows_path "$walk_repo/tests/win32/walk.script")" \
    "--expected=$(windows_path "$walk_expected")" "--clock=$(windows_path "$work/clock")" \
    "--trace=$(windows_path "$work/mmio.txt")" "--dpi=$1" "--place=$2" "${@:3}" \
    2>>"$work/mmio.txt" || status=$?
  [ "$status" -eq 0 ] || fail "the automation run at $1 dpi, window in the $2 ${*:3}, failed (status $status)"
}
# Wine's trace shows each path as the program gave it.
cues_from() {
  local prefix=${1:+$1\\}
  sed 's/\\\\/\\/g' "$work/mmio.txt" >"$work/mmio-paths.txt"
  for cue in door nomore; do
    grep -qF "MMIO_Open (\"${prefix}sound\\$cue.wav\"" "$work/mmio-paths.txt" || return 1
  done
}

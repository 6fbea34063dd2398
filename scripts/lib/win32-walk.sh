# The Windows program's walk, shared by scripts/test-win32.sh and scripts/test-msi.sh:
# casino_automation.exe, in the current folder, drives casino.exe ($casino, a Windows
# path) along a player's path under Wine. Source it after virtual-desktop.sh, with
# fail() defined; then:
#   walk DPI PLACE [ARGS...]   one walk; Wine's trace of the multimedia files opened goes to
#                              $work/mmio.txt
#   cues_from [FOLDER]         whether that walk's cues came from FOLDER\sound (a Windows
#                              path), or from the current folder's sound when none is given

# Wine's trace of the multimedia files opened tells where each cue was found.
walk() {
  local status=0
  WINEDEBUG=-all,trace+mmio timeout 100 "$wine" casino_automation.exe "$casino" "--dpi=$1" \
    "--place=$2" "${@:3}" 2>"$work/mmio.txt" || status=$?
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

#!/usr/bin/env bash
# The monkey's transport for casino.exe: the automation under Wine speaks the monkey's
# lines on its standard input and output, and x_monkey serve, between it and the monkey,
# performs the real X input it asks for and passes every other line on. Run from the
# folder holding casino_automation.exe, by scripts/test-win32.sh --monkey, with the game's
# clock fixed as for the walks (scripts/lib/win32-walk.sh).
# Usage: transport.sh X_MONKEY CASINO WORK   (CASINO: casino.exe as a Windows path)
set -euo pipefail
x_monkey=$1 casino=$2 work=$3
source "$(dirname "$0")/../../scripts/lib/virtual-desktop.sh"
source "$(dirname "$0")/../../scripts/lib/win32-walk.sh"
: >"$work/mmio.txt"
WINEDEBUG=-all,trace+mmio silent_wine faked_clock "$wine" casino_automation.exe "$casino" \
  --transport --xinput "--clock=$(windows_path "$work/clock")" \
  "--trace=$(windows_path "$work/mmio.txt")" "--stderr=$(windows_path "$work/game-stderr.txt")" \
  2>>"$work/mmio.txt" | "$x_monkey" serve

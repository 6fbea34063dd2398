#!/usr/bin/env bash
# casino.exe's transport for the monkey's driver (tests/support/monkey.h), at random or from
# a script: the automation under Wine speaks the protocol on its standard input and output,
# with the game's clock fixed, and Wine's standard error and the game's, Wine's trace of the
# files opened among it, in WORK/mmio.txt (scripts/lib/win32-walk.sh). With --xinput X_MONKEY, x_monkey serve, between it and the
# monkey, performs the real X input it asks for and passes every other line on. Run from
# the folder holding casino_automation.exe.
# Usage: transport.sh CASINO WORK [--xinput X_MONKEY] [AUTOMATION-OPTIONS...]
#   (CASINO: casino.exe as a Windows path)
set -euo pipefail
casino=$1 work=$2 x_monkey=
shift 2
if [ "${1:-}" = --xinput ]; then x_monkey=$2; shift 2; fi
source "$(dirname "$0")/../../scripts/lib/virtual-desktop.sh"
source "$(dirname "$0")/../../scripts/lib/win32-walk.sh"
: >"$work/mmio.txt"
automation() {
  WINEDEBUG=-all,trace+mmio silent_wine faked_clock "$wine" casino_automation.exe "$casino" \
    --transport "--clock=$(windows_path "$work/clock")" "--trace=$(windows_path "$work/mmio.txt")" \
    "$@" 2>>"$work/mmio.txt"
}
if [ -n "$x_monkey" ]; then automation --xinput "$@" | "$x_monkey" serve; else automation "$@"; fi

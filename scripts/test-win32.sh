#!/usr/bin/env bash
# The Windows program: cross-builds casino.exe and its automation program with MinGW-w64,
# checks the .exe is one small self-contained file, packs the Windows zip, then walks a
# player's path (tests/win32/walk.script) through the unpacked zip's casino.exe under Wine
# in a virtual X server, with a fresh Wine prefix, started from another folder: the
# monkey's driver plays the script through the automation and compares every line with
# the replay session, and the automation probes the rest (scripts/lib/win32-walk.sh). The
# cues must be found beside the program, or under the current folder first when it holds
# them. The walks run at 96 dpi with the system in English, at 144 dpi with it in Russian.
# With --screenshots it walks to the street, the casino floor and the pawnshop instead,
# and saves a picture of each as docs/screenshots/win32-*.png. With --monkey SECONDS SEED
# it gives the program the monkey's random input instead (scripts/monkey.sh), through the
# automation as its transport, part of it real X input sent by x_monkey from the Linux build
# ($CASINO_X_MONKEY or build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS
build=${CASINO_WIN32_BUILD:-build/win32}
mode=${1:-test}

fail() { echo "FAIL: test-win32: $*" >&2; exit 1; }

scripts/install-deps.sh windows

# ---- Build ----
scripts/configure-win32.sh
cmake --build "$build"
exe=$build/src/frontends/win32/casino.exe
automation=$build/tests/win32/casino_automation.exe

# The size budget: 256 KiB for the whole program, runtime and icon included (the icon's
# eight sizes at 32 bits take some 85 KiB of it).
size=$(stat -c %s "$exe")
[ "$size" -le 262144 ] || fail "casino.exe is $size bytes, over its budget of 262144 (256 KiB)"
# The program's icon, as Windows takes it from the resources: the eight sizes at 32 bits.
icon_file=$(mktemp --suffix=.ico)
wrestool -x --type=group_icon --output="$icon_file" "$exe"
icon_sizes=$(icotool --list "$icon_file" |
  sed -n 's/.*--width=\([0-9]*\) --height=\1 --bit-depth=32 .*/\1/p' | tr '\n' ' ')
# The largest image is kept as the PNG rsvg-convert rendered, the others as bitmaps.
icon_pngs=$(grep -c -a $'\x89PNG' "$icon_file" || true)
rm -f "$icon_file"
[ "$icon_sizes" = "16 20 24 32 40 48 64 256 " ] || fail "casino.exe's icon holds these 32-bit sizes: $icon_sizes"
[ "$icon_pngs" = 1 ] || fail "casino.exe's icon holds $icon_pngs PNG images, where only the 256 px one is"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
for dll in $dlls; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|winmm.dll|msvcrt.dll) ;;
    *) fail "casino.exe imports $dll, which is no Windows system DLL" ;;
  esac
done
# Every resource carries the language of the version record: Russian.
languages=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/Language Table/ { getline; sub(/,/, "", $4); print $4 }' | sort -u | tr '\n' ' ')
[ "$languages" = "0x000419 " ] || fail "casino.exe's resources are not all Russian: $languages"
# The version record and the manifest carry the project's version.
version=$(cat "$build/version.txt")
grep -qx "$version.0" <<<"$(strings -a -el "$exe")" || fail "casino.exe's version record is not $version"
grep -qF "name=\"casino.game\" version=\"$version.0\"" <<<"$(strings -a "$exe")" ||
  fail "casino.exe's manifest is not of $version"
echo "casino.exe: $size bytes, version $version, icon of ${icon_sizes% } px at 32 bits, imports: $dlls"

# ---- A virtual X server and a fresh Wine prefix ----
source scripts/lib/virtual-desktop.sh
source scripts/lib/win32-walk.sh
open_work
start_x "$work" || fail "no virtual X server"
start_wine "$work" || fail "no Wine prefix"

# The zip as a user gets it, unpacked; the walks start it from a folder of their own.
cmake --build "$build" --target package_zip >/dev/null
mkdir "$work/unpacked" "$work/run"
unzip -q "$build/packages/casino-$version-win64.zip" -d "$work/unpacked"
casino=$("$wine" winepath -w "$(ls -d "$work"/unpacked/casino-*-win64)/casino.exe" 2>/dev/null)
cp "$automation" "$work/run/"
cd "$work/run"

# ---- Screenshots ----
if [ "$mode" = --screenshots ]; then
  mkdir -p "$repo/docs/screenshots"
  prepare_game
  # The transport plays the walk's first game, with "picture NAME" where the script marks
  # one: it prints "XINPUT N shot NAME X Y WIDTH HEIGHT" and waits for xinput-N.done.
  { echo start; awk '/^start/ { exit } /^# picture / { print "picture " $3; next } /^[^#]/' \
      "$repo/tests/win32/walk.script"; echo stop; } |
    bash "$repo/tests/win32/transport.sh" "$casino" "$work" --answer-ms=10000 |
    while read -r tag n verb name x y w h; do
      [ "$tag $verb" = "XINPUT shot" ] || continue
      import -window root -crop "${w}x${h}+${x}+${y}" +repage "$repo/docs/screenshots/win32-$name.png"
      echo "docs/screenshots/win32-$name.png"
      touch "xinput-$n.done"
    done
  exit 0
fi

# ---- The monkey ----
# The one monkey ($CASINO_MONKEY or build/release's), with the automation as its transport.
if [ "$mode" = --monkey ]; then
  monkey=${CASINO_MONKEY:-$repo/build/release/tests/support/monkey}
  x_monkey=${CASINO_X_MONKEY:-$repo/build/release/tests/wx/x_monkey}
  [ -x "$monkey" ] && [ -x "$x_monkey" ] ||
    fail "no $monkey or $x_monkey: scripts/monkey.sh builds them (targets monkey, x_monkey)"
  prepare_game
  "$wineserver" -p5 2>/dev/null || true
  timeout $(($2 + 300)) "$monkey" "$2" "$3" -- \
    bash "$repo/tests/win32/transport.sh" "$casino" "$work" --xinput "$x_monkey"
  exit
fi

# ---- The walks ----
# Where a window first appears differs between machines, so each walk is made twice: with
# the window moved to the screen's top-left corner, where the input box cannot be centred
# over it, and in the middle of the screen.
walk 96 corner
cues_from "${casino%\\casino.exe}" || fail "the cues were not found beside the unpacked casino.exe"
# With a sound folder under the current folder, that one is used, as it always was.
cp -r "$(ls -d "$work"/unpacked/casino-*-win64)/sound" .
walk 96 middle
cues_from "" || fail "the cues under the current folder were not used first"
rm -r sound
# Again on a high-DPI screen, where the window and its controls must scale with the twips,
# and with the system speaking Russian (Wine takes its language from the locale), where
# the input box's buttons must too.
timeout 30 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
timeout 30 "$wineserver" -w
export LC_ALL=ru_RU.UTF-8
walk 144 corner --russian
walk 144 middle --russian
echo "test-win32: passed in $((SECONDS - start)) s"

#!/usr/bin/env bash
# Takes docs/screenshots/win32-{street,floor,pawnshop}.png: casino.exe under Wine in a
# virtual X server, driven to each screen by the automation program (--shots), which
# stops at each screen until its picture is taken.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=${CASINO_WIN32_BUILD:-build/win32}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" >/dev/null

work=$(mktemp -d)
xvfb_pid=
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "${wine%wine64}wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=98
while [ -e /tmp/.X$display-lock ] || [ -e /tmp/.X11-unix/X$display ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
export DISPLAY=:$display

timeout 90 "$wine" wineboot -i >/dev/null 2>&1
# Unmanaged windows: Wine draws the caption and frame itself, as Windows would.
timeout 30 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
# The caption buttons draw their symbols from Marlett, which a fresh prefix may lack.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

mkdir -p "$work/run" docs/screenshots
cp "$build/src/platform/win32/casino.exe" "$build/tests/win32/casino_automation.exe" "$work/run/"
cd "$work/run"
timeout 120 "$wine" casino_automation.exe casino.exe --shots | while read -r tag name x y w h; do
  [ "$tag" = SHOT ] || { echo "$tag $name $x $y $w $h"; continue; }
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$repo/docs/screenshots/win32-$name.png"
  echo "docs/screenshots/win32-$name.png"
  touch "$name.done"
done

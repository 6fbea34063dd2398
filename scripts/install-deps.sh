#!/usr/bin/env bash
# Installs, with apt-get, whatever of the project's build and test needs is missing.
# Usage: scripts/install-deps.sh [core|game|wayland|windows|all]   (default: all)
set -euo pipefail

core=(cmake ninja-build g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libc++-14-dev libc++abi-14-dev)
game=(libwxgtk3.2-dev libgtk-3-dev libcanberra-dev libasound2-dev pkg-config libx11-dev libxtst-dev xvfb xauth fonts-dejavu-core
  at-spi2-core dbus-daemon python3-gi gir1.2-atspi-2.0 xdotool)
# The game on a headless Wayland compositor, with a VNC server's keyboard and pointer.
wayland=(sway grim wayvnc procps)
windows=(g++-mingw-w64-x86-64-win32 wine64 wine fonts-wine locales python3 wixl)
ship=(dpkg-dev lintian appstream desktop-file-utils x11-utils unzip gzip python3 git faketime)

case "${1:-all}" in
  core) wanted=("${core[@]}") ;;
  game) wanted=("${core[@]}" "${game[@]}") ;;
  wayland) wanted=("${core[@]}" "${game[@]}" "${wayland[@]}") ;;
  windows) wanted=("${core[@]}" "${windows[@]}") ;;
  all) wanted=("${core[@]}" "${game[@]}" "${wayland[@]}" "${windows[@]}" "${ship[@]}") ;;
  *) echo "usage: $0 [core|game|wayland|windows|all]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done

need_root() {
  [ "$(id -u)" -eq 0 ] && return
  echo "$1 needs root" >&2
  exit 1
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  need_root "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine speaks the language of its locale, and the Windows walks run once in Russian.
if [[ " ${wanted[*]} " == *" locales "* ]] && ! locale -a | grep -qix 'ru_RU\.utf-\?8'; then
  echo "generating the ru_RU.UTF-8 locale"
  need_root "generating the ru_RU.UTF-8 locale"
  sed -i 's/^# *\(ru_RU\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

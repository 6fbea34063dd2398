#!/usr/bin/env bash
# Installs, with apt-get, whatever of the project's build and test needs is missing.
# Usage: scripts/install-deps.sh [core|game|all]   (default: all)
set -euo pipefail

core=(cmake ninja-build g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libgmock-dev)
game=(libwxgtk3.2-dev libcanberra-dev libasound2-dev pkg-config libx11-dev libxtst-dev xvfb xauth fonts-dejavu-core)
windows=(g++-mingw-w64-x86-64-win32 wine64 wine fonts-wine)
ship=(dpkg-dev lintian appstream desktop-file-utils xdotool unzip gzip)

case "${1:-all}" in
  core) wanted=("${core[@]}") ;;
  game) wanted=("${core[@]}" "${game[@]}") ;;
  all) wanted=("${core[@]}" "${game[@]}" "${windows[@]}" "${ship[@]}") ;;
  *) echo "usage: $0 [core|game|all]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

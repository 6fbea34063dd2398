#!/usr/bin/env bash
# Installs, with apt-get, whatever of the project's build and test needs is missing.
# Usage: scripts/install-deps.sh [core|game|wayland|windows|web|all]   (default: all)
# The web tests' npm packages (tests/web) come from npm's registry, at the versions its
# lockfile pins.
set -euo pipefail

# The icon of every program is rendered from one SVG by rsvg-convert and packed for Windows
# by icotool (tools/icon); an optimised Linux build takes Debian's hardening flags from
# dpkg-buildflags (dpkg-dev).
core=(cmake ninja-build g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libc++-14-dev libc++abi-14-dev faketime librsvg2-bin icoutils dpkg-dev)
game=(libwxgtk3.2-dev libgtk-3-dev libcanberra-dev libasound2-dev pkg-config libx11-dev libxtst-dev xvfb xauth fonts-dejavu-core
  at-spi2-core dbus-daemon python3-gi gir1.2-atspi-2.0 xdotool xxd)
# The game on a headless Wayland compositor, with a VNC server's keyboard and pointer.
wayland=(sway grim wayvnc procps)
# The installer is built by wixl, finished and checked with msitools (msibuild, msiinfo).
windows=(g++-mingw-w64-x86-64-win32 wine64 wine fonts-wine locales python3 wixl msitools)
# The web build (Emscripten) and its tests (Debian's chromium, driven from Node.js).
web=(emscripten nodejs python3 chromium unzip)
# The packages' validators: lintian, appstreamcli validate and compose, desktop-file-validate;
# the installed window's icons read back with GdkPixbuf; the time zones the second build of
# the reproducibility check runs in.
ship=(lintian appstream appstream-compose desktop-file-utils x11-utils unzip gzip python3 git
  python3-gi gir1.2-gdkpixbuf-2.0 tzdata)

case "${1:-all}" in
  core) wanted=("${core[@]}") ;;
  game) wanted=("${core[@]}" "${game[@]}") ;;
  wayland) wanted=("${core[@]}" "${game[@]}" "${wayland[@]}") ;;
  windows) wanted=("${core[@]}" "${windows[@]}") ;;
  web) wanted=("${core[@]}" "${web[@]}") ;;
  all) wanted=("${core[@]}" "${game[@]}" "${wayland[@]}" "${windows[@]}" "${web[@]}" "${ship[@]}") ;;
  *) echo "usage: $0 [core|game|wayland|windows|web|all]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
# npm is a package of its own in Debian, but comes with Node.js from elsewhere.
if [[ " ${wanted[*]} " == *" nodejs "* ]] && ! command -v npm >/dev/null; then
  missing+=(npm)
fi

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

# The web tests' npm packages (playwright-core, axe-core, and Lighthouse for the bench),
# installed from the lockfile when any of them is not there at the version it pins.
if [[ " ${wanted[*]} " == *" chromium "* ]]; then
  web_tests=$(realpath "$(dirname "$0")/../tests/web")
  stale=$(node -e '
    const [folder] = process.argv.slice(1);
    const lock = require(folder + "/package-lock.json");
    for (const name of Object.keys(lock.packages[""].dependencies)) {
      let installed = "";
      try { installed = require(`${folder}/node_modules/${name}/package.json`).version; } catch {}
      if (installed !== lock.packages["node_modules/" + name].version) console.log(name);
    }' "$web_tests")
  if [ -n "$stale" ]; then
    echo "installing the web tests' npm packages (tests/web, npm ci)"
    (cd "$web_tests" && npm ci --no-audit --no-fund --loglevel=error)
  fi
fi

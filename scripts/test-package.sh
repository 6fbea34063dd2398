#!/usr/bin/env bash
# The packages, as a user gets them: builds all four (scripts/package.sh); checks the
# .deb with lintian and its metadata with appstreamcli and desktop-file-validate; installs
# it, starts the installed game from / on a virtual X server, enters the casino and hears
# the door cue come from the installed sound folder; removes it again. Then the same with
# the .tar.gz unpacked into a scratch folder (an install moved elsewhere), and a look at
# what the Windows zip holds (test-win32.sh walks the unpacked zip under Wine, test-msi.sh
# installs the .msi). Every data file that names the version or the release date must
# name the project's.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
fail() { echo "test-package: $*" >&2; exit 1; }

bash scripts/package.sh
version=$(cat build/release/version.txt)
deb=$PWD/dist/casino_${version}_amd64.deb
tgz=$PWD/dist/casino-${version}-linux-x86_64.tar.gz
zip=$PWD/dist/casino-${version}-win64.zip
msi=$PWD/dist/casino-${version}-win64.msi
for f in "$deb" "$tgz" "$zip" "$msi"; do [ -s "$f" ] || fail "package.sh did not make $f"; done

work=$(mktemp -d)
source scripts/lib/virtual-desktop.sh
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  stop_desktop
  dpkg -r casino >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---- The .deb: lintian, AppStream, the desktop entry ----
lintian --fail-on error --display-info "$deb" >"$work/lintian.txt" 2>&1 ||
  { cat "$work/lintian.txt"; fail "lintian found errors in the .deb"; }
grep -v 'running with root privileges' "$work/lintian.txt" || true
echo "lintian: $(grep -c '^E:' "$work/lintian.txt") errors, $(grep -c '^W:' "$work/lintian.txt") warnings"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
appstreamcli validate --no-net --pedantic "$work"/deb/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$work"/deb/usr/share/applications/*.desktop
entry=$(ls "$work"/deb/usr/share/applications/*.desktop)
app_id=$(basename "$entry" .desktop)
[ "$(sed -n 's/^Icon=//p' "$entry")" = "$app_id" ] || fail "the desktop entry's icon is not $app_id"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
for size in 16 32 48 64 128 256; do
  [ -s "$work/deb/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" ] ||
    fail "the .deb has no ${size} px icon"
done
[ -s "$work/deb/usr/share/man/man6/casino.6.gz" ] || fail "the .deb has no manual page"
# The version and the release date, the last commit's unless SOURCE_DATE_EPOCH says otherwise.
released=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
grep -qF "<release version=\"$version\" date=\"$(date -u -d "@$released" +%F)\">" \
  "$work"/deb/usr/share/metainfo/*.metainfo.xml || fail "the AppStream release is not $version of $(date -u -d "@$released" +%F)"
grep -qF "\"$(LC_ALL=C date -u -d "@$released" '+%B %Y')\" \"casino $version\"" \
  <<<"$(zcat "$work/deb/usr/share/man/man6/casino.6.gz" | sed -n 1p)" || fail "the manual page is not of $version"
grep -qF "casino ($version)" <<<"$(zcat "$work/deb/usr/share/doc/casino/changelog.gz" | sed -n 1p)" ||
  fail "the changelog's newest entry is not $version"
grep -q '^Path=' "$work"/deb/usr/share/applications/*.desktop && fail "the desktop entry fixes Path="

# ---- The installed game hears its own cues ----
start_x "$work" || fail "no virtual X server"

# Starts the program from /, with HOME at a folder whose ALSA default device writes what
# is played into a file; presses Enter on "вход" and checks that what was played is the
# door cue of the given sound folder, sample for sample, and that stderr stayed empty.
hear_the_door() {
  local program=$1 sound=$2 home
  home=$(mktemp -d -p "$work")
  printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "%s/out.raw"\n  format "raw"\n}\n' \
    "$home" >"$home/.asoundrc"
  (cd / && HOME=$home NO_AT_BRIDGE=1 exec "$program") 2>"$home/stderr" &
  game_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" | head -1) ||
    fail "$program opened no window"
  # The desktop matches the window to the entry by WM_CLASS: the instance is the entry's
  # id, the class is the entry's StartupWMClass.
  local class
  class=$(xprop -id "$window" WM_CLASS)
  [ "$class" = "WM_CLASS(STRING) = \"$app_id\", \"$wm_class\"" ] ||
    fail "$program's window has $class, its desktop entry $app_id and StartupWMClass=$wm_class"
  # No window manager: the keyboard follows the pointer.
  xdotool mousemove --window "$window" 30 30
  sleep 0.3
  xdotool key Return
  local want=$(($(stat -c %s "$sound/door.wav") - 44))
  for _ in $(seq 100); do
    [ "$(stat -c %s "$home/out.raw" 2>/dev/null || echo 0)" -ge "$want" ] && break
    sleep 0.1
  done
  tail -c +45 "$sound/door.wav" | cmp -s - "$home/out.raw" ||
    fail "$program started from / did not play $sound/door.wav"
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=
  [ ! -s "$home/stderr" ] || fail "$program wrote on stderr: $(cat "$home/stderr")"
  echo "$program, started from /, played $sound/door.wav; its window's $class"
}

dpkg -i "$deb" >/dev/null
hear_the_door /usr/games/casino /usr/share/casino/sound
dpkg -r casino >/dev/null
[ ! -e /usr/games/casino ] && [ ! -e /usr/share/casino ] || fail "dpkg -r left the game behind"

# The .tar.gz unpacked anywhere: the program finds the data folder beside its own.
mkdir "$work/moved"
tar -xzf "$tgz" -C "$work/moved"
root=$work/moved/casino-${version}-linux-x86_64
hear_the_door "$root/games/casino" "$root/share/casino/sound"

# ---- The Windows zip ----
listing=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^casino-${version}-win64/||" | sort | tr '\n' ' ')
want="casino.exe readme.txt sound/applaus8.wav sound/cophit.wav sound/door.wav sound/laugh3.wav sound/nomore.wav sound/siren.wav "
[ "$listing" = "$want" ] || fail "the zip holds: $listing"
echo "the zip holds: $listing"

ls -l dist | sed 1d
echo "test-package: passed in $((SECONDS - start)) s"
